#pragma once
// INI-style "profile" files (program settings, Quadrix.ini, boards), read and written the way the
// Windows private-profile functions do, so files made on Windows keep working byte for byte.
// The file is parsed once and lookups are answered from memory; Refresh() re-parses it only when
// it changed on disk. Writes change only the bytes of one value and replace the file atomically.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nq {

// The longest text value a read returns; longer values are cut.
inline constexpr std::size_t MaxProfileText = 1023;

class ProfileFile {
public:
  explicit ProfileFile(std::string path);
  ~ProfileFile();
  ProfileFile(ProfileFile&&) noexcept;
  ProfileFile& operator=(ProfileFile&&) noexcept;

  const std::string& Path() const;

  /// Re-parses the file when its size or modification time changed since the last parse.
  void Refresh();

  /// The value (trimmed, one pair of outer quotes stripped, cut at MaxProfileText), or nothing when
  /// the section or key is missing. Reads the parsed copy; call Refresh() to see outside changes.
  std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;
  std::string ReadText(std::string_view section, std::string_view key, std::string_view def) const;
  /// "0x"/"0X" (longer than two characters) or "$" hexadecimal, else signed decimal; anything
  /// malformed, empty, missing or outside the signed 32-bit range gives the default.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  /// An integer where any non-zero value is true.
  bool ReadFlag(std::string_view section, std::string_view key, bool def) const;

  /// Replaces the value in place, or appends the key (or section and key). False when the file
  /// could not be written; the old file is then left exactly as it was.
  bool WriteText(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
  bool WriteFlag(std::string_view section, std::string_view key, bool value);

private:
  struct Impl;
  Impl* State;
};

/// The integer rule of profile files (see ReadInteger).
std::optional<int32_t> ParseProfileInteger(std::string_view text);
/// Lenient number rule of Quadrix.ini: leading blanks, optional sign or "$" (hexadecimal), digits up
/// to the first other character; no digits gives 0.
int32_t ParseLenientNumber(std::string_view text);
/// Strict number rule: like the lenient one, but trailing characters or no digits fail.
std::optional<int32_t> ParseStrictNumber(std::string_view text);

} // namespace nq
