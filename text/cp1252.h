// Formula texts are Windows-1252 byte strings; these convert them at the
// boundary to UTF-8 (Qt, the command line) and upper-case them the way the
// formula line does while the user types.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Characters without a Windows-1252 code become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);
// a..z and the accented small letters to their capitals (é to É, ÿ to Ÿ); ß stays.
std::string UpperCase1252(std::string_view cp1252);

} // namespace text
