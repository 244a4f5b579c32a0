#include "settings/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace nq {

namespace {

// Profile files are a few hundred kilobytes at most; anything far larger is not one of ours.
constexpr off_t MaxProfileFileSize = 256 * 1024 * 1024;

constexpr mode_t AnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

FileStamp StampFrom(const struct stat& info) {
  FileStamp stamp;
  stamp.Valid = true;
  stamp.Exists = true;
  stamp.Device = info.st_dev;
  stamp.Inode = info.st_ino;
  stamp.Size = info.st_size;
  stamp.ModifiedSeconds = info.st_mtim.tv_sec;
  stamp.ModifiedNanoseconds = info.st_mtim.tv_nsec;
  stamp.ChangedSeconds = info.st_ctim.tv_sec;
  stamp.ChangedNanoseconds = info.st_ctim.tv_nsec;
  return stamp;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Writes go to the file a symbolic link points at, so the link itself survives the rename.
bool ResolveTarget(const std::string& path, std::string& target) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    target = path;
    return true;
  }
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return false;
  target = resolved;
  std::free(resolved);
  return true;
}

bool CanReplaceResolved(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode) || (info.st_mode & AnyWriteBit) == 0) return false;
  } else if (errno != ENOENT) {
    return false;
  }
  return IsWritableFolder(FolderOf(target));
}

bool WriteAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t written = write(fd, content.data() + done, content.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Creates a new, exclusive temporary file beside target; its name starts with a dot so that folder
// listings of boards do not show it during the moment it exists.
int CreateTemporary(const std::string& target, std::string& name) {
  const std::string folder = FolderOf(target);
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::random_device seed;
  std::mt19937_64 random(seed() ^ static_cast<uint64_t>(getpid()));
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = folder + "/." + base + ".tmp" + std::to_string(random() % 1000000000ull);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd); // best effort: the rename is already done
  close(fd);
}

} // namespace

FileStamp StampFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    FileStamp missing;
    missing.Valid = true;
    return missing;
  }
  return StampFrom(info);
}

ReadResult ReadWholeFile(const std::string& path, std::string& bytes, FileStamp& stamp) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MaxProfileFileSize) {
    close(fd);
    return ReadResult::Failed;
  }
  stamp = StampFrom(info);
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 || bytes.size() + static_cast<std::size_t>(count) > MaxProfileFileSize) {
      close(fd);
      return ReadResult::Failed;
    }
    if (count == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  return ReadResult::Read;
}

bool IsWritableFolder(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  return (info.st_mode & AnyWriteBit) != 0 && access(folder.c_str(), W_OK | X_OK) == 0;
}

bool CanReplaceFile(const std::string& path) {
  std::string target;
  return ResolveTarget(path, target) && CanReplaceResolved(target);
}

bool ReplaceFile(const std::string& path, const std::string& content, FileStamp& stamp) {
  std::string target;
  if (!ResolveTarget(path, target) || !CanReplaceResolved(target)) return false;
  struct stat old {};
  const bool existed = stat(target.c_str(), &old) == 0;

  std::string temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content);
  if (ok && existed) {
    ok = fchmod(fd, old.st_mode & 07777) == 0;
    if (ok && fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Only root may give a file away; a user replacing their own file keeps their ownership anyway.
    }
  }
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(FolderOf(target));
  stamp = StampFile(path);
  return true;
}

} // namespace nq
