#pragma once
// File-system helpers of the profile files: change detection, whole-file reads, and replacing a
// file through a synced temporary file and rename(), so a crash or a full disk never leaves a
// truncated board or settings file behind.
#include <cstdint>
#include <string>

namespace nq {

/// What identifies one version of a file on disk; a rename-replace changes the inode.
struct FileStamp {
  bool Valid = false; // false until the file was looked at once
  bool Exists = false;
  uint64_t Device = 0;
  uint64_t Inode = 0;
  int64_t Size = 0;
  int64_t ModifiedSeconds = 0;
  int64_t ModifiedNanoseconds = 0;
  int64_t ChangedSeconds = 0;
  int64_t ChangedNanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file now (Exists false when there is no such file).
FileStamp StampFile(const std::string& path);

enum class ReadResult { Read, Missing, Failed };

/// Reads the whole file; Failed for an unreadable path, a folder or an absurdly large file.
ReadResult ReadWholeFile(const std::string& path, std::string& bytes, FileStamp& stamp);

/// True when the file could be replaced: its folder exists and may be written, and the file (if
/// present) is a regular file with a write bit. Mode bits are checked as well as access(), because
/// a process running as root passes every access() test.
bool CanReplaceFile(const std::string& path);

/// True when the folder exists and may be written (mode bits and access()).
bool IsWritableFolder(const std::string& folder);

/// Writes content to a temporary file in the same folder, syncs it, keeps the old file's mode and
/// owner, and renames it over path. False (and the old file untouched) on any failure.
bool ReplaceFile(const std::string& path, const std::string& content, FileStamp& stamp);

} // namespace nq
