#include "base/text.h"

#include <array>
#include <cstdint>

namespace base {
namespace {

// Decodes one code point; malformed bytes become U+FFFD and advance by one.
char32_t NextCodePoint(const std::string& s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) { ++i; return c; }
  int len = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + len > s.size()) { ++i; return 0xFFFD; }
  char32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  i += len;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F. 0x98 is unassigned.
constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0455, 0x0457, 0x00BF};

char32_t Cp1251ByteToCodePoint(unsigned char c) {
  if (c < 0x80) return c;
  if (c >= 0xC0) return 0x0410 + (c - 0xC0);
  char16_t u = kCp1251High[c - 0x80];
  return u ? u : 0xFFFD;
}

std::optional<unsigned char> CodePointToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<unsigned char>(0xC0 + (cp - 0x0410));
  for (size_t k = 0; k < kCp1251High.size(); ++k)
    if (kCp1251High[k] == cp && cp != 0) return static_cast<unsigned char>(0x80 + k);
  return std::nullopt;
}

char32_t UpperCodePoint(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp >= 0x0430 && cp <= 0x044F) return cp - 0x20;  // а..я
  if (cp >= 0x0450 && cp <= 0x045F) return cp - 0x50;  // ѐ..џ, ё among them
  if (cp == 0x0491) return 0x0490;                     // ґ
  return cp;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = NextCodePoint(utf8, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::optional<std::string> Utf8ToCp1251(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    auto byte = CodePointToCp1251(NextCodePoint(utf8, i));
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
  }
  return out;
}

std::string Cp1251ToUtf8(const std::string& cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (unsigned char c : cp1251) AppendUtf8(out, Cp1251ByteToCodePoint(c));
  return out;
}

std::string AsciiUpper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

std::string UpperCase(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) AppendUtf8(out, UpperCodePoint(NextCodePoint(utf8, i)));
  return out;
}

bool ContainsNoCase(const std::string& haystack, const std::string& needle) {
  if (needle.empty() || haystack.empty()) return false;
  return UpperCase(haystack).find(UpperCase(needle)) != std::string::npos;
}

}  // namespace base
