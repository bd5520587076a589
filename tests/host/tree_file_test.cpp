// The tree-file codec: the byte layout the writer makes, what the reader keeps
// from damaged files, and the built-in components tree.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "formats/builtin_components.h"
#include "formats/tree_file.h"

namespace {

using namespace std::string_literals;
using formats::DecodeTree;
using formats::EncodeTree;
using formats::TreeNodeData;
using formats::TreeReadError;

std::string U32(std::uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}
std::string I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }

const char* Name(TreeReadError e) {
  switch (e) {
    case TreeReadError::kNone: return "none";
    case TreeReadError::kEndOfData: return "end of data";
    case TreeReadError::kBadRecord: return "bad record";
    case TreeReadError::kNegativeLength: return "negative length";
    case TreeReadError::kTooDeep: return "too deep";
  }
  return "?";
}

// A readable form of a tree for failure messages.
std::string Show(const std::vector<TreeNodeData>& nodes) {
  std::string out = "[";
  for (const TreeNodeData& n : nodes) {
    out += "{\"" + n.text + "\" d1=\"" + n.data1 + "\" d2=\"" + n.data2 +
           "\" img=" + std::to_string(n.imageIndex) + "/" + std::to_string(n.selectedIndex) +
           " st=" + std::to_string(n.stateIndex) + " ov=" + std::to_string(n.overlayIndex) +
           " cb=" + std::to_string(n.checkboxType) + (n.checked ? " checked" : "") +
           (n.grayed ? " grayed" : "") + " w=" + std::to_string(n.dataWord) + " " +
           Show(n.children) + "}";
  }
  return out + "]";
}

TreeNodeData Leaf(const std::string& text, int image = 0) {
  TreeNodeData n;
  n.text = text;
  n.imageIndex = image;
  n.selectedIndex = image;
  return n;
}

TreeNodeData Group(const std::string& text, std::vector<TreeNodeData> children) {
  TreeNodeData n = Leaf(text, 7);
  n.children = std::move(children);
  return n;
}

// A node block written by hand, so that any field can be made wrong. Unset
// lengths and counts take the values that match the strings.
struct RawNode {
  std::string text = "node";
  std::string data1 = "one";
  std::string data2;
  std::int32_t image = 3, selected = 4, state = -1, overlay = -1;
  std::uint8_t checkbox = 0, flags = 0;
  std::uint32_t dataWord = 0;
  std::optional<std::int32_t> recordSize, data1Len, data2Len;
  std::optional<std::uint8_t> textLen;
  std::int32_t childCount = 0;
  std::string recordExtra;  // bytes after the text, inside the record

  std::string Bytes() const {
    std::string rec = I32(image) + I32(selected) + I32(state) + I32(overlay);
    rec += static_cast<char>(checkbox);
    rec += static_cast<char>(flags);
    rec += I32(0) + U32(dataWord);
    rec += I32(data1Len.value_or(static_cast<std::int32_t>(data1.size())));
    rec += I32(data2Len.value_or(static_cast<std::int32_t>(data2.size())));
    rec += I32(childCount);
    rec += static_cast<char>(textLen.value_or(static_cast<std::uint8_t>(text.size())));
    rec += text + recordExtra;
    return I32(recordSize.value_or(static_cast<std::int32_t>(rec.size()))) + rec + data1 + data2;
  }

  // The node a clean read of Bytes() gives.
  TreeNodeData Read() const {
    TreeNodeData n;
    n.text = text;
    n.data1 = data1;
    n.data2 = data2;
    n.imageIndex = image;
    n.selectedIndex = selected;
    n.stateIndex = checkbox ? 1 : state;
    n.overlayIndex = overlay;
    n.checkboxType = checkbox;
    n.checked = flags & 1;
    n.grayed = flags & 2;
    n.dataWord = dataWord;
    return n;
  }
};

void ExpectDecodes(const std::string& bytes, TreeReadError error,
                   const std::vector<TreeNodeData>& roots) {
  const formats::TreeDecodeResult got = DecodeTree(bytes);
  EXPECT_EQ(Name(got.error), std::string(Name(error)));
  EXPECT_EQ(got.ok(), error == TreeReadError::kNone);
  EXPECT_TRUE(got.roots == roots) << "got      " << Show(got.roots) << "\nexpected "
                                  << Show(roots);
  EXPECT_LE(got.bytesRead, bytes.size());
}

TEST(TreeFile, EmptyTreeIsFourZeroBytesBothWays) {
  EXPECT_EQ(EncodeTree({}), "\0\0\0\0"s);
  ExpectDecodes("\0\0\0\0"s, TreeReadError::kNone, {});
}

TEST(TreeFile, RecordLayoutByteByByte) {
  TreeNodeData n;
  n.text = "ab";
  n.data1 = "x";
  n.data2 = "yz";
  n.imageIndex = 5;
  n.selectedIndex = -2;
  n.stateIndex = 0x01020304;
  n.overlayIndex = 3;
  n.checkboxType = 0;
  n.checked = true;
  n.grayed = true;
  n.dataWord = 0x11223344;
  n.children = {Leaf("")};
  const std::string expected =
      "\x01\0\0\0"                          // root count
      "\x29\0\0\0"                          // RecordSize 41
      "\x05\0\0\0" "\xFE\xFF\xFF\xFF"       // image, selected
      "\x04\x03\x02\x01" "\x03\0\0\0"       // state before overlay
      "\x00" "\x03"                         // check box type, checked + grayed
      "\0\0\0\0" "\x44\x33\x22\x11"         // reserved, data word
      "\x01\0\0\0" "\x02\0\0\0" "\x01\0\0\0"  // data lengths, child count
      "\x02" "ab" "x" "yz"
      "\x27\0\0\0"                          // the child: RecordSize 39
      "\0\0\0\0" "\0\0\0\0" "\xFF\xFF\xFF\xFF" "\xFF\xFF\xFF\xFF"
      "\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0"s;
  EXPECT_EQ(EncodeTree({n}), expected);
  ExpectDecodes(expected, TreeReadError::kNone, {n});
}

TEST(TreeFile, TextIsCutTo255Bytes) {
  struct Case {
    std::size_t length;
    std::int32_t recordSize;
    std::size_t readBack;
  } cases[] = {{0, 39, 0}, {1, 40, 1}, {255, 294, 255}, {256, 294, 255}, {300, 294, 255}};
  for (const Case& c : cases) {
    SCOPED_TRACE("text of " + std::to_string(c.length));
    std::string text;
    for (std::size_t i = 0; i < c.length; ++i) text += static_cast<char>('A' + i % 26);
    const std::string bytes = EncodeTree({Leaf(text)});
    EXPECT_EQ(bytes.substr(4, 4), I32(c.recordSize));
    EXPECT_EQ(static_cast<unsigned char>(bytes[8 + 38]), c.readBack);
    EXPECT_EQ(bytes.size(), 4 + 4 + 39 + c.readBack);
    const formats::TreeDecodeResult got = DecodeTree(bytes);
    ASSERT_TRUE(got.ok());
    ASSERT_EQ(got.roots.size(), 1u);
    EXPECT_EQ(got.roots[0].text, text.substr(0, c.readBack));
  }
}

TEST(TreeFile, RoundTrips) {
  std::string longData;
  for (int i = 0; i < 5000; ++i) longData += static_cast<char>(1 + i % 255);  // no zero byte
  TreeNodeData checked = Leaf("checked", 2);
  checked.checked = true;
  TreeNodeData grayed = Leaf("grayed", 2);
  grayed.grayed = true;
  TreeNodeData both = Leaf("both", 2);
  both.checked = both.grayed = true;
  TreeNodeData withBox = Leaf("\xCA\xEE\xF0\xE7\xE8\xED\xE0", 14);  // Cyrillic in 1251
  withBox.checkboxType = 1;
  withBox.stateIndex = 1;
  withBox.checked = true;
  TreeNodeData odd = Leaf("odd", -1);
  odd.selectedIndex = 0x7FFFFFFF;
  odd.stateIndex = -0x7FFFFFFF - 1;
  odd.overlayIndex = 15;
  odd.dataWord = 0xFFFFFFFF;
  TreeNodeData data = Leaf("data");
  data.data1 = longData;
  data.data2 = longData.substr(100) + "\xFF";

  struct Case {
    const char* name;
    std::vector<TreeNodeData> roots;
  } cases[] = {
      {"flags", {checked, grayed, both, withBox}},
      {"indexes and data word", {odd}},
      {"long data strings", {data}},
      {"children in their order",
       {Group("g", {Leaf("second"), Leaf("first"), Leaf("third")}), Leaf("after")}},
      {"nested groups",
       {Group("a", {Group("b", {Group("c", {data, Leaf("")}), checked}), Group("empty", {})}),
        Group("d", {odd})}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = EncodeTree(c.roots);
    const formats::TreeDecodeResult got = DecodeTree(bytes);
    EXPECT_TRUE(got.ok()) << Name(got.error);
    EXPECT_EQ(got.bytesRead, bytes.size());
    EXPECT_TRUE(got.roots == c.roots) << Show(got.roots);
    EXPECT_EQ(EncodeTree(got.roots), bytes);
  }
}

TEST(TreeFile, CheckBoxForcesStateIndexOne) {
  struct Case {
    std::uint8_t checkbox;
    std::int32_t stored;
    std::int32_t read;
  } cases[] = {{0, 7, 7}, {0, -1, -1}, {1, 7, 1}, {1, -1, 1}, {2, 0, 1}, {255, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE("check box " + std::to_string(c.checkbox) + ", state " +
                 std::to_string(c.stored));
    TreeNodeData n = Leaf("n");
    n.checkboxType = c.checkbox;
    n.stateIndex = c.stored;
    const formats::TreeDecodeResult got = DecodeTree(EncodeTree({n}));
    ASSERT_TRUE(got.ok());
    EXPECT_EQ(got.roots.at(0).stateIndex, c.read);
    EXPECT_EQ(got.roots.at(0).checkboxType, c.checkbox);
  }
}

TEST(TreeFile, ReadIgnoresUnknownFlagBits) {
  RawNode raw;
  raw.flags = 0xFE;  // grayed, not checked, and bits the writer never sets
  const formats::TreeDecodeResult got = DecodeTree(I32(1) + raw.Bytes());
  ASSERT_TRUE(got.ok());
  EXPECT_FALSE(got.roots.at(0).checked);
  EXPECT_TRUE(got.roots.at(0).grayed);
}

TEST(TreeFile, DataEndsAtFirstZeroByteButAllItsBytesAreConsumed) {
  TreeNodeData n = Leaf("n");
  n.data1 = "ab\0cd"s;
  n.data2 = "\0xyz"s;
  const std::string bytes = EncodeTree({n, Leaf("next", 9)});
  TreeNodeData read = n;
  read.data1 = "ab";
  read.data2 = "";
  ExpectDecodes(bytes, TreeReadError::kNone, {read, Leaf("next", 9)});
}

TEST(TreeFile, LongerRecordIsAcceptedAndItsExtraBytesSkipped) {
  struct Case {
    const char* name;
    std::string extra;
  } cases[] = {{"a few bytes", "\x01\x02\x03"}, {"up to 294", std::string(255 - 4, 'x')},
               {"beyond 294", std::string(400, '\x7F')}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawNode raw;
    raw.recordExtra = c.extra;
    raw.data2 = "two";
    RawNode next;
    next.text = "next";
    ExpectDecodes(I32(2) + raw.Bytes() + next.Bytes(), TreeReadError::kNone,
                  {raw.Read(), next.Read()});
  }
}

TEST(TreeFile, BytesAfterTheLastRootAreIgnored) {
  const std::string tree = EncodeTree({Leaf("only")});
  const formats::TreeDecodeResult got = DecodeTree(tree + "trailing junk");
  EXPECT_TRUE(got.ok());
  EXPECT_EQ(got.bytesRead, tree.size());
  EXPECT_TRUE(got.roots == std::vector<TreeNodeData>{Leaf("only")});
}

// What a damaged file leaves: the nodes read so far, a node whose block is
// cut or refused still standing with what it got.
TEST(TreeFile, DamagedFilesKeepWhatWasRead) {
  const TreeNodeData blank;
  RawNode good;  // a valid node
  RawNode child1, child2;
  child1.text = "c1";
  child2.text = "c2";

  auto with = [&good](auto change) {
    RawNode r = good;
    change(r);
    return r.Bytes();
  };
  TreeNodeData onlyData1;  // Data1 read, cut in Data2
  onlyData1.data1 = "one";
  TreeNodeData parentOfCut = good.Read();
  parentOfCut.children = {child1.Read(), child2.Read(), blank};
  const std::string full = good.Bytes();

  struct Case {
    const char* name;
    std::string bytes;
    TreeReadError error;
    std::vector<TreeNodeData> roots;
  } cases[] = {
      {"no bytes", "", TreeReadError::kEndOfData, {}},
      {"root count cut", "\x01\0\0"s, TreeReadError::kEndOfData, {}},
      {"negative root count", I32(-1) + full, TreeReadError::kNegativeLength, {}},
      {"no block after the count", I32(1), TreeReadError::kEndOfData, {blank}},
      {"second root missing", I32(2) + full, TreeReadError::kEndOfData, {good.Read(), blank}},
      {"huge root count", I32(0x7FFFFFFF) + full + full, TreeReadError::kEndOfData,
       {good.Read(), good.Read(), blank}},
      {"record size cut", I32(1) + full.substr(0, 2), TreeReadError::kEndOfData, {blank}},
      {"record size 38", I32(1) + with([](RawNode& r) { r.recordSize = 38; }),
       TreeReadError::kBadRecord, {blank}},
      {"record size 0", I32(1) + with([](RawNode& r) { r.recordSize = 0; }),
       TreeReadError::kBadRecord, {blank}},
      {"negative record size", I32(1) + with([](RawNode& r) { r.recordSize = -1; }),
       TreeReadError::kBadRecord, {blank}},
      {"huge record size", I32(1) + with([](RawNode& r) { r.recordSize = 0x7FFFFFFF; }),
       TreeReadError::kEndOfData, {blank}},
      {"record cut", I32(1) + full.substr(0, 4 + 20), TreeReadError::kEndOfData, {blank}},
      {"text beyond record", I32(1) + with([](RawNode& r) { r.textLen = 5; }),
       TreeReadError::kBadRecord, {blank}},
      {"text length 255 in a short record",
       I32(1) + with([](RawNode& r) { r.textLen = 255; r.recordExtra = std::string(250, 'x'); }),
       TreeReadError::kBadRecord, {blank}},
      {"negative Data1 length", I32(1) + with([](RawNode& r) { r.data1Len = -3; }),
       TreeReadError::kNegativeLength, {blank}},
      {"negative Data2 length", I32(1) + with([](RawNode& r) { r.data2Len = -1; }),
       TreeReadError::kNegativeLength, {blank}},
      {"negative child count", I32(1) + with([](RawNode& r) { r.childCount = -1; }),
       TreeReadError::kNegativeLength, {blank}},
      {"huge Data1 length", I32(1) + with([](RawNode& r) { r.data1Len = 0x7FFFFFFF; }),
       TreeReadError::kEndOfData, {blank}},
      {"Data1 cut", I32(1) + full.substr(0, full.size() - 1), TreeReadError::kEndOfData,
       {blank}},
      {"huge Data2 length", I32(1) + with([](RawNode& r) { r.data2Len = 0x7FFFFFF0; }),
       TreeReadError::kEndOfData, {onlyData1}},
      {"huge child count",
       I32(1) + with([](RawNode& r) { r.childCount = 0x7FFFFFFF; }) + child1.Bytes() +
           child2.Bytes(),
       TreeReadError::kEndOfData, {parentOfCut}},
      {"good first root kept whole",
       EncodeTree({Group("g", {Leaf("a"), Leaf("b")})}).replace(0, 4, I32(2)) +
           with([](RawNode& r) { r.recordSize = 12; }),
       TreeReadError::kBadRecord, {Group("g", {Leaf("a"), Leaf("b")}), blank}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectDecodes(c.bytes, c.error, c.roots);
  }
}

// A chain of nested groups, depth levels deep.
std::vector<TreeNodeData> Chain(int depth) {
  TreeNodeData node = Leaf("level " + std::to_string(depth));
  for (int level = depth - 1; level >= 1; --level) {
    TreeNodeData parent = Leaf("level " + std::to_string(level));
    parent.children.push_back(std::move(node));
    node = std::move(parent);
  }
  return {node};
}

int Depth(const std::vector<TreeNodeData>& roots) {
  int depth = 0;
  for (const std::vector<TreeNodeData>* level = &roots; !level->empty();
       level = &level->back().children) {
    ++depth;
  }
  return depth;
}

TEST(TreeFile, NestingIsBounded) {
  ASSERT_EQ(Depth(Chain(formats::kMaxTreeDepth)), formats::kMaxTreeDepth);
  ExpectDecodes(EncodeTree(Chain(formats::kMaxTreeDepth)), TreeReadError::kNone,
                Chain(formats::kMaxTreeDepth));

  // One level more: the deepest allowed node keeps its fields, not its child.
  ExpectDecodes(EncodeTree(Chain(formats::kMaxTreeDepth + 1)), TreeReadError::kTooDeep,
                Chain(formats::kMaxTreeDepth));

  // A file claiming a child on every level, far deeper than the stack could
  // follow by recursion.
  RawNode raw;
  raw.childCount = 1;
  std::string deep = I32(1);
  for (int i = 0; i < 200000; ++i) deep += raw.Bytes();
  const formats::TreeDecodeResult got = DecodeTree(deep);
  EXPECT_EQ(Name(got.error), std::string(Name(TreeReadError::kTooDeep)));
  EXPECT_EQ(Depth(got.roots), formats::kMaxTreeDepth);
}

// The worked example of the format: the first bytes of the built-in tree.
const unsigned char kBuiltinStart[] = {
    0x02, 0x00, 0x00, 0x00, 0x2E, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00,
    0x00, 0x07, 0x57, 0x69, 0x6E, 0x64, 0x6F, 0x77, 0x73, 0x77, 0x69, 0x6E};

TEST(BuiltinComponents, EncodeToThe791ByteStream) {
  const std::string bytes = EncodeTree(formats::BuiltinComponentTree());
  EXPECT_EQ(bytes.size(), 791u);
  EXPECT_EQ(bytes.substr(0, sizeof kBuiltinStart),
            std::string(reinterpret_cast<const char*>(kBuiltinStart), sizeof kBuiltinStart));
  const formats::TreeDecodeResult got = DecodeTree(bytes);
  EXPECT_TRUE(got.ok());
  EXPECT_EQ(got.bytesRead, bytes.size());
  EXPECT_TRUE(got.roots == formats::BuiltinComponentTree()) << Show(got.roots);
}

TEST(BuiltinComponents, TwoUntickedGroupsOfCheckBoxes) {
  const std::vector<TreeNodeData> tree = formats::BuiltinComponentTree();
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[0].data1, "win");
  EXPECT_EQ(tree[0].children.size(), 9u);
  EXPECT_EQ(base::Cp1251ToUtf8(tree[1].text), "Компьютер");
  EXPECT_EQ(tree[1].data1, "comp");
  EXPECT_EQ(tree[1].children.size(), 3u);
  std::vector<const TreeNodeData*> flat;
  for (const TreeNodeData& group : tree) {
    flat.push_back(&group);
    for (const TreeNodeData& c : group.children) flat.push_back(&c);
  }
  EXPECT_EQ(flat[10], &tree[1]);  // the Computer group's flat index
  for (const TreeNodeData* n : flat) {
    SCOPED_TRACE(base::Cp1251ToUtf8(n->text));
    EXPECT_EQ(n->checkboxType, 1);
    EXPECT_EQ(n->stateIndex, 1);
    EXPECT_FALSE(n->checked);
    EXPECT_EQ(n->imageIndex, n->selectedIndex);
    EXPECT_TRUE(n->data2.empty());
    if (n != &tree[0] && n != &tree[1]) {
      EXPECT_TRUE(n->data1.empty());
    }
  }
}

}  // namespace
