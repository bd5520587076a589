// The executable kind from a file's first bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "formats/exe_kind.h"

namespace {

using namespace std::string_literals;

// An "MZ" file of size bytes (zero filled) with the given bytes placed.
std::string Image(std::size_t size, std::vector<std::pair<std::size_t, std::string>> at) {
  std::string f(size, '\0');
  f.replace(0, 2, "MZ");
  for (const auto& [offset, bytes] : at) {
    if (f.size() < offset + bytes.size()) f.resize(offset + bytes.size(), '\0');
    f.replace(offset, bytes.size(), bytes);
  }
  return f;
}

std::string Word(std::uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

TEST(ExeKind, FromFileStart) {
  const std::string reloc40 = Word(0x40);
  struct Case {
    const char* name;
    std::string file;
    std::uint8_t kind;
  } cases[] = {
      {"empty", "", 0},
      {"one byte", "M", 0},
      {"not MZ", "ZM"s + std::string(200, '\0'), 0},
      {"lower-case mz", "mz"s + std::string(200, '\0'), 0},
      {"a text file", "Hello, world\r\n", 0},
      {"MZ alone", "MZ", 1},
      {"MZ cut before the word at 0x18", Image(0x19, {}), 1},
      {"word at 0x18 is 0x3F", Image(0x200, {{0x18, Word(0x3F)}, {0x3C, Word(0x80)}, {0x80, "PE"}}), 1},
      {"word at 0x18 is 0", Image(0x200, {{0x3C, Word(0x80)}, {0x80, "PE\0\0"s}}), 1},
      {"cut before the new-header offset", Image(0x3D, {{0x18, reloc40}}), 1},
      {"NE", Image(0x200, {{0x18, reloc40}, {0x3C, Word(0x80)}, {0x80, "NE"}}), 2},
      {"PE", Image(0x200, {{0x18, reloc40}, {0x3C, Word(0x80)}, {0x80, "PE\0\0"s}}), 3},
      {"PE without the zero bytes", Image(0x200, {{0x18, Word(0xFFFF)}, {0x3C, Word(0x100)}, {0x100, "PEXY"}}), 3},
      {"PE as the last two bytes", Image(0x82, {{0x18, reloc40}, {0x3C, Word(0x80)}, {0x80, "PE"}}), 3},
      {"other letters", Image(0x200, {{0x18, reloc40}, {0x3C, Word(0x80)}, {0x80, "LE"}}), 1},
      {"only one letter there", Image(0x81, {{0x18, reloc40}, {0x3C, Word(0x80)}, {0x80, "P"}}), 1},
      {"new header past the end", Image(0x200, {{0x18, reloc40}, {0x3C, Word(0x400)}}), 1},
      // The field is 32 bits; only its low 16 bits point at the header.
      {"offset with high bits", Image(0x200, {{0x18, reloc40}, {0x3C, Word(0x80) + Word(0x0001)}, {0x80, "PE"}}), 3},
      {"offset at the 16-bit limit", Image(0x10001, {{0x18, reloc40}, {0x3C, Word(0xFFFF)}, {0xFFFF, "NE"}}), 2},
      {"offset pointing at MZ itself", Image(0x200, {{0x18, reloc40}, {0x3C, Word(0)}}), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(formats::ExeKindOfBytes(c.file), c.kind);
  }
}

TEST(ExeKind, ReadsOnlyTheProbedWords) {
  struct Read {
    std::uint64_t offset;
    std::size_t count;
  };
  std::vector<Read> reads;
  const std::string file =
      Image(0x200, {{0x18, Word(0x40)}, {0x3C, Word(0x1234) + Word(0xABCD)}, {0x1234, "PE"}});
  const std::uint8_t kind =
      formats::ExeKindOf([&](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
        reads.push_back({offset, count});
        if (offset + count > file.size()) return false;
        for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(file[offset + i]);
        return true;
      });
  EXPECT_EQ(kind, 3);
  ASSERT_EQ(reads.size(), 4u);
  const Read expected[] = {{0, 2}, {0x18, 2}, {0x3C, 2}, {0x1234, 2}};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(reads[i].offset, expected[i].offset);
    EXPECT_EQ(reads[i].count, expected[i].count);
  }
}

TEST(ExeKind, AFailedReadGivesTheKindReachedSoFar) {
  const std::string pe =
      Image(0x200, {{0x18, Word(0x40)}, {0x3C, Word(0x80)}, {0x80, "PE"}});
  struct Case {
    std::uint64_t failingOffset;
    std::uint8_t kind;
  } cases[] = {{0, 0}, {0x18, 1}, {0x3C, 1}, {0x80, 1}, {0x999, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE("read at " + std::to_string(c.failingOffset) + " fails");
    EXPECT_EQ(formats::ExeKindOf([&](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
                if (offset == c.failingOffset) return false;
                for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(pe[offset + i]);
                return true;
              }),
              c.kind);
  }
}

}  // namespace
