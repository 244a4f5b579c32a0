#pragma once
// Writing .obz archives for tests: ordinary entries, entries with hostile names, and links.
#include <sys/stat.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace nq::test {

struct ZipEntry {
  std::string Name;
  std::string Bytes;
  bool Link = false; // stored as a Unix symbolic link whose target is Bytes
};

/// Writes the entries into a new archive at path; false when libzip refused.
inline bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!archive) return false;
  for (const ZipEntry& entry : entries) {
    zip_source_t* source = zip_source_buffer(archive, entry.Bytes.data(), entry.Bytes.size(), 0);
    const zip_int64_t index = zip_file_add(archive, entry.Name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_discard(archive);
      return false;
    }
    if (entry.Link)
      zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
  }
  return zip_close(archive) == 0;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Every file of a folder, as entries named by their path inside it.
inline std::vector<ZipEntry> FolderEntries(const std::string& folder) {
  std::vector<ZipEntry> entries;
  for (const auto& file : std::filesystem::recursive_directory_iterator(folder)) {
    if (!file.is_regular_file()) continue;
    entries.push_back(
        {std::filesystem::relative(file.path(), folder).generic_string(), ReadText(file.path().string())});
  }
  return entries;
}

} // namespace nq::test
