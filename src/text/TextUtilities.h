#pragma once
// Free-standing utilities over Windows-1252 byte strings. None of them knows about any other
// encoding: "letters" means the 26 ASCII letters only.
#include <string>
#include <string_view>

namespace nq {

/// Returns a copy with a..z upper-cased; every other byte (accented letters included) is kept.
std::string UpperAscii(std::string_view text);
/// Returns a copy in which each letter A..Z is replaced by its lower-case form; other bytes unchanged.
std::string LowerAscii(std::string_view text);

/// True when UpperAscii(needle) occurs in UpperAscii(haystack); an empty needle gives false.
bool ContainsIgnoringCase(std::string_view needle, std::string_view haystack);

/// Returns the text with every CR LF pair replaced by one blank; lone CRs and LFs stay.
std::string JoinLines(std::string_view text);

/// Deletes every blank (code 32) from the text in place.
void RemoveBlanks(std::string& text);

/// Replaces every occurrence of searched by replacement, left to right; an empty searched text does nothing.
void ReplaceAll(std::string& text, std::string_view searched, std::string_view replacement);

/// Returns a copy with the accented letters folded and the exclamation and question marks removed.
std::string FoldAccents(std::string_view text);

} // namespace nq
