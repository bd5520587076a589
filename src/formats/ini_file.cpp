#include "formats/ini_file.h"

#include "base/text.h"

namespace formats {
namespace {

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// The file as the system sees it: code units after the byte-order mark. For
// ANSI and UTF-8 a unit is a byte; every character the syntax cares about is
// ASCII, and ASCII bytes never occur inside a UTF-8 sequence.
struct Text {
  const std::string& bytes;
  Encoding encoding = Encoding::kAnsi;
  std::size_t start = 0;  // byte offset of the first unit
  std::size_t units = 0;

  explicit Text(const std::string& b) : bytes(b) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(b[i]); };
    if (b.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
      encoding = Encoding::kUtf8;
      start = 3;
    } else if (b.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
      encoding = Encoding::kUtf16Le;
      start = 2;
    } else if (b.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
      encoding = Encoding::kUtf16Be;
      start = 2;
    }
    // An odd byte at the end of a UTF-16 file is read as a character of its own.
    units = Wide() ? (b.size() - start + 1) / 2 : b.size() - start;
  }

  bool Wide() const { return encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be; }
  std::size_t Width() const { return Wide() ? 2 : 1; }
  std::size_t Offset(std::size_t unit) const {
    std::size_t o = start + unit * Width();
    return o < bytes.size() ? o : bytes.size();
  }

  char16_t operator[](std::size_t i) const {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    std::size_t o = start + i * Width();
    if (Wide() && o + 1 == bytes.size()) return at(o);
    switch (encoding) {
      case Encoding::kUtf16Le: return static_cast<char16_t>(at(o) | (at(o + 1) << 8));
      case Encoding::kUtf16Be: return static_cast<char16_t>((at(o) << 8) | at(o + 1));
      default: return at(o);
    }
  }
};

// The profile reader's blanks: not NBSP, but Ctrl-Z. CR and LF end lines.
bool IsBlank(char16_t c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == 0x1A;
}

char16_t FoldAscii(char16_t c) { return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c; }

// Windows-1251 as UTF-16, byte by byte.
const std::u16string& Cp1251Table() {
  static const std::u16string table = [] {
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
    return base::Utf8ToUtf16(base::Cp1251ToUtf8(all));
  }();
  return table;
}

char UnitToCp1251(char16_t u) {
  if (u < 0x80) return static_cast<char>(u);
  const std::u16string& table = Cp1251Table();
  for (std::size_t b = 0x80; b < table.size(); ++b)
    if (table[b] == u && u != 0xFFFD) return static_cast<char>(b);
  return '?';
}

std::string Utf16ToCp1251(const std::u16string& s) {
  std::string out;
  out.reserve(s.size());
  for (char16_t u : s) out += UnitToCp1251(u);
  return out;
}

// Windows-1251 text as the file's own bytes.
std::string Encode(const Text& text, const std::string& cp1251) {
  switch (text.encoding) {
    case Encoding::kAnsi: return cp1251;
    case Encoding::kUtf8: return base::Cp1251ToUtf8(cp1251);
    default: break;
  }
  std::u16string wide = base::Utf8ToUtf16(base::Cp1251ToUtf8(cp1251));
  std::string out;
  out.reserve(wide.size() * 2);
  for (char16_t u : wide) {
    char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    if (text.encoding == Encoding::kUtf16Le) {
      out += lo;
      out += hi;
    } else {
      out += hi;
      out += lo;
    }
  }
  return out;
}

// A caller's name as the system takes it: a C string, blanks off both ends,
// then in the file's units for comparing.
std::u16string QueryName(const Text& text, std::string name) {
  name = name.substr(0, name.find('\0'));
  std::size_t b = 0, e = name.size();
  while (b < e && IsBlank(static_cast<unsigned char>(name[b]))) ++b;
  while (e > b && IsBlank(static_cast<unsigned char>(name[e - 1]))) --e;
  name = name.substr(b, e - b);
  if (text.Wide()) return base::Utf8ToUtf16(base::Cp1251ToUtf8(name));
  if (text.encoding == Encoding::kUtf8) name = base::Cp1251ToUtf8(name);
  std::u16string out;
  out.reserve(name.size());
  for (unsigned char c : name) out += static_cast<char16_t>(c);
  return out;
}

bool SameName(const Text& text, std::size_t b, std::size_t e, const std::u16string& name) {
  if (e - b != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (FoldAscii(text[b + i]) != FoldAscii(name[i])) return false;
  return true;
}

enum class Kind { kBlank, kSection, kEntry };

// One line of the file. All positions are unit indexes into the Text.
struct Line {
  std::size_t begin = 0, end = 0;  // the text, without its line break
  std::size_t next = 0;            // where the next line starts
  Kind kind = Kind::kBlank;
  std::size_t nameBegin = 0, nameEnd = 0;
  bool hasValue = false;
  std::size_t valueBegin = 0, valueEnd = 0;

  bool HasBreak() const { return next > end; }
};

// The stored name and value end at a NUL, as C strings do.
std::size_t CutAtNul(const Text& text, std::size_t b, std::size_t e) {
  for (std::size_t i = b; i < e; ++i)
    if (text[i] == 0) return i;
  return e;
}

// A lone CR ends a line as well as LF does; CR LF is one break.
Line ReadLine(const Text& text, std::size_t pos) {
  Line line;
  line.begin = pos;
  std::size_t i = pos;
  while (i < text.units && text[i] != '\r' && text[i] != '\n') ++i;
  line.end = i;
  if (i < text.units) {
    ++i;
    if (text[i - 1] == '\r' && i < text.units && text[i] == '\n') ++i;
  }
  line.next = i;

  std::size_t b = line.begin, e = line.end;
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  if (b == e) return line;

  if (text[b] == '[') {
    std::size_t close = e - 1;
    while (close > b && text[close] != ']') --close;
    if (close > b) {
      std::size_t nb = b + 1, ne = close;
      while (nb < ne && IsBlank(text[nb])) ++nb;
      while (ne > nb && IsBlank(text[ne - 1])) --ne;
      line.kind = Kind::kSection;
      line.nameBegin = nb;
      line.nameEnd = CutAtNul(text, nb, ne);
      return line;
    }
    // "[name" without its bracket is an ordinary line of the current section.
  }

  line.kind = Kind::kEntry;
  line.nameBegin = b;
  std::size_t eq = b;
  while (eq < e && text[eq] != '=') ++eq;
  std::size_t ne = eq;
  if (eq < e) {
    while (ne > b && IsBlank(text[ne - 1])) --ne;
    std::size_t vb = eq + 1;
    while (vb < e && IsBlank(text[vb])) ++vb;
    line.hasValue = true;
    line.valueBegin = vb;
    line.valueEnd = CutAtNul(text, vb, e);
  }
  line.nameEnd = CutAtNul(text, b, ne);
  return line;
}

struct Place {
  bool sectionFound = false;
  bool keyFound = false;
  Line key;
  // Where a new key of the section goes: after the section's last non-blank
  // line, or after its header.
  std::size_t insertAt = 0;
  bool insertNeedsBreak = false;
};

// Only the first section of the name is searched; lines before the first
// header belong to the section with the empty name.
Place Find(const Text& text, const std::string& section, const std::string& key) {
  const std::u16string sectionName = QueryName(text, section);
  const std::u16string keyName = QueryName(text, key);
  Place place;
  bool inside = sectionName.empty();
  place.sectionFound = inside;
  for (std::size_t pos = 0; pos < text.units;) {
    Line line = ReadLine(text, pos);
    pos = line.next;
    if (line.kind == Kind::kSection) {
      if (inside) break;
      if (!place.sectionFound && SameName(text, line.nameBegin, line.nameEnd, sectionName)) {
        inside = place.sectionFound = true;
        place.insertAt = line.next;
        place.insertNeedsBreak = !line.HasBreak();
      }
    } else if (line.kind == Kind::kEntry && inside) {
      if (SameName(text, line.nameBegin, line.nameEnd, keyName)) {
        place.keyFound = true;
        place.key = line;
        break;
      }
      place.insertAt = line.next;
      place.insertNeedsBreak = !line.HasBreak();
    }
  }
  return place;
}

// How the system copies a value into the caller's buffer: one pair of
// matching quotes comes off, and the text is cut to bufferSize - 1 units.
// A quoted value that only just fits loses its last character as well (the
// closing quote is already cut off when the system takes it away); we match
// that so both read the same.
template <class S>
S CopyEntry(const S& value, std::size_t bufferSize) {
  if (bufferSize == 0) return S();
  bool quoted = value.size() >= 2 && (value[0] == '\'' || value[0] == '"') &&
                value.back() == value[0];
  std::size_t from = quoted ? 1 : 0;
  std::size_t rest = value.size() - from;
  S out = value.substr(from, bufferSize - 1 < rest ? bufferSize - 1 : rest);
  if (quoted && bufferSize >= rest && !out.empty()) out.pop_back();
  return out;
}

std::string ProcessDefault(std::string value, std::size_t bufferSize) {
  value = value.substr(0, value.find('\0'));
  // Trailing spaces (not tabs) come off, but never the first character.
  std::size_t e = value.size();
  while (e > 1 && value[e - 1] == ' ') --e;
  value.resize(e);
  return CopyEntry(value, bufferSize);
}

std::optional<std::string> StoredValue(const Text& text, const Place& place,
                                       std::size_t bufferSize) {
  if (!place.keyFound || !place.key.hasValue) return std::nullopt;
  if (!text.Wide()) {
    std::size_t b = text.Offset(place.key.valueBegin), e = text.Offset(place.key.valueEnd);
    std::string raw = text.bytes.substr(b, e - b);
    if (text.encoding == Encoding::kAnsi) return CopyEntry(raw, bufferSize);
    return Utf16ToCp1251(CopyEntry(base::Utf8ToUtf16(raw), bufferSize));
  }
  std::u16string wide;
  wide.reserve(place.key.valueEnd - place.key.valueBegin);
  for (std::size_t i = place.key.valueBegin; i < place.key.valueEnd; ++i) wide += text[i];
  return Utf16ToCp1251(CopyEntry(wide, bufferSize));
}

bool HasLineBreakOrNul(const std::string& s) {
  return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// A new name loses its leading blanks only; the reader drops the rest.
std::string NewName(const std::string& s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
  return s.substr(b);
}

// The system would take blanks off the ends and a pair of quotes off the
// value; another pair of quotes keeps all of it.
std::string StoredForm(const std::string& value) {
  if (value.empty()) return value;
  const unsigned char first = value.front(), last = value.back();
  bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
  if (IsBlank(first) || IsBlank(last) || quoted) return '"' + value + '"';
  return value;
}

}  // namespace

std::string IniRead(const std::string& fileBytes, const std::string& section,
                    const std::string& key, const std::string& defaultValue,
                    std::size_t bufferSize) {
  Text text(fileBytes);
  if (auto value = StoredValue(text, Find(text, section, key), bufferSize)) return *value;
  return ProcessDefault(defaultValue, bufferSize);
}

std::string IniReadMissingFile(const std::string& defaultValue, std::size_t bufferSize) {
  return ProcessDefault(defaultValue, bufferSize);
}

std::optional<std::string> IniWrite(const std::string& fileBytes, const std::string& section,
                                    const std::string& key, const std::string& value) {
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
    return std::nullopt;
  const std::string sectionName = NewName(section);
  const std::string keyName = NewName(key);
  const std::string stored = StoredForm(value);

  // The system reads an odd byte at the end of a UTF-16 file as one more
  // character; make it a whole one before anything goes after it.
  Text text(fileBytes);
  if (text.Wide() && (fileBytes.size() - text.start) % 2 != 0) {
    std::string whole = fileBytes;
    whole.insert(text.encoding == Encoding::kUtf16Le ? whole.size() : whole.size() - 1, 1, '\0');
    return IniWrite(whole, section, key, value);
  }
  Place place = Find(text, sectionName, keyName);
  const std::string crlf = Encode(text, "\r\n");
  std::string out;
  if (place.keyFound) {
    const Line& line = place.key;
    std::string encoded = Encode(text, stored);
    std::size_t b = text.Offset(line.valueBegin), e = text.Offset(line.valueEnd);
    if (line.hasValue && fileBytes.compare(b, e - b, encoded) == 0) {
      // The system leaves the file alone when nothing changes.
      out = fileBytes;
    } else {
      // The line becomes name=value under the name as the file spells it.
      std::size_t nameB = text.Offset(line.nameBegin), nameE = text.Offset(line.nameEnd);
      out.reserve(fileBytes.size() + encoded.size() + 2);
      out.append(fileBytes, 0, text.Offset(line.begin));
      out.append(fileBytes, nameB, nameE - nameB);
      out += Encode(text, "=");
      out += encoded;
      out.append(fileBytes, text.Offset(line.end), std::string::npos);
    }
  } else {
    std::string added = keyName + '=' + stored + "\r\n";
    std::size_t at = place.insertAt;
    bool needsBreak = place.insertNeedsBreak;
    if (!place.sectionFound) {
      added = '[' + sectionName + "]\r\n" + added;
      at = text.units;
      needsBreak = at > 0 && text[at - 1] != '\r' && text[at - 1] != '\n';
    }
    std::string encoded = (needsBreak ? crlf : std::string()) + Encode(text, added);
    std::size_t offset = text.Offset(at);
    out.reserve(fileBytes.size() + encoded.size());
    out.append(fileBytes, 0, offset);
    out += encoded;
    out.append(fileBytes, offset, std::string::npos);
  }

  Text written(out);
  if (StoredValue(written, Find(written, sectionName, keyName), kIniBufferSize) != value)
    return std::nullopt;
  return out;
}

}  // namespace formats
