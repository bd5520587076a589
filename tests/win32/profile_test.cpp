// Our settings-file codec against the system's own profile functions: the
// same bytes go into a file, the system reads or writes it, and the results
// must agree with IniRead / IniWrite.
//
// The system caches profile files by name, so every case gets a file name of
// its own. Files without a byte-order mark go through the A functions (their
// bytes survive the round trip through any single-byte code page); marked
// files go through the W functions and are compared as Windows-1251.
//
// Not here: a UTF-16 file of odd length. This Wine reads the last byte with
// whatever follows it in memory as one more character, so its results vary.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/win32/handles.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "formats/ini_file.h"

namespace {

using namespace std::string_literals;

constexpr UINT kCp1251 = 1251;


std::string Show(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out + "\"";
}

std::string Show(const std::optional<std::string>& bytes) {
  return bytes ? Show(*bytes) : "refused";
}

std::wstring Widen(const std::string& s, UINT codePage) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
  return out;
}

// No best fit: a character Windows-1251 lacks becomes '?', as in our codec.
std::string Narrow(const std::wstring& s, UINT codePage) {
  if (s.empty()) return {};
  DWORD flags = codePage == CP_ACP ? 0 : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(codePage, flags, s.data(), static_cast<int>(s.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(codePage, flags, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr,
                      nullptr);
  return out;
}

bool HasMark(const std::string& bytes) {
  return bytes.rfind("\xEF\xBB\xBF", 0) == 0 || bytes.rfind("\xFF\xFE", 0) == 0 ||
         bytes.rfind("\xFE\xFF", 0) == 0;
}

// Windows-1251 text as a UTF-16 file with its mark.
std::string Utf16File(const std::string& cp1251, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t u : Widen(cp1251, kCp1251)) {
    char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

class ProfileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    ASSERT_GT(n, 0u);
    dir_ = std::wstring(temp, n) + L"stavlo-profile-" + std::to_wstring(GetCurrentProcessId()) +
           L"\\";
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    std::printf("[ profile  ] code page %u, files in %ls\n", GetACP(), dir_.c_str());
  }

  static void TearDownTestSuite() {
    for (const std::wstring& f : files_) DeleteFileW(f.c_str());
    files_.clear();
    RemoveDirectoryW(dir_.c_str());
  }

  // A name the system's cache has never seen.
  static std::wstring FreshPath() {
    std::wstring path = dir_ + L"case" + std::to_wstring(++counter_) + L".ini";
    files_.push_back(path);
    return path;
  }

  static std::wstring FileWith(const std::string& bytes) {
    std::wstring path = FreshPath();
    win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_NE(file.Get(), INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                          nullptr));
    EXPECT_EQ(written, bytes.size());
    return path;
  }

  static std::string Contents(const std::wstring& path) {
    win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return "<no file>";
    std::string out;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) out.append(chunk, got);
    return out;
  }

  // The A functions take the file name in the code page; our temp folder is
  // plain ASCII under Wine, and a name that does not convert fails loudly.
  static std::string AnsiPath(const std::wstring& path) {
    std::string narrow = Narrow(path, CP_ACP);
    EXPECT_EQ(Widen(narrow, CP_ACP), path) << "temp path has no ANSI form";
    return narrow;
  }

  static std::string SystemReadA(const std::wstring& path, const std::string& section,
                                 const std::string& key, const std::string& def,
                                 std::size_t size) {
    std::string buffer(size + 1, '\x7F');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), &buffer[0],
                                       static_cast<DWORD>(size), AnsiPath(path).c_str());
    return buffer.substr(0, n);
  }

  static std::wstring SystemReadW(const std::wstring& path, const std::wstring& section,
                                  const std::wstring& key, const std::wstring& def,
                                  std::size_t size) {
    std::wstring buffer(size + 1, L'\x7F');
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), &buffer[0],
                                       static_cast<DWORD>(size), path.c_str());
    return buffer.substr(0, n);
  }

  // What the system's reader makes of section/key in the file at path, in
  // Windows-1251: the A function for plain files, W for marked ones.
  static std::string SystemRead(const std::wstring& path, bool marked, const std::string& section,
                                const std::string& key, const std::string& def = "",
                                std::size_t size = formats::kIniBufferSize) {
    if (!marked) return SystemReadA(path, section, key, def, size);
    return Narrow(SystemReadW(path, Widen(section, kCp1251), Widen(key, kCp1251),
                              Widen(def, kCp1251), size),
                  kCp1251);
  }

  static BOOL SystemWrite(const std::wstring& path, bool marked, const std::string& section,
                          const std::string& key, const std::string& value) {
    if (!marked)
      return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        AnsiPath(path).c_str());
    return WritePrivateProfileStringW(Widen(section, kCp1251).c_str(), Widen(key, kCp1251).c_str(),
                                      Widen(value, kCp1251).c_str(), path.c_str());
  }

  // The file as the system lays it out when it rewrites it (this Wine
  // rewrites the whole file on every change): add a section and take it
  // away again.
  static std::string SystemLayout(const std::string& bytes) {
    std::wstring path = FileWith(bytes);
    WritePrivateProfileStringW(L"stavlo-layout", L"x", L"1", path.c_str());
    WritePrivateProfileStringW(L"stavlo-layout", nullptr, nullptr, path.c_str());
    return Contents(path);
  }

  static std::wstring dir_;
  static std::vector<std::wstring> files_;
  static int counter_;
};

std::wstring ProfileTest::dir_;
std::vector<std::wstring> ProfileTest::files_;
int ProfileTest::counter_ = 0;

struct Query {
  std::string section, key, def;
  std::size_t size = formats::kIniBufferSize;
};

struct ReadRow {
  const char* what;
  std::string file;
  std::vector<Query> queries;
  // How real Windows is known or suspected to differ from this Wine; the
  // codec follows what runs here.
  const char* windows = "";
};

std::string Long(char c, std::size_t n) { return std::string(n, c); }

std::vector<ReadRow> ReadRows() {
  const std::string quotes =
      "[S]\r\nq1=\"abc\"\r\nq2='abc'\r\nq3=\"abc\r\nq4=abc\"\r\nq5=\"\r\nq6=\"\"\r\n"
      "q7=\"a'\r\nq8= \" x \" \r\nq9=\"\"x\"\"\r\n";
  const std::string lines =
      "[S]\r\nnoeq\r\nnoeq=after\r\n;c=comment\r\n=empty\r\nk=a=b=c\r\n"
      "tab\t=\tv\tt\t\r\nsp = v  w \r\n";
  const std::string headers =
      "[S\r\na=1\r\n[T] junk\r\nb=2\r\n[ U ]\r\nc=3\r\n[V]x]\r\nd=4\r\n[]\r\ne=5\r\n[W\r\n"
      "[X \0]\r\nf=6\r\n[Y\0 ]\r\ng=7\r\n"s;
  const std::string nul = "[S]\r\nc=x\0y\r\nd\0e=3\r\n\0g=5\r\nk  \0 =8\r\n[T\0]\r\nh=6\r\n"s;
  const std::string breaks = "[S]\ra=1\rb=2\r\nc=3\nd=4\n\re=5\r\r\n\n[T]\nf=6";
  const std::string blanks =
      "[S]\r\nvt=\x0Bv\x0B\r\nff=\x0Cv\x0C\r\nsub=\x1Av\x1A\r\nnbsp=\xA0v\xA0\r\nfs=\x1Cv\x1C\r\n"
      "\x1Aname\x0B=1\r\n";
  const std::string cyrillic = "[S]\r\na=\xC6\xE8\xE2\xEE\xE9 \xB8\x98\r\n";
  const std::string longValues = "[S]\r\nlong=" + Long('x', 3000) + "\r\nfits=" +
                                 Long('y', 2047) + "\r\nquotedfits=\"" + Long('z', 2047) +
                                 "\"\r\nquoted2046=\"" + Long('w', 2046) + "\"\r\n" +
                                 "short=abcdef\r\nquoted=\"abcdef\"\r\n";
  std::vector<Query> small;
  for (std::size_t size = 0; size <= 8; ++size) {
    small.push_back({"S", "short", "d", size});
    small.push_back({"S", "quoted", "d", size});
    small.push_back({"S", "none", "\"abcdef\"", size});
  }

  return {
      {"the first of two sections of a name is the only one searched",
       "[S]\r\nk=v1\r\n[T]\r\nx=1\r\n[s]\r\nk=v2\r\nj=only2\r\n",
       {{"S", "k", "d"}, {"S", "j", "d"}, {"s", "j", "d"}, {"t", "X", "d"}}},
      {"names and values lose their blanks; keys before any section",
       "k0=before\r\n[S]\r\n  k  =  v  \r\n",
       {{"", "k0", "d"}, {"S", "k", "d"}, {" S ", " k ", "d"}, {"\tS", "k\t", "d"}}},
      {"one pair of matching quotes comes off",
       quotes,
       {{"S", "q1", "d"}, {"S", "q2", "d"}, {"S", "q3", "d"}, {"S", "q4", "d"}, {"S", "q5", "d"},
        {"S", "q6", "d"}, {"S", "q7", "d"}, {"S", "q8", "d"}, {"S", "q9", "d"}}},
      {"lines without '=', comments, empty names, '=' in values, tabs",
       lines,
       {{"S", "noeq", "d"}, {"S", ";c", "d"}, {"S", "", "d"}, {"S", " ", "d"}, {"S", "k", "d"},
        {"S", "tab", "d"}, {"S", "sp", "d"}, {"S", "comment", "d"}}},
      {"section headers: unclosed, junk after, blanks inside, last bracket, empty, NUL",
       headers,
       {{"", "a", "d"}, {"S", "a", "d"}, {"", "[S", "d"}, {"T", "b", "d"}, {"U", "c", "d"},
        {"V", "d", "d"}, {"V]x", "d", "d"}, {"", "e", "d"}, {"V]x", "e", "d"},
        {"X", "f", "d"}, {"Y", "g", "d"}, {"Y ", "g", "d"}}},
      {"a NUL byte ends a name or a value",
       nul,
       {{"S", "c", "d"}, {"S", "d", "d"}, {"S", "de", "d"}, {"S", "", "d"}, {"S", "g", "d"},
        {"T", "h", "d"}, {"S", "k", "d"}, {"S", "k  ", "d"}}},
      {"CR, LF and CR LF all end lines; no break at the end",
       breaks,
       {{"S", "a", "d"}, {"S", "b", "d"}, {"S", "c", "d"}, {"S", "d", "d"}, {"S", "e", "d"},
        {"T", "f", "d"}},
       "not checked on Windows: whether a lone CR ends a line there"},
      {"which control characters count as blanks",
       blanks,
       {{"S", "vt", "d"}, {"S", "ff", "d"}, {"S", "sub", "d"}, {"S", "nbsp", "d"},
        {"S", "fs", "d"}, {"S", "name", "d"}}},
      {"Windows-1251 text comes back byte for byte", cyrillic, {{"S", "a", "d"}}},
      {"defaults: trailing spaces off (one stays), quotes off",
       "",
       {{"S", "k", "dd  "}, {"S", "k", "  dd"}, {"S", "k", "   "}, {"S", "k", " "},
        {"S", "k", ""}, {"S", "k", "d\t"}, {"S", "k", "\"dd\""}, {"S", "k", "\"dd\" "},
        {"S", "k", "'dd'"}, {"S", "k", "\""}, {"S", "k", "\"\""}, {"S", "k", "d  d "},
        {"S", "k", "d\0ef"s}}},
      {"a missing section or key gives the default",
       "[S]\r\na=1\r\n",
       {{"T", "a", "dflt"}, {"S", "b", "dflt "}, {"", "a", "dflt"}}},
      {"long values are cut to the buffer",
       longValues,
       {{"S", "long", "d"}, {"S", "fits", "d"}, {"S", "quotedfits", "d"},
        {"S", "quoted2046", "d"}},
       "quotedfits: this Wine loses the last character of a quoted value that just fills the "
       "buffer; Windows is not known to"},
      {"small buffers", longValues, small,
       "quoted at size 7: the same off-by-one as quotedfits"},
      {"UTF-8 with a mark is read as UTF-8",
       "\xEF\xBB\xBFtop=1\r\n[S]\r\na=\xD0\x96\xD0\xB8\r\nbad=x\xFFy\r\nq=\"\xD0\x96\"\r\n",
       {{"", "top", "d"}, {"S", "a", "d"}, {"S", "bad", "d"}, {"S", "q", "d"}},
       "Windows reads a UTF-8 file as ANSI: the mark is part of the first line there"},
      {"UTF-8 without a mark is ANSI", "[S]\r\na=\xD0\x96\r\n", {{"S", "a", "d"}}},
      {"UTF-16 LE with a mark",
       Utf16File("top=1\r\n[S]\r\na=\xC6\xE8\r\nq='x'\r\n", false),
       {{"", "top", "d"}, {"S", "a", "d"}, {"S", "q", "d"}, {"S", "none", "d"}}},
      {"UTF-16 BE with a mark",
       Utf16File("[S]\r\na=\xC6\xE8\r\n", true),
       {{"S", "a", "d"}},
       "not checked on Windows: big-endian files"},
  };
}

TEST_F(ProfileTest, ReadsAsTheSystemDoes) {
  for (const ReadRow& row : ReadRows()) {
    SCOPED_TRACE(row.what);
    if (*row.windows) std::printf("[ profile  ] %s. Windows: %s\n", row.what, row.windows);
    const bool marked = HasMark(row.file);
    for (const Query& q : row.queries) {
      SCOPED_TRACE("section " + Show(q.section) + " key " + Show(q.key) + " default " +
                   Show(q.def) + " buffer " + std::to_string(q.size));
      // Each query on a fresh name: no cached state carries over.
      std::wstring path = FileWith(row.file);
      std::string ours = formats::IniRead(row.file, q.section, q.key, q.def, q.size);
      std::string system = SystemRead(path, marked, q.section, q.key, q.def, q.size);
      EXPECT_EQ(system, ours) << "expected " << Show(system) << ", got " << Show(ours);
      if (marked && GetACP() == kCp1251) {
        // The A function converts to the code page itself, with best fit.
        std::string viaA = SystemReadA(path, q.section, q.key, q.def, q.size);
        EXPECT_EQ(viaA, ours) << "A function: expected " << Show(viaA) << ", got " << Show(ours);
      }
      if (!marked) {
        std::wstring viaW = SystemReadW(path, Widen(q.section, CP_ACP), Widen(q.key, CP_ACP),
                                        Widen(q.def.c_str(), CP_ACP), q.size);
        EXPECT_EQ(Narrow(viaW, CP_ACP), ours) << "W function: expected "
                                              << Show(Narrow(viaW, CP_ACP)) << ", got "
                                              << Show(ours);
      }
    }
  }
}

TEST_F(ProfileTest, MissingFileGivesTheDefault) {
  for (const std::string def : {"dflt", "dd  ", "   ", "\"dd\"", "'x'", "\""}) {
    SCOPED_TRACE("default " + Show(def));
    std::wstring path = FreshPath();  // never created
    std::string system = SystemReadA(path, "S", "k", def, formats::kIniBufferSize);
    std::string ours = formats::IniReadMissingFile(def);
    EXPECT_EQ(system, ours) << "expected " << Show(system) << ", got " << Show(ours);
    EXPECT_EQ(formats::IniRead("", "S", "k", def), ours);
  }
}

enum class Outcome {
  kAsSystem,  // the same file as the system's, up to the system's own layout
  kQuoted,    // the system would lose part of the value; ours keeps it
  kRefused,   // the system would break the file or lose the value; ours refuses
};

struct WriteRow {
  const char* what;
  std::string file;
  std::string section, key, value;
  Outcome outcome;
  // The input is already laid out as the system writes files, so the bytes
  // must be the very same.
  bool sameBytes;
};

std::vector<WriteRow> WriteRows() {
  const std::string plain = "[S]\r\na=1\r\n[T]\r\nb=2\r\n";
  const std::string messy =
      "; settings\r\n\r\n[S]\r\n  a = 1  \r\n\r\nnoeq\r\n;c\r\n[S\r\n\r\n[T]\n b=2\n\n";
  const std::string program = "\"C:\\Program Files\\a.exe\" -x \"y\"";
  return {
      {"new file", "", "S", "k", "v", Outcome::kAsSystem, true},
      {"new key goes after the section's last line", plain, "S", "new", "9", Outcome::kAsSystem,
       true},
      {"the first line of the key gets the value", plain, "S", "a", "2", Outcome::kAsSystem,
       true},
      {"unchanged value leaves the file alone", "[S]\r\n a = 1 \r\n\r\n", "S", "a", "1",
       Outcome::kAsSystem, true},
      {"names match without case; the file's spelling stays", "[Sec]\r\nKey=1\r\n", "sEC",
       "KEY", "2", Outcome::kAsSystem, true},
      {"new section at the end", plain, "U", "k", "v", Outcome::kAsSystem, true},
      {"empty section name means the lines before the first header", plain, "", "k", "v",
       Outcome::kAsSystem, true},
      {"blanks around the names are dropped", "[S]\r\n", " S\t", "\tKey ", "v",
       Outcome::kAsSystem, true},
      {"a new section keeps trailing blanks of its name", plain, " U\t ", "k ", "v",
       Outcome::kAsSystem, true},
      {"empty value", plain, "S", "a", "", Outcome::kAsSystem, true},
      {"no line break at the end", "[S]\r\na=1", "S", "b", "2", Outcome::kAsSystem, true},
      {"only the first of two sections is written", "[S]\r\na=1\r\n[T]\r\n[s]\r\nb=2\r\n", "S",
       "b", "9", Outcome::kAsSystem, true},
      {"a line without '=' is the key's first line", "[S]\r\nnoeq\r\nnoeq=2\r\n", "S", "noeq",
       "9", Outcome::kAsSystem, true},
      {"Windows-1251 value", plain, "S", "a", "\xC6\xE8\xB8", Outcome::kAsSystem, true},
      {"a value of 2047 bytes", plain, "S", "a", Long('v', 2047), Outcome::kAsSystem, true},
      {"comments, blank lines and odd lines: replace", messy, "S", "a", "2", Outcome::kAsSystem,
       false},
      {"comments, blank lines and odd lines: add", messy, "S", "new", "2", Outcome::kAsSystem,
       false},
      {"comments, blank lines and odd lines: add before the first header", messy, "", "top", "1",
       Outcome::kAsSystem, false},
      {"LF line breaks", "[S]\na=1\n", "S", "b", "2", Outcome::kAsSystem, false},
      {"the last line without a break is replaced", "[S]\r\na=1", "S", "a", "2",
       Outcome::kAsSystem, false},
      {"NUL bytes in the file", "[S]\r\nc=x\0y\r\nd\0e=3\r\n"s, "S", "d", "4",
       Outcome::kAsSystem, false},
      {"UTF-8 with a mark stays UTF-8", "\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "b", "\xC6\xE8",
       Outcome::kAsSystem, true},
      {"UTF-8 with a mark: replace", "\xEF\xBB\xBF[S]\r\na=\xD0\x96\r\n", "S", "a", "\xE8",
       Outcome::kAsSystem, true},
      {"UTF-16 LE stays UTF-16 LE", Utf16File("[S]\r\na=1\r\n", false), "S", "b", "\xC6",
       Outcome::kAsSystem, true},
      {"UTF-16 BE stays UTF-16 BE", Utf16File("[S]\r\na=1\r\n", true), "T", "b", "\xC6",
       Outcome::kAsSystem, true},
      {"leading blanks", plain, "S", "a", "  x", Outcome::kQuoted, false},
      {"trailing blanks", plain, "S", "a", "x\t", Outcome::kQuoted, false},
      {"a command line in quotes", plain, "S", "a", program, Outcome::kQuoted, false},
      {"a value in single quotes", plain, "S", "new", "'x'", Outcome::kQuoted, false},
      {"a value of two quotes", plain, "S", "new", "\"\"", Outcome::kQuoted, false},
      {"line breaks in the value", plain, "S", "a", "x\r\n[T]\r\nb=evil", Outcome::kRefused,
       false},
      {"'=' in the key", plain, "S", "k=z", "v", Outcome::kRefused, false},
      {"a key that makes a section header", plain, "S", "[T]", "v", Outcome::kRefused, false},
      {"a value longer than the readers' buffer", plain, "S", "a", Long('v', 2048),
       Outcome::kRefused, false},
      {"a quoted value too long once quoted", plain, "S", "a", " " + Long('v', 2046),
       Outcome::kRefused, false},
      {"NUL in the value", plain, "S", "a", "x\0y"s, Outcome::kRefused, false},
  };
}

TEST_F(ProfileTest, WritesAsTheSystemDoes) {
  for (const WriteRow& row : WriteRows()) {
    SCOPED_TRACE(std::string(row.what) + ": file " + Show(row.file) + ", " + Show(row.section) +
                 "/" + Show(row.key) + " = " + Show(row.value));
    const bool marked = HasMark(row.file);
    std::optional<std::string> ours = formats::IniWrite(row.file, row.section, row.key, row.value);

    std::wstring systemPath = FileWith(row.file);
    ASSERT_TRUE(SystemWrite(systemPath, marked, row.section, row.key, row.value));
    std::string system = Contents(systemPath);
    std::string systemReadsItsOwn = SystemRead(systemPath, marked, row.section, row.key, "<none>");

    switch (row.outcome) {
      case Outcome::kAsSystem: {
        ASSERT_TRUE(ours) << "refused; the system wrote " << Show(system);
        if (row.sameBytes) {
          EXPECT_EQ(system, *ours) << "expected " << Show(system) << ", got " << Show(ours);
        }
        std::string systemLayout = SystemLayout(system), oursLaidOut = SystemLayout(*ours);
        EXPECT_EQ(systemLayout, oursLaidOut)
            << "in the system's layout: expected " << Show(systemLayout) << ", got "
            << Show(oursLaidOut);
        break;
      }
      case Outcome::kQuoted:
        ASSERT_TRUE(ours);
        EXPECT_NE(systemReadsItsOwn, row.value)
            << "the system keeps this value by itself: " << Show(system);
        break;
      case Outcome::kRefused:
        EXPECT_FALSE(ours) << "wrote " << Show(ours);
        EXPECT_NE(systemReadsItsOwn, row.value) << "the system stores this: " << Show(system);
        break;
    }

    if (ours) {
      // Whatever we write, the system reads back as the value given.
      std::wstring oursPath = FileWith(*ours);
      std::string systemReadsOurs = SystemRead(oursPath, marked, row.section, row.key, "<none>");
      EXPECT_EQ(row.value, systemReadsOurs)
          << "the system reads our file " << Show(*ours) << ": expected " << Show(row.value)
          << ", got " << Show(systemReadsOurs);
    }
  }
}

}  // namespace
