// The settings-file codec. The expected values are what the system's profile
// functions returned for the same bytes (the Win32 tier compares the two
// directly under Wine).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "formats/ini_file.h"

namespace {

using namespace std::string_literals;
using formats::IniRead;
using formats::IniWrite;

std::string Utf16(const std::string& cp1251, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : base::Utf8ToUtf16(base::Cp1251ToUtf8(cp1251))) {
    char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

std::string Show(const std::optional<std::string>& s) {
  if (!s) return "refused";
  std::string out = "\"";
  for (unsigned char c : *s) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      const char* hex = "0123456789ABCDEF";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out + "\"";
}

struct ReadRow {
  const char* what;
  std::string file, section, key, def;
  std::string expected;
  std::size_t size = formats::kIniBufferSize;
};

void CheckReads(const std::vector<ReadRow>& rows) {
  for (const ReadRow& row : rows) {
    SCOPED_TRACE(std::string(row.what) + ": " + Show(row.section) + "/" + Show(row.key) +
                 " default " + Show(row.def) + " buffer " + std::to_string(row.size));
    std::string got = IniRead(row.file, row.section, row.key, row.def, row.size);
    EXPECT_EQ(row.expected, got) << "expected " << Show(row.expected) << ", got " << Show(got);
  }
}

TEST(IniFileRead, SectionsAndNames) {
  const std::string twice = "[S]\r\nk=v1\r\n[T]\r\nx=1\r\n[s]\r\nk=v2\r\nj=only2\r\n";
  const std::string blanks = "k0=before\r\n[S]\r\n  k  =  v  \r\n";
  const std::string headers =
      "[S\r\na=1\r\n[T] junk\r\nb=2\r\n[ U ]\r\nc=3\r\n[V]x]\r\nd=4\r\n[]\r\ne=5\r\n[W\r\n";
  CheckReads({
      {"first section of a name", twice, "S", "k", "d", "v1"},
      {"a second section of the name is not searched", twice, "S", "j", "d", "d"},
      {"names match without case", twice, "t", "X", "d", "1"},
      {"lines before the first header: the empty section", blanks, "", "k0", "d", "before"},
      {"blanks around names and values", blanks, "S", "k", "d", "v"},
      {"blanks around the caller's names", blanks, " S\t", "\tk ", "d", "v"},
      {"an unclosed header is a line of the section before", headers, "", "a", "d", "1"},
      {"so there is no such section", headers, "S", "a", "d", "d"},
      {"junk after the bracket", headers, "T", "b", "d", "2"},
      {"blanks inside the brackets", headers, "U", "c", "d", "3"},
      {"the last bracket closes", headers, "V]x", "d", "d", "4"},
      {"not the first one", headers, "V", "d", "d", "d"},
      {"[] is a second empty section, never reached", headers, "", "e", "d", "d"},
      {"missing section", "[S]\r\na=1\r\n", "T", "a", "d", "d"},
      {"missing key", "[S]\r\na=1\r\n", "S", "b", "d", "d"},
  });
}

TEST(IniFileRead, Lines) {
  const std::string lines =
      "[S]\r\nnoeq\r\nnoeq=after\r\n;c=comment\r\n=empty\r\nk=a=b=c\r\n"
      "tab\t=\tv\tt\t\r\nsp = v  w \r\n";
  const std::string breaks = "[S]\ra=1\rb=2\r\nc=3\nd=4\n\re=5\r\r\n\n[T]\nf=6";
  const std::string controls =
      "[S]\r\nvt=\x0Bv\x0B\r\nsub=\x1Av\x1A\r\nnbsp=\xA0v\xA0\r\nfs=\x1Cv\x1C\r\n"
      "\x1Aname\x0B=1\r\n";
  CheckReads({
      {"a line without '=' is the key's first line and has no value", lines, "S", "noeq", "d",
       "d"},
      {"';' starts no comment", lines, "S", ";c", "d", "comment"},
      {"an empty key name", lines, "S", "", "d", "empty"},
      {"'=' inside the value", lines, "S", "k", "d", "a=b=c"},
      {"tabs around, kept inside", lines, "S", "tab", "d", "v\tt"},
      {"spaces inside stay", lines, "S", "sp", "d", "v  w"},
      {"a lone CR ends a line", breaks, "S", "a", "d", "1"},
      {"after a lone CR", breaks, "S", "b", "d", "2"},
      {"LF", breaks, "S", "d", "d", "4"},
      {"LF CR", breaks, "S", "e", "d", "5"},
      {"last line without a break", breaks, "T", "f", "d", "6"},
      {"VT and Ctrl-Z are blanks", controls, "S", "vt", "d", "v"},
      {"Ctrl-Z", controls, "S", "sub", "d", "v"},
      {"NBSP is not", controls, "S", "nbsp", "d", "\xA0v\xA0"},
      {"nor FS", controls, "S", "fs", "d", "\x1Cv\x1C"},
      {"blanks around a name", controls, "S", "name", "d", "1"},
      {"Windows-1251 text byte for byte", "[S]\r\na=\xC6\xE8 \xB8\x98\r\n", "S", "a", "d",
       "\xC6\xE8 \xB8\x98"},
  });
}

TEST(IniFileRead, NulBytes) {
  const std::string file = "[S]\r\nc=x\0y\r\nd\0e=3\r\n\0g=5\r\nk  \0 =8\r\n[T\0]\r\nh=6\r\n"
                           "[X \0]\r\nf=6\r\n[Y\0 ]\r\ng=7\r\n"s;
  CheckReads({
      {"a NUL ends the value", file, "S", "c", "d", "x"},
      {"and the name", file, "S", "d", "d", "3"},
      {"so this name is not there", file, "S", "de", "d", "d"},
      {"a name that starts with NUL is empty", file, "S", "", "d", "5"},
      {"blanks before a NUL in a name stay", file, "S", "k", "d", "d"},
      {"in a section name too", file, "T", "h", "d", "6"},
      {"blanks are dropped before the NUL cuts", file, "X", "f", "d", "d"},
      {"after it they go", file, "Y", "g", "d", "7"},
      {"a NUL in the caller's name ends it", file, "T\0junk"s, "h", "d", "6"},
  });
}

TEST(IniFileRead, Quotes) {
  const std::string file =
      "[S]\r\nq1=\"abc\"\r\nq2='abc'\r\nq3=\"abc\r\nq4=abc\"\r\nq5=\"\r\nq6=\"\"\r\n"
      "q7=\"a'\r\nq8= \" x \" \r\nq9=\"\"x\"\"\r\n";
  CheckReads({
      {"double", file, "S", "q1", "d", "abc"},
      {"single", file, "S", "q2", "d", "abc"},
      {"only an opening one", file, "S", "q3", "d", "\"abc"},
      {"only a closing one", file, "S", "q4", "d", "abc\""},
      {"a lone quote", file, "S", "q5", "d", "\""},
      {"two quotes", file, "S", "q6", "d", ""},
      {"not a pair", file, "S", "q7", "d", "\"a'"},
      {"blanks inside the quotes stay", file, "S", "q8", "d", " x "},
      {"only one pair comes off", file, "S", "q9", "d", "\"x\""},
  });
}

TEST(IniFileRead, Defaults) {
  CheckReads({
      {"trailing spaces come off", "", "S", "k", "dd  ", "dd"},
      {"leading ones stay", "", "S", "k", "  dd", "  dd"},
      {"all spaces: one stays", "", "S", "k", "   ", " "},
      {"inner ones stay", "", "S", "k", "d  d ", "d  d"},
      {"only spaces, not tabs", "", "S", "k", "d\t", "d\t"},
      {"quotes come off", "", "S", "k", "\"dd\"", "dd"},
      {"after the spaces", "", "S", "k", "'dd' ", "dd"},
      {"a lone quote stays", "", "S", "k", "\"", "\""},
      {"a NUL ends it", "", "S", "k", "d\0ef"s, "d"},
      {"empty", "", "S", "k", "", ""},
      {"for a line without '='", "[S]\r\nk\r\n", "S", "k", "dd ", "dd"},
  });
  for (const std::string def : {"dflt", "dd  ", "   ", "'x'", "\""}) {
    SCOPED_TRACE(def);
    EXPECT_EQ(formats::IniReadMissingFile(def), IniRead("", "S", "k", def));
  }
}

TEST(IniFileRead, BufferSizes) {
  const std::string file = "[S]\r\nshort=abcdef\r\nquoted=\"abcdef\"\r\nlong=" +
                           std::string(3000, 'x') + "\r\nfits=\"" + std::string(2047, 'z') +
                           "\"\r\n";
  CheckReads({
      {"no buffer", file, "S", "short", "d", "", 0},
      {"room for the terminator only", file, "S", "short", "d", "", 1},
      {"one character", file, "S", "short", "d", "a", 2},
      {"one short", file, "S", "short", "d", "abcde", 6},
      {"just fits", file, "S", "short", "d", "abcdef", 7},
      {"quoted, cut", file, "S", "quoted", "d", "abcde", 6},
      {"quoted, just fits: the system loses the last character", file, "S", "quoted", "d",
       "abcde", 7},
      {"quoted, room to spare", file, "S", "quoted", "d", "abcdef", 8},
      {"the default is cut the same way", file, "S", "none", "\"abcdef\"", "abcde", 7},
      {"a long line at the program's buffer", file, "S", "long", "d", std::string(2047, 'x')},
      {"a quoted value that just fits the program's buffer", file, "S", "fits", "d",
       std::string(2046, 'z')},
  });
}

TEST(IniFileRead, ByteOrderMarks) {
  const std::string utf8 =
      "\xEF\xBB\xBFtop=1\r\n[S]\r\na=\xD0\x96\xD0\xB8\r\nbad=x\xFFy\r\nq=\"\xD0\x96\"\r\n"
      "far=\xF0\x9F\x98\x80\r\n";
  const std::string le = Utf16("top=1\r\n[S]\r\na=\xC6\xE8\r\nq='x'\r\n", false);
  CheckReads({
      {"UTF-8: the mark is not part of the first line", utf8, "", "top", "d", "1"},
      {"UTF-8 comes back as Windows-1251", utf8, "S", "a", "d", "\xC6\xE8"},
      {"a malformed byte becomes '?'", utf8, "S", "bad", "d", "x?y"},
      {"quotes around UTF-8", utf8, "S", "q", "d", "\xC6"},
      {"beyond the BMP: one '?' per UTF-16 unit", utf8, "S", "far", "d", "??"},
      {"UTF-8 without a mark is just bytes", "[S]\r\na=\xD0\x96\r\n", "S", "a", "d", "\xD0\x96"},
      {"UTF-16 LE", le, "", "top", "d", "1"},
      {"UTF-16 LE text", le, "S", "a", "d", "\xC6\xE8"},
      {"UTF-16 LE quotes", le, "S", "q", "d", "x"},
      {"UTF-16 BE", Utf16("[S]\r\na=\xC6\xE8\r\n", true), "S", "a", "d", "\xC6\xE8"},
      {"UTF-16 buffer counts units", le, "S", "a", "d", "\xC6", 2},
      {"an odd last byte of UTF-16 is one more character", Utf16("[S]\r\na=\xC6", false) + "A",
       "S", "a", "d", "\xC6" "A"},
      {"UTF-16 without a mark is bytes with NULs", "[\0S\0]\0\r\0\n\0a\0=\0x\0"s, "S", "a", "d",
       "d"},
      {"a mark alone", "\xFF\xFE", "S", "a", "d", "d"},
  });
}

struct WriteRow {
  const char* what;
  std::string file, section, key, value;
  std::optional<std::string> expected;
};

void CheckWrites(const std::vector<WriteRow>& rows) {
  for (const WriteRow& row : rows) {
    SCOPED_TRACE(std::string(row.what) + ": " + Show(row.file) + " " + Show(row.section) + "/" +
                 Show(row.key) + " = " + Show(row.value));
    std::optional<std::string> got = IniWrite(row.file, row.section, row.key, row.value);
    EXPECT_EQ(row.expected, got) << "expected " << Show(row.expected) << ", got " << Show(got);
  }
}

TEST(IniFileWrite, WhereLinesGo) {
  const std::string plain = "[S]\r\na=1\r\n[T]\r\nb=2\r\n";
  CheckWrites({
      {"new file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"new key after the section's last line", plain, "S", "new", "9",
       "[S]\r\na=1\r\nnew=9\r\n[T]\r\nb=2\r\n"},
      {"the key's line gets the value", plain, "S", "a", "2", "[S]\r\na=2\r\n[T]\r\nb=2\r\n"},
      {"new section at the end, no blank line before it", plain, "U", "k", "v",
       plain + "[U]\r\nk=v\r\n"},
      {"the empty section is the top of the file", plain, "", "k", "v", "k=v\r\n" + plain},
      {"names match without case, the file's spelling stays", "[Sec]\r\nKey=1\r\n", "sEC", "KEY",
       "2", "[Sec]\r\nKey=2\r\n"},
      {"a new name loses leading blanks only", "[S]\r\n", " S\t", "\tKey ", "v",
       "[S]\r\nKey =v\r\n"},
      {"and so does a new section", "", "\t U ", " k", "v", "[U ]\r\nk=v\r\n"},
      {"empty value", plain, "S", "a", "", "[S]\r\na=\r\n[T]\r\nb=2\r\n"},
      {"only the first of two sections", "[S]\r\na=1\r\n[T]\r\n[s]\r\nb=2\r\n", "S", "b", "9",
       "[S]\r\na=1\r\nb=9\r\n[T]\r\n[s]\r\nb=2\r\n"},
      {"a line without '=' is the key's line", "[S]\r\nnoeq\r\nnoeq=2\r\n", "S", "noeq", "9",
       "[S]\r\nnoeq=9\r\nnoeq=2\r\n"},
      {"an empty section header at the end of the file", "[S]", "S", "k", "v", "[S]\r\nk=v\r\n"},
  });
}

TEST(IniFileWrite, KeepsEveryOtherByte) {
  const std::string messy =
      "; settings\r\n\r\n[S]\r\n  a = 1  \r\n\r\nnoeq\r\n;c\r\n[S\r\n\r\n[T]\n b=2\n\n";
  CheckWrites({
      {"the replaced line is rewritten, nothing else", messy, "S", "a", "2",
       "; settings\r\n\r\n[S]\r\na=2\r\n\r\nnoeq\r\n;c\r\n[S\r\n\r\n[T]\n b=2\n\n"},
      {"a new key goes before the blank lines that end the section", messy, "S", "new", "2",
       "; settings\r\n\r\n[S]\r\n  a = 1  \r\n\r\nnoeq\r\n;c\r\n[S\r\nnew=2\r\n\r\n[T]\n b=2\n\n"},
      {"the empty section ends at the first header", messy, "", "top", "1",
       "; settings\r\ntop=1\r\n\r\n[S]\r\n  a = 1  \r\n\r\nnoeq\r\n;c\r\n[S\r\n\r\n[T]\n b=2\n\n"},
      {"LF lines stay LF, the new line is CR LF", messy, "T", "c", "3",
       "; settings\r\n\r\n[S]\r\n  a = 1  \r\n\r\nnoeq\r\n;c\r\n[S\r\n\r\n[T]\n b=2\nc=3\r\n\n"},
      {"the replaced line keeps its own break", messy, "T", "b", "3",
       "; settings\r\n\r\n[S]\r\n  a = 1  \r\n\r\nnoeq\r\n;c\r\n[S\r\n\r\n[T]\nb=3\n\n"},
      {"an unchanged value leaves the file alone", messy, "s", "A", "1", messy},
      {"no break at the end: one is added first", "[S]\r\na=1", "S", "b", "2",
       "[S]\r\na=1\r\nb=2\r\n"},
      {"the last line without a break", "[S]\r\na=1", "S", "a", "2", "[S]\r\na=2"},
      {"lone CR breaks", "[S]\ra=1\r[T]\r", "S", "b", "2", "[S]\ra=1\rb=2\r\n[T]\r"},
      {"NUL bytes elsewhere stay", "[S]\r\nc=x\0y\r\nd\0e=3\r\n"s, "S", "d", "4",
       "[S]\r\nc=x\0y\r\nd=4\r\n"s},
  });
}

TEST(IniFileWrite, KeepsTheEncoding) {
  CheckWrites({
      {"UTF-8 with a mark", "\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "b", "\xC6\xE8",
       "\xEF\xBB\xBF[S]\r\na=1\r\nb=\xD0\x96\xD0\xB8\r\n"},
      {"UTF-8: the empty section goes after the mark", "\xEF\xBB\xBF[S]\r\n", "", "k", "v",
       "\xEF\xBB\xBFk=v\r\n[S]\r\n"},
      {"UTF-8: replace", "\xEF\xBB\xBF[S]\r\na=\xD0\x96\r\n", "S", "a", "\xE8",
       "\xEF\xBB\xBF[S]\r\na=\xD0\xB8\r\n"},
      {"UTF-16 LE", Utf16("[S]\r\na=1\r\n", false), "S", "b", "\xC6",
       Utf16("[S]\r\na=1\r\nb=\xC6\r\n", false)},
      {"UTF-16 BE", Utf16("[S]\r\na=1\r\n", true), "T", "b", "\xC6",
       Utf16("[S]\r\na=1\r\n[T]\r\nb=\xC6\r\n", true)},
      {"UTF-16 LE: an odd last byte becomes a whole character", Utf16("[S]\r\na=1", false) + "A",
       "T", "b", "2", Utf16("[S]\r\na=1A\r\n[T]\r\nb=2\r\n", false)},
      {"UTF-16 BE: the same", Utf16("[S]\r\na=1", true) + "A", "S", "b", "2",
       Utf16("[S]\r\na=1A\r\nb=2\r\n", true)},
      {"a character UTF-8 cannot get back to Windows-1251", "\xEF\xBB\xBF", "S", "a", "\x98",
       std::nullopt},
  });
}

// The system would lose part of these on the way back (blanks, a pair of
// quotes); one more pair of quotes keeps them whole.
TEST(IniFileWrite, ValuesReadBackAsGiven) {
  const std::string program = "\"C:\\Program Files\\a.exe\" -x \"y\"";
  CheckWrites({
      {"leading blanks", "", "S", "a", "  x", "[S]\r\na=\"  x\"\r\n"},
      {"a command line in quotes", "", "S", "a", program, "[S]\r\na=\"" + program + "\"\r\n"},
      {"a quote at one end only needs nothing", "", "S", "a", "\"x", "[S]\r\na=\"x\r\n"},
  });
  const std::string values[] = {"plain", "  x", "x\t", "x ", "\x1Ax", " ", "\"q\"", "'q'", "\"\"",
                                "\"", "'", "\"a'", program, "a=b", "[x]", ";x", "\xC6\xE8\xB8",
                                std::string(2047, 'v'), " " + std::string(2045, 'v')};
  const std::string files[] = {"", "[S]\r\na=old\r\n", "\xEF\xBB\xBF[S]\r\n",
                               Utf16("[S]\r\n", false)};
  for (const std::string& file : files) {
    for (const std::string& value : values) {
      SCOPED_TRACE(Show(file) + " " + Show(value));
      std::optional<std::string> written = IniWrite(file, "S", "a", value);
      ASSERT_TRUE(written);
      EXPECT_EQ(value, IniRead(*written, "S", "a", "<none>"));
      EXPECT_EQ(*written, IniWrite(*written, "S", "a", value)) << "a second write changed it";
    }
  }
}

TEST(IniFileWrite, RefusesWhatWouldNotReadBack) {
  const std::string plain = "[S]\r\na=1\r\n";
  CheckWrites({
      {"CR LF in the value would add lines", plain, "S", "a", "x\r\n[T]\r\nb=evil", std::nullopt},
      {"LF alone", plain, "S", "a", "x\ny", std::nullopt},
      {"CR alone", plain, "S", "a", "x\ry", std::nullopt},
      {"NUL in the value", plain, "S", "a", "x\0y"s, std::nullopt},
      {"line break in the key", plain, "S", "a\nb", "v", std::nullopt},
      {"line break in the section", plain, "S]\r\n[T", "a", "v", std::nullopt},
      {"'=' in the key", plain, "S", "k=z", "v", std::nullopt},
      {"a key that makes a section header", plain, "S", "[T]", "v", std::nullopt},
      {"even after blanks", plain, "S", "  [T]", "v", std::nullopt},
      {"longer than the program's buffer", plain, "S", "a", std::string(2048, 'v'),
       std::nullopt},
      {"too long once quoted", plain, "S", "a", " " + std::string(2046, 'v'), std::nullopt},
  });
  EXPECT_TRUE(IniWrite(plain, "S", "[x", "v")) << "an unclosed bracket is an ordinary key";
}

// Outside bytes: nothing here may crash, run long or grow much.
TEST(IniFileHostile, LargeAndDegenerateFiles) {
  const std::size_t n = 1 << 18;
  const std::string files[] = {
      std::string(n, '['),
      std::string(n, ']'),
      std::string(n, '='),
      std::string(n, '\n'),
      std::string(n, '\r'),
      std::string(n, '\0'),
      std::string(n, ' '),
      std::string(n, '"'),
      "[S]\r\na=" + std::string(n, 'x'),
      "[S]\r\n" + std::string(n, 'a'),
      "\xFF\xFE" + std::string(n + 1, '\0'),
      "\xFE\xFF" + std::string(n, '\xFF'),
      "\xEF\xBB\xBF" + std::string(n, '\xC0'),
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(Show(file.substr(0, 8)));
    EXPECT_LE(IniRead(file, "S", "a", "d").size(), formats::kIniBufferSize - 1);
    std::optional<std::string> written = IniWrite(file, "S", "a", "v");
    ASSERT_TRUE(written);
    EXPECT_LE(written->size(), file.size() + 64);
    EXPECT_EQ("v", IniRead(*written, "S", "a", "d"));
  }
}

}  // namespace
