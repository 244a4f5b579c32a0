#pragma once
// The files of a board set: the entries of an .obz archive, or the folder around a lone .obf.
// Files are only ever read into memory by a cleaned path; nothing is unpacked by an entry's own
// name, so an entry called "../../x" or "/etc/x", or a link, can never place a file anywhere.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nq::exchange {

class SetFiles {
public:
  virtual ~SetFiles() = default;
  /// Reads the file at a cleaned path (see CleanSetPath) into bytes; false with a message when
  /// it is missing, unsafe or over the size limits.
  virtual bool Read(const std::string& path, std::string& bytes, std::string& error) = 0;
  /// Whether a file exists at the cleaned path (letter case counts, as in a zip).
  virtual bool Has(const std::string& path) const = 0;
  /// The .obf files of the set, for a set without a manifest.
  virtual std::vector<std::string> BoardFiles() const = 0;
  /// What was passed over while opening (unsafe entries, links).
  std::vector<std::string> Warnings;
};

/// Opens an .obz (a zip archive); nothing, with the reason in error, when it cannot be read.
std::unique_ptr<SetFiles> OpenArchiveSet(const std::string& archivePathUtf8, std::string& error);

/// The folder of a lone .obf; only regular files below that folder can be read.
std::unique_ptr<SetFiles> OpenFolderSet(const std::string& folderUtf8);

} // namespace nq::exchange
