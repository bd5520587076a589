#include "formats/shell_link.h"

#include <cstddef>

#include "base/text.h"

namespace formats {
namespace {

// Header layout.
constexpr std::size_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::size_t kFlagsAt = 0x14;
constexpr std::size_t kIconIndexAt = 0x38;
constexpr std::size_t kShowCommandAt = 0x3C;
constexpr std::size_t kHotKeyAt = 0x40;

// Link flags.
constexpr std::uint32_t kHasIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasRelativePath = 0x08;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;

// Link information.
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t kNetworkLinkAndPathSuffix = 0x02;
constexpr std::uint32_t kVolumeIdHeaderSize = 0x10;
constexpr std::uint32_t kNetworkLinkHeaderSize = 0x14;
constexpr std::uint32_t kDriveUnknown = 0;
constexpr std::uint32_t kDriveRemote = 4;

// Item ids.
constexpr unsigned char kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                           0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr unsigned char kNetwork[16] = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                        0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr std::uint32_t kFileEntryExtension = 0xBEEF0004;

constexpr std::size_t kMaxCounted = 0xFFFF;

// Bounds-checked little-endian reads over one range of the file. Every read
// says whether it fitted; offsets are relative to the start of the range.
class Span {
 public:
  Span(const std::string& bytes, std::size_t begin, std::size_t size)
      : data_(bytes.data() + begin), size_(size) {}

  std::size_t size() const { return size_; }
  bool Has(std::size_t at, std::size_t n) const { return at <= size_ && n <= size_ - at; }
  unsigned char Byte(std::size_t at) const { return static_cast<unsigned char>(data_[at]); }

  bool U16(std::size_t at, std::uint32_t& out) const {
    if (!Has(at, 2)) return false;
    out = Byte(at) | (Byte(at + 1) << 8);
    return true;
  }
  bool U32(std::size_t at, std::uint32_t& out) const {
    if (!Has(at, 4)) return false;
    out = static_cast<std::uint32_t>(Byte(at)) | (static_cast<std::uint32_t>(Byte(at + 1)) << 8) |
          (static_cast<std::uint32_t>(Byte(at + 2)) << 16) |
          (static_cast<std::uint32_t>(Byte(at + 3)) << 24);
    return true;
  }
  bool Equals(std::size_t at, const unsigned char (&what)[16]) const {
    if (!Has(at, 16)) return false;
    for (std::size_t i = 0; i < 16; ++i)
      if (Byte(at + i) != what[i]) return false;
    return true;
  }
  Span Sub(std::size_t at, std::size_t n) const { return Span(data_ + at, n); }

  // A zero-terminated ANSI string starting at `at`, terminator inside the span.
  bool AnsiZ(std::size_t at, std::string& out) const {
    if (at >= size_) return false;
    for (std::size_t i = at; i < size_; ++i) {
      if (data_[i] == '\0') {
        out.assign(data_ + at, i - at);
        return true;
      }
    }
    return false;
  }
  // A zero-terminated UTF-16 string starting at `at`, terminator inside the span.
  bool WideZ(std::size_t at, std::u16string& out) const {
    out.clear();
    for (std::size_t i = at; Has(i, 2); i += 2) {
      char16_t c = static_cast<char16_t>(Byte(i) | (Byte(i + 1) << 8));
      if (c == 0) return true;
      out += c;
    }
    return false;
  }
  std::u16string Wide(std::size_t at, std::size_t units) const {
    std::u16string out(units, u'\0');
    for (std::size_t i = 0; i < units; ++i)
      out[i] = static_cast<char16_t>(Byte(at + 2 * i) | (Byte(at + 2 * i + 1) << 8));
    return out;
  }

 private:
  Span(const char* data, std::size_t size) : data_(data), size_(size) {}
  const char* data_;
  std::size_t size_;
};

std::string CutAtZero(std::string s) {
  std::size_t zero = s.find('\0');
  if (zero != std::string::npos) s.resize(zero);
  return s;
}

std::u16string CutAtZero(std::u16string s) {
  std::size_t zero = s.find(u'\0');
  if (zero != std::u16string::npos) s.resize(zero);
  return s;
}

// ANSI text as read: its UTF-8 and whether its meaning hangs on the writer's
// code page (a byte beyond ASCII, or the '?' a writer leaves for a character
// its code page lacks; '?' never occurs in a real path).
struct AnsiText {
  std::string utf8;
  bool ambiguous = false;
  std::string raw;  // the bytes, when they came from ANSI text
  bool wide = false;
};

AnsiText FromAnsi(const std::string& ansi) {
  AnsiText t{base::Cp1251ToUtf8(ansi), false, ansi, false};
  for (unsigned char c : ansi)
    if (c >= 0x80 || c == '?') t.ambiguous = true;
  return t;
}

std::string JoinPath(const std::string& base, const std::string& suffix) {
  if (suffix.empty()) return base;
  if (base.empty() || base.back() == '\\' || suffix.front() == '\\') return base + suffix;
  return base + "\\" + suffix;
}

// ---- Link information ----------------------------------------------------

struct LinkInfoTarget {
  std::string path;
  bool ansiOnly = false;  // no UTF-16 copy: `path` is `ansi` read as Windows-1251
  std::string ansi;
};

// A string of the link information (or of a part of it) at `offset`, which
// must lie past the header and end inside.
bool ReadString(const Span& info, std::uint32_t headerSize, std::uint32_t offset, bool wide,
                AnsiText& out) {
  if (offset < headerSize || offset >= info.size()) return false;
  if (wide) {
    std::u16string s;
    if (!info.WideZ(offset, s)) return false;
    out = AnsiText{base::Utf16ToUtf8(s), false, {}, true};
    return true;
  }
  std::string s;
  if (!info.AnsiZ(offset, s)) return false;
  out = FromAnsi(s);
  return true;
}

// The ANSI string and, when its offset is set, the UTF-16 one that says the
// same better. A zero ANSI offset is allowed only where `required` is false.
bool ReadPair(const Span& info, std::uint32_t headerSize, std::uint32_t ansiAt,
              std::uint32_t wideAt, bool required, AnsiText& out) {
  out = AnsiText{};
  if (ansiAt != 0 || required) {
    if (!ReadString(info, headerSize, ansiAt, false, out)) return false;
  }
  if (wideAt != 0) {
    if (!ReadString(info, headerSize, wideAt, true, out)) return false;
  }
  return true;
}

bool ReadLinkInfo(const Span& info, LinkInfoTarget& target) {
  std::uint32_t headerSize = 0, flags = 0, volumeAt = 0, localAt = 0, networkAt = 0, suffixAt = 0;
  if (!info.U32(4, headerSize) || !info.U32(8, flags) || !info.U32(12, volumeAt) ||
      !info.U32(16, localAt) || !info.U32(20, networkAt) || !info.U32(24, suffixAt))
    return false;
  if (headerSize != kLinkInfoHeaderSize && headerSize < kLinkInfoHeaderSizeUnicode) return false;
  if (headerSize > info.size()) return false;
  std::uint32_t localAtW = 0, suffixAtW = 0;
  if (headerSize >= kLinkInfoHeaderSizeUnicode &&
      (!info.U32(0x1C, localAtW) || !info.U32(0x20, suffixAtW)))
    return false;

  AnsiText suffix;
  if (!ReadPair(info, headerSize, suffixAt, suffixAtW, false, suffix)) return false;

  AnsiText base;
  bool haveBase = false;
  if (flags & kNetworkLinkAndPathSuffix) {
    std::uint32_t size = 0, netAt = 0;
    if (networkAt < headerSize || !info.U32(networkAt, size)) return false;
    if (size < kNetworkLinkHeaderSize || !info.Has(networkAt, size)) return false;
    Span net = info.Sub(networkAt, size);
    std::uint32_t netAtW = 0;
    if (!net.U32(8, netAt)) return false;
    if (netAt > kNetworkLinkHeaderSize && !net.U32(0x14, netAtW)) return false;
    if (!ReadPair(net, kNetworkLinkHeaderSize, netAt, netAtW, true, base)) return false;
    haveBase = true;
  }
  if (flags & kVolumeIdAndLocalBasePath) {
    std::uint32_t volumeSize = 0;
    if (volumeAt < headerSize || !info.U32(volumeAt, volumeSize)) return false;
    if (volumeSize < kVolumeIdHeaderSize || !info.Has(volumeAt, volumeSize)) return false;
    // The local path, when there is one, is the one the target was reached by.
    if (!ReadPair(info, headerSize, localAt, localAtW, true, base)) return false;
    haveBase = true;
  }
  if (!haveBase) return true;  // neither part: no target here
  target.path = JoinPath(base.utf8, suffix.utf8);
  target.ansiOnly = !base.wide && (suffix.utf8.empty() || !suffix.wide);
  if (target.ansiOnly) target.ansi = JoinPath(base.raw, suffix.raw);
  return true;
}

// ---- Item-id list ----------------------------------------------------------

struct IdListTarget {
  std::string path;
  bool exact = true;  // no name needed a code page to be read
};

// The long name of a file entry from its extension block, the one the shell
// keeps in UTF-16. The block sits right after the short name; the last two
// bytes of the item point at the last block, which is the fallback when
// something else comes between.
bool LongName(const Span& item, std::size_t nameEnd, std::u16string& out) {
  auto tryBlock = [&](std::size_t at) {
    std::uint32_t size = 0, version = 0, signature = 0;
    if (!item.U16(at, size) || !item.U16(at + 2, version) || !item.U32(at + 4, signature))
      return false;
    if (size < 8 || !item.Has(at, size)) return false;
    // Windows signs the block; Wine writes the same layout with version and signature zero.
    const bool signedBlock = signature == kFileEntryExtension && version >= 3;
    const bool wineBlock = signature == 0 && version == 0;
    if (!signedBlock && !wineBlock) return false;
    std::size_t nameAt = version >= 9 ? 46 : version == 8 ? 42 : version == 7 ? 38 : 20;
    if (nameAt + 2 > size) return false;
    return item.Sub(at, size).WideZ(nameAt, out);
  };
  // Blocks start at an even offset; a writer that does not pad is met halfway.
  const std::size_t aligned = (nameEnd + 1) & ~static_cast<std::size_t>(1);
  for (std::size_t first : {aligned, nameEnd}) {
    for (std::size_t at = first; item.Has(at, 8);) {
      std::uint32_t size = 0;
      item.U16(at, size);
      if (size < 8) break;
      if (tryBlock(at)) return true;
      at += size;
    }
  }
  std::uint32_t last = 0;
  if (item.size() >= 2 && item.U16(item.size() - 2, last) && last >= nameEnd &&
      last + 2 <= item.size() && tryBlock(last))
    return true;
  return false;
}

// The name of one file or folder item, or false when its layout is not one we know.
bool FileEntryName(const Span& item, std::string& name, bool& exact) {
  const unsigned char type = item.Byte(2);
  constexpr std::size_t kNameAt = 14;
  std::size_t nameEnd = 0;
  std::string shortName;
  bool shortExact = false;
  if (type & 0x04) {
    std::u16string s;
    if (!item.WideZ(kNameAt, s)) return false;
    shortName = base::Utf16ToUtf8(s);
    shortExact = true;
    nameEnd = kNameAt + 2 * (s.size() + 1);
  } else {
    std::string s;
    if (!item.AnsiZ(kNameAt, s)) return false;
    AnsiText t = FromAnsi(s);
    shortName = t.utf8;
    shortExact = !t.ambiguous;
    nameEnd = kNameAt + s.size() + 1;
  }
  std::u16string longName;
  if (LongName(item, nameEnd, longName) && !longName.empty()) {
    name = base::Utf16ToUtf8(longName);
  } else {
    name = shortName;
    exact = exact && shortExact;
  }
  return !name.empty();
}

// The path the item-id list leads to, when it is a path of the file system:
// My Computer, a drive, then folders and a file; or the network, a share,
// then folders and a file. Empty for anything else (control panel, known
// folders by identifier, items of layouts we do not know).
IdListTarget PathOfIdList(const Span& list) {
  const IdListTarget none{};
  IdListTarget result;
  bool rooted = false;  // a drive or a share has been named
  bool atStart = true;
  for (std::size_t at = 0;;) {
    std::uint32_t size = 0;
    list.U16(at, size);  // the caller made sure the list is well framed
    if (size == 0) break;
    Span item = list.Sub(at, size);
    at += size;
    if (size < 3) return none;
    const unsigned char type = item.Byte(2);
    if (atStart && type == 0x1F) {
      if (!item.Equals(4, kMyComputer) && !item.Equals(4, kNetwork)) return none;
    } else if ((type & 0x70) == 0x20 && !rooted) {
      std::string drive;
      if (!(type & 0x01) || !item.AnsiZ(3, drive) || drive.size() < 2 || drive[1] != ':')
        return none;
      AnsiText t = FromAnsi(drive);
      result.path = t.utf8;
      result.exact = !t.ambiguous;
      rooted = true;
    } else if ((type & 0x70) == 0x40 && !rooted) {
      // Domain and provider items come first; the server and share items
      // hold their UNC path, the share's naming the server too.
      std::string location;
      if (!item.AnsiZ(5, location)) return none;
      if (location.rfind("\\\\", 0) == 0) {
        AnsiText t = FromAnsi(location);
        result.path = t.utf8;
        result.exact = !t.ambiguous;
        if ((type & 0x0F) == 0x03) rooted = true;
      }
    } else if ((type & 0x70) == 0x30 && (rooted || !result.path.empty())) {
      std::string name;
      if (!FileEntryName(item, name, result.exact)) return none;
      result.path = JoinPath(result.path, name);
      rooted = true;
    } else {
      return none;
    }
    atStart = false;
  }
  if (!rooted) return none;
  return result;
}

// Whether ANSI bytes can be a writer's rendering of a path in some single-byte
// code page: the same length, the same ASCII characters (ignoring case) where
// the path has them, anything where it has others ('?', a best-fit letter, a
// byte of another code page).
bool CouldBeRenderingOf(const std::string& ansi, const std::string& path) {
  const std::u16string wide = base::Utf8ToUtf16(path);
  if (ansi.size() != wide.size()) return false;
  auto fold = [](char16_t c) { return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c; };
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] < 0x80 && fold(wide[i]) != fold(static_cast<unsigned char>(ansi[i]))) return false;
  }
  return true;
}

// ---- The whole file --------------------------------------------------------

bool Decode(const std::string& bytes, ShellLinkData& out) {
  const Span file(bytes, 0, bytes.size());
  std::uint32_t headerSize = 0, flags = 0, iconIndex = 0, showCommand = 0, hotKey = 0;
  if (!file.U32(0, headerSize) || headerSize != kHeaderSize || !file.Has(0, kHeaderSize))
    return false;
  if (!file.Equals(4, kLinkClsid)) return false;
  file.U32(kFlagsAt, flags);
  file.U32(kIconIndexAt, iconIndex);
  file.U32(kShowCommandAt, showCommand);
  file.U16(kHotKeyAt, hotKey);
  std::size_t at = kHeaderSize;

  IdListTarget fromIdList;
  bool haveIdList = false;
  if (flags & kHasIdList) {
    std::uint32_t listSize = 0;
    if (!file.U16(at, listSize) || !file.Has(at + 2, listSize)) return false;
    Span list = file.Sub(at + 2, listSize);
    // The items must tile the list up to its terminal id.
    std::size_t item = 0;
    for (;;) {
      std::uint32_t size = 0;
      if (!list.U16(item, size)) return false;
      if (size == 0) break;
      if (size < 2 || !list.Has(item, size)) return false;
      item += size;
    }
    fromIdList = PathOfIdList(list);
    haveIdList = !fromIdList.path.empty();
    at += 2 + listSize;
  }

  LinkInfoTarget fromLinkInfo;
  if (flags & kHasLinkInfo) {
    std::uint32_t infoSize = 0;
    if (!file.U32(at, infoSize) || infoSize < kLinkInfoHeaderSize || !file.Has(at, infoSize))
      return false;
    if (!ReadLinkInfo(file.Sub(at, infoSize), fromLinkInfo)) return false;
    if (flags & kForceNoLinkInfo) fromLinkInfo = LinkInfoTarget{};
    at += infoSize;
  }

  const bool unicode = (flags & kIsUnicode) != 0;
  std::string* const fields[] = {&out.description, nullptr, &out.workingDirectory,
                                 &out.arguments, &out.iconLocation};
  const std::uint32_t fieldFlags[] = {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments,
                                      kHasIconLocation};
  std::string relativePath;
  for (std::size_t i = 0; i < 5; ++i) {
    if (!(flags & fieldFlags[i])) continue;
    std::uint32_t count = 0;
    if (!file.U16(at, count)) return false;
    at += 2;
    const std::size_t byteCount = unicode ? 2 * static_cast<std::size_t>(count) : count;
    if (!file.Has(at, byteCount)) return false;
    std::string text = unicode ? base::Utf16ToUtf8(CutAtZero(file.Sub(at, byteCount).Wide(0, count)))
                               : base::Cp1251ToUtf8(CutAtZero(bytes.substr(at, byteCount)));
    at += byteCount;
    *(fields[i] ? fields[i] : &relativePath) = std::move(text);
  }

  // Extra data blocks, up to the terminal block (a size below 4).
  for (;;) {
    std::uint32_t blockSize = 0;
    if (!file.U32(at, blockSize)) return false;
    if (blockSize < 4) break;
    if (blockSize < 8 || !file.Has(at, blockSize)) return false;
    at += blockSize;
  }

  // The link information is the system's own record of the target; an ANSI
  // path without its UTF-16 copy is only as good as the writer's code page,
  // though ('?' or a best-fit letter for what it lacks), and an item-id list
  // naming the same item in UTF-16 says it better.
  if (!fromLinkInfo.path.empty() &&
      !(fromLinkInfo.ansiOnly && haveIdList && fromIdList.exact &&
        CouldBeRenderingOf(fromLinkInfo.ansi, fromIdList.path))) {
    out.target = fromLinkInfo.path;
  } else if (haveIdList) {
    out.target = fromIdList.path;
  } else {
    out.target = relativePath;
  }
  out.iconIndex = static_cast<std::int32_t>(iconIndex);
  out.showCommand = static_cast<std::int32_t>(showCommand);
  out.hotKey = static_cast<std::uint16_t>(hotKey);
  return true;
}

// ---- Writing ---------------------------------------------------------------

void PutU16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void PutU32(std::string& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

void SetU32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutWideZ(std::string& out, const std::u16string& s) {
  for (char16_t c : s) PutU16(out, c);
  PutU16(out, 0);
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Windows-1251 with '?' for what it lacks, as the system's writer leaves it.
std::string ToAnsi(const std::u16string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::u16string one(1, s[i]);
    if (s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size()) one += s[++i];
    std::optional<std::string> b = base::Utf8ToCp1251(base::Utf16ToUtf8(one));
    out += b && b->size() == 1 ? *b : std::string("?");
  }
  return out;
}

// UTF-16 for text that reads back as the same UTF-8, without zero characters.
std::optional<std::u16string> Storable(const std::string& utf8) {
  if (utf8.find('\0') != std::string::npos) return std::nullopt;
  std::u16string wide = base::Utf8ToUtf16(utf8);
  if (base::Utf16ToUtf8(wide) != utf8) return std::nullopt;
  return wide;
}

// Link information for an absolute path: a volume id that claims no more
// about the volume than the path tells, the path in ANSI and, when it has
// characters beyond ASCII, in UTF-16 as well (ANSI text means the right
// thing only where the system's code page is Windows-1251). A path on a
// share goes in the same place, whole, as Wine's writer puts it: Wine's
// reader knows no other place, and with an empty suffix the base path is
// simply the path the link leads to.
std::string LocalLinkInfo(const std::string& path, std::uint32_t driveType) {
  const std::u16string wide = base::Utf8ToUtf16(path);
  const bool withUnicode = !IsAscii(path);
  const std::uint32_t headerSize = withUnicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSize;
  std::string info(headerSize, '\0');
  SetU32(info, 4, headerSize);
  SetU32(info, 8, kVolumeIdAndLocalBasePath);
  SetU32(info, 12, static_cast<std::uint32_t>(info.size()));
  PutU32(info, kVolumeIdHeaderSize + 1);
  PutU32(info, driveType);
  PutU32(info, 0);  // serial number
  PutU32(info, kVolumeIdHeaderSize);
  info += '\0';  // empty volume label
  SetU32(info, 16, static_cast<std::uint32_t>(info.size()));
  info += ToAnsi(wide);
  info += '\0';
  SetU32(info, 24, static_cast<std::uint32_t>(info.size()));
  info += '\0';  // empty common path suffix
  if (withUnicode) {
    if (info.size() % 2) info += '\0';
    SetU32(info, 0x1C, static_cast<std::uint32_t>(info.size()));
    PutWideZ(info, wide);
    SetU32(info, 0x20, static_cast<std::uint32_t>(info.size()));
    PutWideZ(info, u"");
  }
  SetU32(info, 0, static_cast<std::uint32_t>(info.size()));
  return info;
}

bool IsLocalPath(const std::string& p) {
  return p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) &&
         p[1] == ':' && (p[2] == '\\' || p[2] == '/');
}

bool IsSharePath(const std::string& p) { return p.size() > 2 && p[0] == '\\' && p[1] == '\\'; }

}  // namespace

std::int32_t ShowCommandOf(RunAs runAs) {
  switch (runAs) {
    case raMinimized: return kShowMinimized;
    case raMaximized: return kShowMaximized;
    case raNormal: break;
  }
  return kShowNormal;
}

RunAs RunAsOf(std::int32_t showCommand) {
  switch (showCommand) {
    case kShowMaximized: return raMaximized;
    case 2:  // SW_SHOWMINIMIZED
    case 6:  // SW_MINIMIZE
    case kShowMinimized: return raMinimized;
    default: return raNormal;
  }
}

bool ShellLinkData::operator==(const ShellLinkData& o) const {
  return target == o.target && workingDirectory == o.workingDirectory &&
         arguments == o.arguments && description == o.description &&
         iconLocation == o.iconLocation && iconIndex == o.iconIndex &&
         showCommand == o.showCommand && hotKey == o.hotKey;
}

ShellLinkData DecodeShellLink(const std::string& bytes, bool* ok) {
  ShellLinkData data;
  const bool good = Decode(bytes, data);
  if (ok) *ok = good;
  return good ? data : ShellLinkData{};
}

std::optional<std::string> EncodeShellLink(const ShellLinkData& link) {
  if (!Storable(link.target)) return std::nullopt;

  std::uint32_t flags = kIsUnicode;
  std::string linkInfo;
  bool relative = false;
  if (IsLocalPath(link.target)) {
    linkInfo = LocalLinkInfo(link.target, kDriveUnknown);
  } else if (IsSharePath(link.target)) {
    linkInfo = LocalLinkInfo(link.target, kDriveRemote);
  } else {
    relative = !link.target.empty();
  }
  if (!linkInfo.empty()) flags |= kHasLinkInfo;

  struct Field {
    std::uint32_t flag;
    const std::string* text;
  };
  const Field fields[] = {{kHasName, &link.description},
                          {kHasRelativePath, relative ? &link.target : nullptr},
                          {kHasWorkingDir, &link.workingDirectory},
                          {kHasArguments, &link.arguments},
                          {kHasIconLocation, &link.iconLocation}};
  std::string strings;
  for (const Field& f : fields) {
    if (!f.text || f.text->empty()) continue;
    std::optional<std::u16string> wide = Storable(*f.text);
    if (!wide || wide->size() > kMaxCounted) return std::nullopt;
    flags |= f.flag;
    PutU16(strings, static_cast<std::uint32_t>(wide->size()));
    for (char16_t c : *wide) PutU16(strings, c);
  }

  std::string out(kHeaderSize, '\0');
  SetU32(out, 0, kHeaderSize);
  for (std::size_t i = 0; i < 16; ++i) out[4 + i] = static_cast<char>(kLinkClsid[i]);
  SetU32(out, kFlagsAt, flags);
  SetU32(out, kIconIndexAt, static_cast<std::uint32_t>(link.iconIndex));
  SetU32(out, kShowCommandAt, static_cast<std::uint32_t>(link.showCommand));
  out[kHotKeyAt] = static_cast<char>(link.hotKey & 0xFF);
  out[kHotKeyAt + 1] = static_cast<char>(link.hotKey >> 8);
  out += linkInfo;
  out += strings;
  PutU32(out, 0);  // terminal block
  return out;
}

}  // namespace formats
