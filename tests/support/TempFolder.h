#pragma once
// A fresh folder under the system temporary folder for one test, removed with everything in it
// afterwards, even the parts a test made read-only.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace nq::test {

class TempFolder {
public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nq-test-XXXXXX").string();
    // Falling back to a shared folder would let the destructor wipe it, so a failure stops the test.
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder: " + pattern);
    Folder = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    // Give write bits back first, so read-only test folders can be removed.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder, error))
      chmod(entry.path().c_str(), 0700);
    chmod(Folder.c_str(), 0700);
    std::filesystem::remove_all(Folder, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Path(const std::string& name) const { return Folder + "/" + name; }
  /// Writes the bytes to a file of the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  const std::string& Root() const { return Folder; }

private:
  std::string Folder;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
  WriteBytes(Path(name), bytes);
  return Path(name);
}

inline bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

} // namespace nq::test
