#include "settings/ProfileFile.h"

#include <string>

#include "settings/AtomicFile.h"
#include "settings/ProfileDocument.h"

namespace nq {

struct ProfileFile::Impl {
  std::string Path;
  ProfileDocument Document;
  FileStamp Stamp;
  // False when the file exists but could not be read: it then reads as defaults and is never
  // written, so an unreadable board is not replaced by a file holding one key.
  bool Readable = true;
};

ProfileFile::ProfileFile(std::string path) : State(nullptr) {
  try {
    State = new Impl;
    State->Path = std::move(path);
  } catch (...) {
    delete State;
    State = nullptr;
    return;
  }
  Refresh();
}

ProfileFile::~ProfileFile() {
  delete State;
}

ProfileFile::ProfileFile(ProfileFile&& other) noexcept : State(other.State) {
  other.State = nullptr;
}

ProfileFile& ProfileFile::operator=(ProfileFile&& other) noexcept {
  if (this != &other) {
    delete State;
    State = other.State;
    other.State = nullptr;
  }
  return *this;
}

const std::string& ProfileFile::Path() const {
  static const std::string noPath;
  return State != nullptr ? State->Path : noPath;
}

void ProfileFile::Refresh() {
  if (State == nullptr) return;
  const FileStamp now = StampFile(State->Path);
  if (now == State->Stamp) return;
  try {
    std::string bytes;
    FileStamp readStamp;
    const ReadResult result = ReadWholeFile(State->Path, bytes, readStamp);
    State->Document = ProfileDocument(result == ReadResult::Read ? std::move(bytes) : std::string());
    State->Readable = result != ReadResult::Failed;
    State->Stamp = result == ReadResult::Read ? readStamp : now;
  } catch (...) {
    // Out of memory: read as defaults, refuse writes, and try again on the next Refresh().
    State->Document = ProfileDocument();
    State->Readable = false;
    State->Stamp = FileStamp();
  }
}

std::optional<std::string> ProfileFile::ReadValue(std::string_view section, std::string_view key) const {
  if (State == nullptr) return std::nullopt;
  try {
    return State->Document.Find(section, key);
  } catch (...) {
    return std::nullopt;
  }
}

std::string ProfileFile::ReadText(std::string_view section, std::string_view key,
                                  std::string_view def) const {
  try {
    std::optional<std::string> value = ReadValue(section, key);
    return value ? std::move(*value) : std::string(def);
  } catch (...) {
    return std::string();
  }
}

int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const std::optional<std::string> value = ReadValue(section, key);
  if (!value) return def;
  return ParseProfileInteger(*value).value_or(def);
}

bool ProfileFile::ReadFlag(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool ProfileFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
  if (State == nullptr) return false;
  // Start from what is on disk now, so a change made by someone else since the last read survives.
  Refresh();
  if (!State->Readable) return false;
  try {
    std::optional<std::string> updated = State->Document.WithValue(section, key, value);
    if (!updated) return false;
    ProfileDocument written(std::move(*updated));
    // A value must read back as written (up to the length cut); anything else would be a silent loss.
    if (written.Find(section, key) != std::optional<std::string>(value.substr(0, MaxProfileText)))
      return false;
    if (State->Stamp.Exists && written.Content() == State->Document.Content())
      return CanReplaceFile(State->Path); // nothing to change, but report an unwritable file all the same
    FileStamp stamp;
    if (!ReplaceFile(State->Path, written.Content(), stamp)) return false;
    State->Document = std::move(written);
    State->Stamp = stamp;
    return true;
  } catch (...) {
    return false;
  }
}

bool ProfileFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  return WriteText(section, key, std::to_string(value));
}

bool ProfileFile::WriteFlag(std::string_view section, std::string_view key, bool value) {
  return WriteText(section, key, value ? "1" : "0");
}

} // namespace nq
