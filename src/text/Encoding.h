#pragma once
// Conversions between the core's Windows-1252 byte strings and the UTF-8 of the outside world.
#include <cstddef>
#include <string>
#include <string_view>

namespace nq {

/// Converts Windows-1252 bytes to UTF-8; the five unassigned bytes 0x81 0x8D 0x8F 0x90 0x9D become U+0081
/// etc.
std::string Windows1252ToUtf8(std::string_view text);

/// Converts UTF-8 to Windows-1252; characters outside Windows-1252 and malformed sequences become '?'.
std::string Utf8ToWindows1252(std::string_view text);

/// A file name from outside (the command line, a directory listing) as Windows-1252: UTF-8 is
/// converted; bytes that are not UTF-8 (a name copied from an old archive) already are Windows-1252.
std::string LocalNameToWindows1252(std::string_view name);

/// Decodes the UTF-8 sequence at text[i] and moves i past it; a malformed byte comes out as U+FFFD
/// and is passed alone.
char32_t NextCodePoint(std::string_view text, std::size_t& i);

/// Appends the code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

} // namespace nq
