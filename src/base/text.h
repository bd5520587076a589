#pragma once
// Text conversions. Inside the program text is UTF-8; the system wants UTF-16
// and the files we keep are Windows-1251.
#include <optional>
#include <string>

namespace base {

std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);

// nullopt when a character has no Windows-1251 form: such text is refused, never
// stored with '?' in it.
std::optional<std::string> Utf8ToCp1251(const std::string& utf8);
std::string Cp1251ToUtf8(const std::string& cp1251);

// a..z only, as the program folds executable names.
std::string AsciiUpper(std::string s);
// Every letter Windows-1251 knows (Latin and Cyrillic, Ё included), as the
// system locale's upper-casing folds window titles.
std::string UpperCase(const std::string& utf8);

bool ContainsNoCase(const std::string& haystack, const std::string& needle);

}  // namespace base
