// Shortcut-file codec: what we write reads back the same, files the system's
// shell-link object wrote read right, and no malformed file gets past the
// reader as anything but empty fields.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/text.h"
#include "formats/shell_link.h"

namespace formats {
// For the failure messages of gtest.
static void PrintTo(const ShellLinkData& d, std::ostream* os) {
  *os << "target=[" << d.target << "] wd=[" << d.workingDirectory << "] args=[" << d.arguments
      << "] desc=[" << d.description << "] icon=[" << d.iconLocation << "]," << d.iconIndex
      << " show=" << d.showCommand << " hotkey=" << d.hotKey;
}
}  // namespace formats

namespace {

using formats::DecodeShellLink;
using formats::EncodeShellLink;
using formats::ShellLinkData;

std::string FromHex(const char* hex) {
  std::string out;
  auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  for (const char* p = hex; p[0] && p[1]; p += 2)
    out += static_cast<char>(nibble(p[0]) * 16 + nibble(p[1]));
  return out;
}

std::string U16(std::uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
std::string U32(std::uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }
std::uint32_t Get32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) { b.replace(at, 4, U32(v)); }
void Put16(std::string& b, std::size_t at, std::uint32_t v) { b.replace(at, 2, U16(v)); }

std::string Wide(const std::string& utf8) {
  std::string out;
  for (char16_t c : base::Utf8ToUtf16(utf8)) out += U16(c);
  return out;
}
std::string WideZ(const std::string& utf8) { return Wide(utf8) + U16(0); }
// Windows-1251, '?' for what it lacks (as a writer in that code page leaves it).
std::string Cp1251(const std::string& utf8) {
  std::string out;
  for (char16_t c : base::Utf8ToUtf16(utf8)) {
    std::optional<std::string> b = base::Utf8ToCp1251(base::Utf16ToUtf8(std::u16string(1, c)));
    out += b ? *b : "?";
  }
  return out;
}

// Flags of the header.
constexpr std::uint32_t kIdList = 0x01, kLinkInfo = 0x02, kName = 0x04, kRelative = 0x08,
                        kWorkDir = 0x10, kArgs = 0x20, kIcon = 0x40, kUnicode = 0x80,
                        kForceNoLinkInfo = 0x100;

// Hand-made pieces of shortcut files, for the layouts other writers use.
std::string Header(std::uint32_t flags, std::int32_t iconIndex = 0, std::int32_t show = 1,
                   std::uint16_t hotKey = 0) {
  std::string h = U32(0x4C) + FromHex("0114020000000000c000000000000046") + U32(flags);
  h += std::string(0x38 - h.size(), '\0');
  h += U32(static_cast<std::uint32_t>(iconIndex)) + U32(static_cast<std::uint32_t>(show)) +
       U16(hotKey);
  return h + std::string(0x4C - h.size(), '\0');
}
std::string Item(unsigned char type, const std::string& body) {
  return U16(static_cast<std::uint32_t>(3 + body.size())) + std::string(1, static_cast<char>(type)) + body;
}
std::string IdList(const std::vector<std::string>& items) {
  std::string list;
  for (const std::string& i : items) list += i;
  list += U16(0);
  return U16(static_cast<std::uint32_t>(list.size())) + list;
}
const std::string kMyComputer = FromHex("e04fd020ea3a6910a2d808002b30309d");
const std::string kNetwork = FromHex("602c8d20ea3a6910a2d708002b30309d");
const std::string kControlPanel = FromHex("2020ec21ea3a6910a2dd08002b30309d");
std::string Root(const std::string& clsid) { return Item(0x1F, std::string(1, '\x50') + clsid); }
std::string Drive(const std::string& name) {
  std::string body = Cp1251(name);
  body.resize(22, '\0');
  return Item(0x2F, body);
}
// A file entry: the fixed part, the short name, then the long name in the
// extension block of the given version (0: none).
std::string FileEntry(unsigned char type, const std::string& shortName, int version,
                      const std::string& longName, bool padded = true,
                      const std::string& between = "") {
  std::string body(11, '\0');  // unknown, size, date and time, attributes
  body += (type & 0x04) ? WideZ(shortName) : Cp1251(shortName) + '\0';
  if (padded && (3 + body.size()) % 2) body += '\0';
  body += between;
  if (version > 0) {
    const std::size_t blockAt = 3 + body.size();
    const std::size_t nameAt = version >= 9 ? 46 : version == 8 ? 42 : version == 7 ? 38 : 20;
    std::string block = U16(0) + U16(static_cast<std::uint32_t>(version)) + U32(0xBEEF0004);
    block += std::string(8, '\x11');                        // dates
    block += U16(static_cast<std::uint32_t>(nameAt));       // where the long name is
    block += std::string(nameAt - block.size(), '\x22');  // file reference and the rest
    block += WideZ(longName);
    block += U16(static_cast<std::uint32_t>(blockAt));
    Put16(block, 0, static_cast<std::uint32_t>(block.size()));
    body += block;
  }
  return Item(type, body);
}
std::string NetItem(unsigned char type, const std::string& location) {
  return Item(type, std::string("\x01\x80", 2) + location + '\0' + "description" + '\0');
}
// Link information for a local path, ANSI only.
std::string LocalInfo(const std::string& ansiPath, const std::string& ansiSuffix = "") {
  std::string volume = U32(0x11) + U32(3) + U32(0x1234) + U32(0x10) + '\0';
  std::string info = U32(0) + U32(0x1C) + U32(1) + U32(0x1C) +
                     U32(static_cast<std::uint32_t>(0x1C + volume.size())) + U32(0) +
                     U32(static_cast<std::uint32_t>(0x1C + volume.size() + ansiPath.size() + 1));
  info += volume + ansiPath + '\0' + ansiSuffix + '\0';
  Put32(info, 0, static_cast<std::uint32_t>(info.size()));
  return info;
}
// Link information for a path on a share, as the system records one: the
// share's name (in UTF-16 too when wide) and the path below it.
std::string ShareInfo(const std::string& share, const std::string& suffix, bool wide) {
  std::string net = U32(0) + U32(2) + U32(wide ? 0x1C : 0x14) + U32(0) + U32(0x20000);
  if (wide) net += U32(0) + U32(0);
  net += Cp1251(share) + '\0';
  if (wide) {
    if (net.size() % 2) net += '\0';
    Put32(net, 0x14, static_cast<std::uint32_t>(net.size()));
    net += WideZ(share);
  }
  Put32(net, 0, static_cast<std::uint32_t>(net.size()));
  const std::uint32_t headerSize = wide ? 0x24 : 0x1C;
  std::string info = U32(0) + U32(headerSize) + U32(2) + U32(0) + U32(0) + U32(headerSize) + U32(0);
  if (wide) info += U32(0) + U32(0);
  info += net;
  Put32(info, 24, static_cast<std::uint32_t>(info.size()));
  info += Cp1251(suffix) + '\0';
  if (wide) {
    if (info.size() % 2) info += '\0';
    Put32(info, 0x20, static_cast<std::uint32_t>(info.size()));
    info += WideZ(suffix);
  }
  Put32(info, 0, static_cast<std::uint32_t>(info.size()));
  return info;
}
std::string Counted(const std::string& utf8) {
  return U16(static_cast<std::uint32_t>(base::Utf8ToUtf16(utf8).size())) + Wide(utf8);
}
std::string CountedAnsi(const std::string& utf8) {
  std::string b = Cp1251(utf8);
  return U16(static_cast<std::uint32_t>(b.size())) + b;
}
const std::string kTerminal = U32(0);

// Saved by this Wine's shell-link object: SetPath C:\windows\notepad.exe,
// arguments "/a b", working folder C:\windows\, description "Описание", icon
// shell32.dll,5, show command 7, hot key 0x0641. Item-id list and link
// information both, string lengths counting a terminating zero.
const char* const kWineNotepad =
    "4c0000000114020000000000c000000000000046f7000000000000000000000000000000000000000000000000000000"
    "00000000000000000500000007000000410600000000000000000000b30014001f00e04fd020ea3a6910a2d808002b30"
    "309d190023433a5c000000000000000000000000000000000000003c003100000000008b5d518c100077696e646f7773"
    "0026000000000000008b5d518c8b5d518c00000000770069006e0064006f007700730000001600480032000000000000"
    "00000000006e6f74657061642e657865002e000000000000000000000000000000000000006e006f0074006500700061"
    "0064002e0065007800650000001a000000450000001c000000010000001c0000002d0000000000000044000000110000"
    "0003000000000000431000000000433a5c77696e646f77735c6e6f74657061642e657865000009001e043f0438044104"
    "30043d043804350400000c0043003a005c00770069006e0064006f00770073005c00000005002f006100200062000000"
    "200043003a005c00770069006e0064006f00770073005c00730079007300740065006d00330032005c00730068006500"
    "6c006c00330032002e0064006c006c00000000000000";

// The same object with a Cyrillic target in a code page without Cyrillic:
// its link information holds "C:\?????\..." and only the item-id list has
// the real names.
const char* const kWineCyrillic =
    "4c0000000114020000000000c000000000000046d7000000000000000000000000000000000000000000000000000000"
    "00000000000000000500000003000000410600000000000000000000d70014001f00e04fd020ea3a6910a2d808002b30"
    "309d190023433a5c0000000000000000000000000000000000000036003100000000008b5d768c10003f3f3f3f3f0022"
    "000000000000008b5d768c8b5d768c000000001f0440043e04310430040000140072003200000000000000000000003f"
    "3f3f3f3f3f3f3f3f203f3f3f3f3f3f3f203f3f3f2e657865004a000000000000000000000000000000000000001f0440"
    "043e043304400430043c043c043004200034043b0438043d043d043e043504200038043c044f042e0065007800650000"
    "0028000000510000001c000000010000001c0000002d0000000000000050000000110000000300000000000043100000"
    "0000433a5c3f3f3f3f3f5c3f3f3f3f3f3f3f3f3f203f3f3f3f3f3f3f203f3f3f2e657865000009001e043f0438044104"
    "30043d043804350400000c0043003a005c00770069006e0064006f00770073005c000000200043003a005c0077006900"
    "6e0064006f00770073005c00730079007300740065006d00330032005c007300680065006c006c00330032002e006400"
    "6c006c00000000000000";

ShellLinkData FullLink() {
  ShellLinkData d;
  d.target = "C:\\Program Files\\Редактор\\edit.exe";
  d.workingDirectory = "C:\\Program Files\\Редактор\\";
  d.arguments = "/n \"Мой файл.txt\"";
  d.description = "Редактор текстов";
  d.iconLocation = "C:\\Windows\\system32\\shell32.dll";
  d.iconIndex = 12;
  d.showCommand = formats::kShowMaximized;
  d.hotKey = 0x0645;
  return d;
}

// ---- Writing and reading back ----------------------------------------------

TEST(ShellLinkRoundTrip, FieldsReadBackAndOnlyPresentOnesAreFlagged) {
  ShellLinkData plain;
  plain.target = "C:\\Windows\\notepad.exe";
  ShellLinkData empty;
  ShellLinkData noTarget = FullLink();
  noTarget.target.clear();
  ShellLinkData longOnes = FullLink();
  longOnes.arguments = std::string(65535, 'a');               // the most a count can hold
  longOnes.description.clear();
  for (int i = 0; i < 65535; ++i) longOnes.description += "ж";
  longOnes.target = "C:\\" + std::string(5000, 'x') + "\\y.exe";  // link information has no such limit
  ShellLinkData share = FullLink();
  share.target = "\\\\server\\share\\tools\\app.exe";
  ShellLinkData cyrillicShare = FullLink();
  cyrillicShare.target = "\\\\сервер\\общие\\программа.exe";
  ShellLinkData beyond1251 = FullLink();
  beyond1251.target = "D:\\日本語\\Café ünïcode.exe";
  beyond1251.description = "emoji \xF0\x9F\x98\x80 and ß";
  ShellLinkData relative = FullLink();
  relative.target = "tools\\app.exe";
  ShellLinkData negatives = plain;
  negatives.iconIndex = -207;
  negatives.showCommand = -1;
  negatives.hotKey = 0xFFFF;
  ShellLinkData lowerDrive = plain;
  lowerDrive.target = "c:/forward/slashes.exe";

  struct Case {
    const char* name;
    ShellLinkData data;
    std::uint32_t flags;
  } cases[] = {
      {"plain target", plain, kLinkInfo | kUnicode},
      {"all fields, Cyrillic", FullLink(), kLinkInfo | kName | kWorkDir | kArgs | kIcon | kUnicode},
      {"nothing at all", empty, kUnicode},
      {"no target", noTarget, kName | kWorkDir | kArgs | kIcon | kUnicode},
      {"longest strings", longOnes, kLinkInfo | kName | kWorkDir | kArgs | kIcon | kUnicode},
      {"path on a share", share, kLinkInfo | kName | kWorkDir | kArgs | kIcon | kUnicode},
      {"Cyrillic share", cyrillicShare, kLinkInfo | kName | kWorkDir | kArgs | kIcon | kUnicode},
      {"beyond Windows-1251", beyond1251, kLinkInfo | kName | kWorkDir | kArgs | kIcon | kUnicode},
      {"relative target", relative, kRelative | kName | kWorkDir | kArgs | kIcon | kUnicode},
      {"negative and extreme numbers", negatives, kLinkInfo | kUnicode},
      {"lower-case drive, forward slashes", lowerDrive, kLinkInfo | kUnicode},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::string> bytes = EncodeShellLink(c.data);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(Get32(*bytes, 0x14), c.flags);
    EXPECT_EQ(bytes->substr(bytes->size() - 4), kTerminal);
    bool ok = false;
    ShellLinkData back = DecodeShellLink(*bytes, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(back, c.data);
  }
}

// The link information's ANSI path is what older readers (and this Wine) go
// by: Windows-1251, '?' where it has no character, and the UTF-16 copy only
// when ASCII would not do.
TEST(ShellLinkRoundTrip, LinkInformationHoldsTheAnsiPath) {
  struct Case {
    const char* target;
    std::string ansi;
    bool unicodeCopy;
  } cases[] = {
      {"C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe", false},
      {"C:\\Игры\\игра.exe", Cp1251("C:\\Игры\\игра.exe"), true},
      {"D:\\日本\\é.exe", "D:\\??\\?.exe", true},
      {"\\\\srv\\share\\a.exe", "\\\\srv\\share\\a.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    ShellLinkData d;
    d.target = c.target;
    std::string bytes = *EncodeShellLink(d);
    const std::size_t info = 0x4C;
    const std::uint32_t headerSize = Get32(bytes, info + 4);
    EXPECT_EQ(headerSize, c.unicodeCopy ? 0x24u : 0x1Cu);
    const std::size_t local = info + Get32(bytes, info + 16);
    EXPECT_EQ(bytes.substr(local, c.ansi.size() + 1), c.ansi + '\0');
  }
}

TEST(ShellLinkRoundTrip, WindowStates) {
  struct Case {
    formats::RunAs runAs;
    std::int32_t stored;
  } cases[] = {{formats::raNormal, 1}, {formats::raMinimized, 7}, {formats::raMaximized, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(formats::ShowCommandOf(c.runAs), c.stored);
    ShellLinkData d;
    d.target = "C:\\a.exe";
    d.showCommand = formats::ShowCommandOf(c.runAs);
    std::string bytes = *EncodeShellLink(d);
    EXPECT_EQ(Get32(bytes, 0x3C), static_cast<std::uint32_t>(c.stored));
    EXPECT_EQ(formats::RunAsOf(DecodeShellLink(bytes).showCommand), c.runAs);
  }
}

TEST(ShellLinkRoundTrip, StoredShowCommandsAsWindowStates) {
  struct Case {
    std::int32_t stored;
    formats::RunAs runAs;
  } cases[] = {{0, formats::raNormal},     {1, formats::raNormal},     {2, formats::raMinimized},
               {3, formats::raMaximized},  {4, formats::raNormal},     {5, formats::raNormal},
               {6, formats::raMinimized},  {7, formats::raMinimized},  {8, formats::raNormal},
               {9, formats::raNormal},     {10, formats::raNormal},    {11, formats::raNormal},
               {-1, formats::raNormal},    {0x103, formats::raNormal}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(formats::RunAsOf(c.stored), c.runAs);
  }
}

TEST(ShellLinkRoundTrip, RefusesWhatWouldNotReadBack) {
  struct Case {
    const char* name;
    ShellLinkData data;
  };
  std::vector<Case> cases;
  auto with = [](const char* name, std::string ShellLinkData::*field, std::string value) {
    ShellLinkData d = FullLink();
    d.*field = std::move(value);
    return Case{name, d};
  };
  using namespace std::string_literals;
  cases.push_back(with("zero in the arguments", &ShellLinkData::arguments, "a\0b"s));
  cases.push_back(with("zero in the target", &ShellLinkData::target, "C:\\a\0.exe"s));
  cases.push_back(with("zero in a relative target", &ShellLinkData::target, "a\0b"s));
  cases.push_back(with("bad UTF-8 in the description", &ShellLinkData::description, "\xFF"));
  cases.push_back(with("bad UTF-8 in the target", &ShellLinkData::target, "C:\\\xC3"));
  cases.push_back(with("overlong UTF-8", &ShellLinkData::workingDirectory, "C:\\\xC0\xAF"));
  cases.push_back(with("surrogate in UTF-8", &ShellLinkData::iconLocation, "\xED\xA0\x80"));
  cases.push_back(with("arguments over 65535 units", &ShellLinkData::arguments, std::string(65536, 'a')));
  cases.push_back(with("relative target over 65535 units", &ShellLinkData::target, std::string(65536, 'a')));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(EncodeShellLink(c.data));
  }
}

// ---- Files of other writers -------------------------------------------------

// What we read from another writer's file, we can write and read again.
void ExpectWritesBack(const ShellLinkData& d) {
  std::optional<std::string> bytes = EncodeShellLink(d);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(DecodeShellLink(*bytes), d);
}

TEST(ShellLinkDecode, FilesOfTheSystemsShellLinkObject) {
  ShellLinkData notepad;
  notepad.target = "C:\\windows\\notepad.exe";
  notepad.arguments = "/a b";
  notepad.workingDirectory = "C:\\windows\\";
  notepad.description = "Описание";
  notepad.iconLocation = "C:\\windows\\system32\\shell32.dll";
  notepad.iconIndex = 5;
  notepad.showCommand = 7;
  notepad.hotKey = 0x0641;
  ShellLinkData cyrillic = notepad;
  cyrillic.target = "C:\\Проба\\Программа длинное имя.exe";
  cyrillic.arguments.clear();
  cyrillic.showCommand = 3;
  struct Case {
    const char* name;
    const char* hex;
    ShellLinkData expected;
  } cases[] = {{"notepad", kWineNotepad, notepad}, {"Cyrillic names", kWineCyrillic, cyrillic}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    ShellLinkData d = DecodeShellLink(FromHex(c.hex), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(d, c.expected);
    ExpectWritesBack(d);
  }
}

// Where the target comes from, for the layouts the system's writers use.
TEST(ShellLinkDecode, TargetSources) {
  const std::string strings = Counted("args");
  const std::string items = IdList({Root(kMyComputer), Drive("C:\\"),
                                    FileEntry(0x31, "PROGRA~1", 9, "Program Files"),
                                    FileEntry(0x31, "6F5B~1", 8, "Редактор"),
                                    FileEntry(0x32, "EDIT.EXE", 9, "edit.exe")});
  struct Case {
    const char* name;
    std::string bytes;
    std::string target;
  } cases[] = {
      {"item-id list only, long names of three versions",
       Header(kIdList | kArgs | kUnicode) + items + strings + kTerminal,
       "C:\\Program Files\\Редактор\\edit.exe"},
      {"XP item ids",
       Header(kIdList | kUnicode) +
           IdList({Root(kMyComputer), Drive("D:\\"), FileEntry(0x31, "DOKUME~1", 3, "Документы"),
                   FileEntry(0x32, "A.TXT", 7, "a.txt")}) + kTerminal,
       "D:\\Документы\\a.txt"},
      {"extension block right after an odd-length name",
       Header(kIdList | kUnicode) +
           IdList({Root(kMyComputer), Drive("C:\\"),
                   FileEntry(0x31, "GAME", 9, "Игры и забавы", false),
                   FileEntry(0x32, "PLAY~1.EXE", 3, "play it.exe", false)}) + kTerminal,
       "C:\\Игры и забавы\\play it.exe"},
      {"other data between the name and the extension block",
       Header(kIdList | kUnicode) +
           IdList({Root(kMyComputer), Drive("C:\\"),
                   FileEntry(0x32, "LETTER~1.DOC", 8, "Letter to mother.doc", true,
                             std::string("Letter to mother.doc\0\0", 22))}) + kTerminal,
       "C:\\Letter to mother.doc"},
      {"drive name beyond ASCII",
       Header(kIdList | kUnicode) +
           IdList({Root(kMyComputer), Drive("Ж:\\"), FileEntry(0x32, "A.EXE", 9, "a.exe")}) +
           kTerminal,
       "Ж:\\a.exe"},
      {"short names only",
       Header(kIdList | kUnicode) +
           IdList({Root(kMyComputer), Drive("C:\\"), FileEntry(0x31, "ИГРЫ", 0, ""),
                   FileEntry(0x32, "GAME.EXE", 0, "")}) + kTerminal,
       "C:\\ИГРЫ\\GAME.EXE"},
      {"UTF-16 primary names",
       Header(kIdList | kUnicode) +
           IdList({Root(kMyComputer), Drive("C:\\"), FileEntry(0x35, "Ελληνικά", 0, ""),
                   FileEntry(0x36, "файл.exe", 0, "")}) + kTerminal,
       "C:\\Ελληνικά\\файл.exe"},
      {"network share items",
       Header(kIdList | kUnicode) +
           IdList({Root(kNetwork), NetItem(0x47, "Entire Network"),
                   NetItem(0x46, "Microsoft Windows Network"), NetItem(0x41, "WORKGROUP"),
                   NetItem(0x42, "\\\\SERVER"), NetItem(0xC3, "\\\\SERVER\\Share"),
                   FileEntry(0x32, "TOOL~1.EXE", 9, "tool app.exe")}) + kTerminal,
       "\\\\SERVER\\Share\\tool app.exe"},
      {"link information wins over the item-id list",
       Header(kIdList | kLinkInfo | kUnicode) + items + LocalInfo("E:\\moved\\edit.exe") + kTerminal,
       "E:\\moved\\edit.exe"},
      {"common path suffix",
       Header(kLinkInfo | kUnicode) + LocalInfo("C:\\base", "sub\\x.exe") + kTerminal,
       "C:\\base\\sub\\x.exe"},
      {"ANSI link information in Windows-1251",
       Header(kLinkInfo | kUnicode) + LocalInfo(Cp1251("C:\\Игры\\игра.exe")) + kTerminal,
       "C:\\Игры\\игра.exe"},
      {"'?' in ANSI link information, real names in the item-id list",
       Header(kIdList | kLinkInfo | kUnicode) + items +
           LocalInfo("C:\\Program Files\\????????\\edit.exe") + kTerminal,
       "C:\\Program Files\\Редактор\\edit.exe"},
      {"best-fit letters in ANSI link information",
       Header(kIdList | kLinkInfo | kUnicode) +
           IdList({Root(kMyComputer), Drive("C:\\"), FileEntry(0x31, "CAFE~1", 9, "Café"),
                   FileEntry(0x32, "NAIVE~1.EXE", 9, "naïve.exe")}) +
           LocalInfo("C:\\Cafe\\naive.exe") + kTerminal,
       "C:\\Café\\naïve.exe"},
      {"'?' in ANSI link information, another item in the item-id list",
       Header(kIdList | kLinkInfo | kUnicode) + items + LocalInfo("C:\\Other\\????\\edit.exe") +
           kTerminal,
       "C:\\Other\\????\\edit.exe"},
      {"link information ignored by flag",
       Header(kIdList | kLinkInfo | kForceNoLinkInfo | kUnicode) + items +
           LocalInfo("E:\\moved\\edit.exe") + kTerminal,
       "C:\\Program Files\\Редактор\\edit.exe"},
      {"share in link information", Header(kLinkInfo | kUnicode) +
                                        ShareInfo("\\\\srv\\tools", "bin\\a.exe", false) + kTerminal,
       "\\\\srv\\tools\\bin\\a.exe"},
      {"share in link information, UTF-16",
       Header(kLinkInfo | kUnicode) + ShareInfo("\\\\сервер\\общие", "папка\\ü.exe", true) +
           kTerminal,
       "\\\\сервер\\общие\\папка\\ü.exe"},
      {"share root", Header(kLinkInfo | kUnicode) + ShareInfo("\\\\srv\\tools", "", false) + kTerminal,
       "\\\\srv\\tools"},
      {"control panel item: no path", Header(kIdList | kUnicode) +
                                          IdList({Root(kControlPanel), Item(0x71, std::string(20, 'x'))}) +
                                          kTerminal,
       ""},
      {"no file-system path, relative path instead",
       Header(kIdList | kRelative | kUnicode) + IdList({Root(kControlPanel)}) +
           Counted("..\\tools\\a.exe") + kTerminal,
       "..\\tools\\a.exe"},
      {"file entry of unknown layout gives no path",
       Header(kIdList | kUnicode) +
           IdList({Root(kMyComputer), Drive("C:\\"), Item(0x32, "\x01\x02")}) + kTerminal,
       ""},
      {"empty items only",
       Header(kIdList | kUnicode) + IdList(std::vector<std::string>(1000, U16(2))) + kTerminal, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    ShellLinkData d = DecodeShellLink(c.bytes, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(d.target, c.target);
    ExpectWritesBack(d);
  }
}

TEST(ShellLinkDecode, StringData) {
  using namespace std::string_literals;
  const std::string info = LocalInfo("C:\\a.exe");
  struct Case {
    const char* name;
    std::string bytes;
    ShellLinkData expected;
  };
  ShellLinkData all;
  all.target = "C:\\a.exe";
  all.description = "Описание";
  all.workingDirectory = "C:\\Папка\\";
  all.arguments = "-x «ё»";
  all.iconLocation = "C:\\i.ico";
  all.iconIndex = -5;
  all.showCommand = 7;
  all.hotKey = 0x0341;
  ShellLinkData cut = all;
  cut.arguments = "-x";
  const std::uint32_t fields = kLinkInfo | kName | kWorkDir | kArgs | kIcon;
  Case cases[] = {
      {"UTF-16", Header(fields | kUnicode, -5, 7, 0x0341) + info + Counted(all.description) +
                     Counted(all.workingDirectory) + Counted(all.arguments) +
                     Counted(all.iconLocation) + kTerminal,
       all},
      {"ANSI in Windows-1251", Header(fields, -5, 7, 0x0341) + info + CountedAnsi(all.description) +
                                   CountedAnsi(all.workingDirectory) + CountedAnsi(all.arguments) +
                                   CountedAnsi(all.iconLocation) + kTerminal,
       all},
      {"counts with a terminating zero",
       Header(fields | kUnicode, -5, 7, 0x0341) + info + Counted(all.description + "\0"s) +
           Counted(all.workingDirectory + "\0"s) + Counted(all.arguments + "\0"s) +
           Counted(all.iconLocation + "\0"s) + kTerminal,
       all},
      {"ANSI counts with a terminating zero",
       Header(fields, -5, 7, 0x0341) + info + CountedAnsi(all.description + "\0"s) +
           CountedAnsi(all.workingDirectory + "\0"s) + CountedAnsi(all.arguments + "\0"s) +
           CountedAnsi(all.iconLocation + "\0"s) + kTerminal,
       all},
      {"text after a zero is not part of the field",
       Header(fields | kUnicode, -5, 7, 0x0341) + info + Counted(all.description) +
           Counted(all.workingDirectory) + Counted("-x\0junk"s) + Counted(all.iconLocation) +
           kTerminal,
       cut},
      {"extra data blocks before the terminal block",
       Header(fields | kUnicode, -5, 7, 0x0341) + info + Counted(all.description) +
           Counted(all.workingDirectory) + Counted(all.arguments) + Counted(all.iconLocation) +
           U32(0x10) + U32(0xA0000003) + std::string(8, 'x') + U32(0x0C) + U32(0xA0000009) +
           U32(7) + kTerminal,
       all},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    ShellLinkData d = DecodeShellLink(c.bytes, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(d, c.expected);
    ExpectWritesBack(d);
  }
}

// ---- Malformed files --------------------------------------------------------

void ExpectMalformed(const std::string& bytes) {
  bool ok = true;
  ShellLinkData d = DecodeShellLink(bytes, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(d, ShellLinkData{});
}

TEST(ShellLinkMalformed, EveryTruncation) {
  ShellLinkData share = FullLink();
  share.target = "\\\\сервер\\общие\\программа.exe";
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"ours", *EncodeShellLink(FullLink())},
      {"ours, share", *EncodeShellLink(share)},
      {"system's", FromHex(kWineNotepad)},
      {"system's, Cyrillic", FromHex(kWineCyrillic)},
      {"share information",
       Header(kLinkInfo | kUnicode) + ShareInfo("\\\\сервер\\общие", "п\\ü.exe", true) + kTerminal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    DecodeShellLink(c.bytes, &ok);
    ASSERT_TRUE(ok);
    for (std::size_t n = 0; n < c.bytes.size(); ++n) {
      SCOPED_TRACE(n);
      ExpectMalformed(c.bytes.substr(0, n));
    }
  }
}

TEST(ShellLinkMalformed, CorruptedFields) {
  // Our layout: header, link information at 0x4C (volume id at +0x1C, ANSI
  // path after it), then the counted strings.
  const std::string good = *EncodeShellLink(FullLink());
  const std::size_t info = 0x4C;
  const std::uint32_t infoSize = Get32(good, info);
  const std::size_t strings = info + infoSize;
  const std::string wine = FromHex(kWineNotepad);
  const std::size_t wineItems = 0x4E;  // first item id of the system's file

  struct Case {
    const char* name;
    std::string base;
    std::size_t at;
    std::uint32_t value;
    int width;
  } cases[] = {
      {"header size one short", good, 0, 0x4B, 4},
      {"header size one over", good, 0, 0x4D, 4},
      {"header size huge", good, 0, 0xFFFFFFFF, 4},
      {"class id", good, 4, 0x15, 2},
      {"link information size past the end", good, info, 0x7FFFFFFF, 4},
      {"link information size wraps", good, info, 0xFFFFFFFF, 4},
      {"link information size below its header", good, info, 0x1B, 4},
      {"link information header size unknown", good, info + 4, 0x20, 4},
      {"link information header size beyond it", good, info + 4, infoSize + 4, 4},
      {"volume id offset past the end", good, info + 12, 0x7FFFFFFF, 4},
      {"volume id offset inside the header", good, info + 12, 8, 4},
      {"volume id size past the end", good, info + 0x24, 0xFFFFFF00, 4},
      {"volume id size too small", good, info + 0x24, 0x0F, 4},
      {"local path offset past the end", good, info + 16, infoSize, 4},
      {"local path offset wraps", good, info + 16, 0xFFFFFFFF, 4},
      {"unicode path offset past the end", good, info + 0x1C, infoSize + 2, 4},
      {"unicode path offset inside the header", good, info + 0x1C, 2, 4},
      {"suffix offset past the end", good, info + 24, infoSize + 100, 4},
      {"huge string count", good, strings, 0xFFFF, 2},
      {"item-id list size past the end", wine, 0x4C, 0xFFFF, 2},
      {"item size past the list", wine, wineItems, 0xFF00, 2},
      {"item size of one", wine, wineItems, 1, 2},
      {"item list without terminal", wine, 0x4C, 0xB1, 2},
      {"extra block size below its header", good, good.size() - 4, 5, 4},
      {"extra block size past the end", good, good.size() - 4, 0x100, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = c.base;
    if (c.width == 4) Put32(bytes, c.at, c.value);
    else Put16(bytes, c.at, c.value);
    ExpectMalformed(bytes);
  }
}

TEST(ShellLinkMalformed, InconsistentStructures) {
  const std::string items = IdList({Root(kMyComputer), Drive("C:\\")});
  std::string netNameUnterminated = ShareInfo("\\\\srv\\x", "a", false);
  netNameUnterminated[0x1C + 0x14 + 7] = 'z';  // the zero after the share's name
  std::string suffixUnterminated = LocalInfo("C:\\a.exe");
  suffixUnterminated.pop_back();
  Put32(suffixUnterminated, 0, static_cast<std::uint32_t>(suffixUnterminated.size()));
  std::string netSizeBad = ShareInfo("\\\\srv\\x", "a", false);
  Put32(netSizeBad, 0x1C, 0x10000);
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty file", ""},
      {"header only, no terminal block", Header(kUnicode)},
      {"one stray byte after the strings", Header(kUnicode) + "\x01"},
      {"network name without its zero", Header(kLinkInfo) + netNameUnterminated + kTerminal},
      {"network link size past its part", Header(kLinkInfo) + netSizeBad + kTerminal},
      {"suffix without its zero", Header(kLinkInfo) + suffixUnterminated + kTerminal},
      {"item-id list size beyond the file",
       Header(kIdList) + U16(static_cast<std::uint32_t>(items.size())) + items.substr(2) + kTerminal},
      {"counted string past the end", Header(kName | kUnicode) + U16(10) + "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectMalformed(c.bytes);
  }
}

// The reader does work in proportion to the file, whatever the counts say.
TEST(ShellLinkMalformed, LargeCountsCostNothing) {
  std::string manyItems = Header(kIdList) + IdList(std::vector<std::string>(32000, U16(2))) + kTerminal;
  std::string bigCount = Header(kName | kArgs | kUnicode) + U16(0xFFFF) + std::string(100, 'a');
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) {
    bool ok = false;
    DecodeShellLink(manyItems, &ok);
    EXPECT_TRUE(ok);
    ExpectMalformed(bigCount);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
