#pragma once
// Reads .qdx board files into the Board on screen and writes the few per-board options back into
// the file last accepted. A read that fails leaves both the Board and the write-back target as
// they were, so a bad link or a foreign file never costs the user the board they are using.
#include <cstdint>
#include <memory>
#include <string>

#include "boards/Board.h"

namespace nq {

class Dialogs;
class ProfileFile;

class BoardFile {
public:
  BoardFile(Board& board, Dialogs& dialogs);
  ~BoardFile();
  BoardFile(const BoardFile&) = delete;
  BoardFile& operator=(const BoardFile&) = delete;

  /// Reads the named board (Windows-1252, "\" or "/" separators, any letter case) into the Board;
  /// true when it was accepted. Shows its own message for a missing file, a wrong extension or a
  /// grid that does not fit; an empty name or a file of another program fails silently.
  bool ReadBoardFile(const std::string& fileName);

  /// Writes "1" or "0" into the accepted board file; failures and "no board yet" are ignored.
  void WriteBoardFlag(const std::string& section, const std::string& key, bool value);
  /// Writes the decimal value into the accepted board file; failures and "no board yet" are ignored.
  void WriteBoardInteger(const std::string& section, const std::string& key, int32_t value);

  /// True once a board file has been accepted (the write-backs have a target).
  bool HasBoard() const { return Target != nullptr; }
  /// The accepted board's name as it was given (Windows-1252); empty before the first.
  const std::string& FileName() const { return AcceptedName; }
  /// The accepted name up to and including its last "/" or "\" (Windows-1252); empty when it has none.
  std::string Folder() const;
  /// The accepted board's path on disk (UTF-8) and its folder with a trailing "/", for resolving
  /// the pictures, sounds and links it names.
  const std::string& PathOnDisk() const { return AcceptedPath; }
  std::string FolderOnDisk() const;

private:
  bool IsBoardFileName(const std::string& fileName) const;
  bool GridFits(int32_t columns, int32_t rows);
  void ReadBoardSettings(const ProfileFile& file);
  void ReadCells(const ProfileFile& file);

  Board& TheBoard;
  Dialogs& Messages;
  std::unique_ptr<ProfileFile> Target;
  std::string AcceptedName;
  std::string AcceptedPath;
};

} // namespace nq
