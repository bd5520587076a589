#include "formats/tree_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace formats {

namespace {

// Offsets inside a node record.
constexpr std::size_t kImageAt = 0;
constexpr std::size_t kSelectedAt = 4;
constexpr std::size_t kStateAt = 8;
constexpr std::size_t kOverlayAt = 12;
constexpr std::size_t kCheckboxAt = 16;
constexpr std::size_t kFlagsAt = 17;
constexpr std::size_t kDataWordAt = 22;
constexpr std::size_t kData1LenAt = 26;
constexpr std::size_t kData2LenAt = 30;
constexpr std::size_t kChildCountAt = 34;
constexpr std::size_t kTextLenAt = 38;
constexpr std::size_t kTextAt = 39;

constexpr std::uint8_t kCheckedBit = 1;
constexpr std::uint8_t kGrayedBit = 2;

void PutU32(std::string& out, std::uint32_t v) {
  const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
  out.append(b, 4);
}

void PutI32(std::string& out, std::int32_t v) { PutU32(out, static_cast<std::uint32_t>(v)); }

void PutCount(std::string& out, std::size_t n) {
  PutU32(out, static_cast<std::uint32_t>(n));
}

std::uint32_t GetU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t GetI32(const unsigned char* p) {
  // Two's complement without relying on an implementation-defined conversion.
  const std::uint32_t u = GetU32(p);
  return u <= 0x7FFFFFFFu ? static_cast<std::int32_t>(u)
                          : -static_cast<std::int32_t>(~u) - 1;
}

void EncodeNode(std::string& out, const TreeNodeData& node) {
  const std::size_t textLen = std::min(node.text.size(), kMaxTreeTextBytes);
  PutI32(out, kTreeRecordBaseSize + static_cast<std::int32_t>(textLen));
  PutI32(out, node.imageIndex);
  PutI32(out, node.selectedIndex);
  PutI32(out, node.stateIndex);
  PutI32(out, node.overlayIndex);
  out.push_back(static_cast<char>(node.checkboxType));
  out.push_back(static_cast<char>((node.checked ? kCheckedBit : 0) |
                                  (node.grayed ? kGrayedBit : 0)));
  PutU32(out, 0);  // reserved
  PutU32(out, node.dataWord);
  PutCount(out, node.data1.size());
  PutCount(out, node.data2.size());
  PutCount(out, node.children.size());
  out.push_back(static_cast<char>(textLen));
  out.append(node.text, 0, textLen);
  out.append(node.data1);
  out.append(node.data2);
}

class Input {
 public:
  explicit Input(const std::string& bytes)
      : data_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()) {}

  std::size_t left() const { return size_ - pos_; }
  std::size_t pos() const { return pos_; }

  // nullptr, consuming nothing, when fewer than n bytes are left.
  const unsigned char* Take(std::size_t n) {
    if (n > left()) return nullptr;
    const unsigned char* at = data_ + pos_;
    pos_ += n;
    return at;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// A data string as the loader keeps it: up to the first zero byte.
std::string UpToZero(const unsigned char* p, std::size_t n) {
  const void* zero = std::memchr(p, 0, n);
  if (zero) n = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - p);
  return std::string(reinterpret_cast<const char*>(p), n);
}

// Reads one node block, its children excepted, into node (already appended).
// Gives the child count, or the error with node filled as far as it got.
TreeReadError DecodeNode(Input& in, TreeNodeData& node, std::int32_t& childCount) {
  const unsigned char* sizeBytes = in.Take(4);
  if (!sizeBytes) return TreeReadError::kEndOfData;
  const std::int32_t recordSize = GetI32(sizeBytes);
  if (recordSize < kTreeRecordBaseSize) return TreeReadError::kBadRecord;
  const unsigned char* rec = in.Take(static_cast<std::size_t>(recordSize));
  if (!rec) return TreeReadError::kEndOfData;

  const std::size_t textLen = rec[kTextLenAt];
  if (kTextAt + textLen > static_cast<std::size_t>(recordSize)) return TreeReadError::kBadRecord;
  const std::int32_t data1Len = GetI32(rec + kData1LenAt);
  const std::int32_t data2Len = GetI32(rec + kData2LenAt);
  childCount = GetI32(rec + kChildCountAt);
  if (data1Len < 0 || data2Len < 0 || childCount < 0) return TreeReadError::kNegativeLength;

  const unsigned char* data1 = in.Take(static_cast<std::size_t>(data1Len));
  if (!data1) return TreeReadError::kEndOfData;
  node.data1 = UpToZero(data1, static_cast<std::size_t>(data1Len));
  const unsigned char* data2 = in.Take(static_cast<std::size_t>(data2Len));
  if (!data2) return TreeReadError::kEndOfData;
  node.data2 = UpToZero(data2, static_cast<std::size_t>(data2Len));

  node.text.assign(reinterpret_cast<const char*>(rec + kTextAt), textLen);
  node.imageIndex = GetI32(rec + kImageAt);
  node.selectedIndex = GetI32(rec + kSelectedAt);
  node.stateIndex = GetI32(rec + kStateAt);
  node.overlayIndex = GetI32(rec + kOverlayAt);
  node.dataWord = GetU32(rec + kDataWordAt);
  node.checkboxType = rec[kCheckboxAt];
  node.checked = (rec[kFlagsAt] & kCheckedBit) != 0;
  node.grayed = (rec[kFlagsAt] & kGrayedBit) != 0;
  // The tree view gives every node with a check box the state image of one.
  if (node.checkboxType != 0) node.stateIndex = 1;
  return TreeReadError::kNone;
}

bool SameFields(const TreeNodeData& a, const TreeNodeData& b) {
  return a.text == b.text && a.data1 == b.data1 && a.data2 == b.data2 &&
         a.imageIndex == b.imageIndex && a.selectedIndex == b.selectedIndex &&
         a.stateIndex == b.stateIndex && a.overlayIndex == b.overlayIndex &&
         a.checkboxType == b.checkboxType && a.checked == b.checked && a.grayed == b.grayed &&
         a.dataWord == b.dataWord && a.children.size() == b.children.size();
}

}  // namespace

bool TreeNodeData::operator==(const TreeNodeData& other) const {
  // Iterative, like the codec, so that no depth of tree can exhaust the stack.
  if (!SameFields(*this, other)) return false;
  std::vector<std::pair<const TreeNodeData*, const TreeNodeData*>> pending{{this, &other}};
  while (!pending.empty()) {
    auto [a, b] = pending.back();
    pending.pop_back();
    for (std::size_t i = 0; i < a->children.size(); ++i) {
      if (!SameFields(a->children[i], b->children[i])) return false;
      if (!a->children[i].children.empty()) {
        pending.emplace_back(&a->children[i], &b->children[i]);
      }
    }
  }
  return true;
}

namespace {

// Calls visit(node) for every node in file order, parent before children.
template <typename Visit>
void DepthFirst(const std::vector<TreeNodeData>& roots, Visit visit) {
  struct Level {
    const std::vector<TreeNodeData>* nodes;
    std::size_t next;
  };
  std::vector<Level> levels{{&roots, 0}};
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.nodes->size()) {
      levels.pop_back();
      continue;
    }
    const TreeNodeData& node = (*level.nodes)[level.next++];
    visit(node);
    if (!node.children.empty()) levels.push_back({&node.children, 0});
  }
}

}  // namespace

std::string EncodeTree(const std::vector<TreeNodeData>& roots) {
  // Sized first: growing a large stream step by step costs more than the
  // encoding itself.
  std::size_t size = 4;
  DepthFirst(roots, [&size](const TreeNodeData& node) {
    size += 4 + kTextAt + std::min(node.text.size(), kMaxTreeTextBytes) + node.data1.size() +
            node.data2.size();
  });
  std::string out;
  out.reserve(size);
  PutCount(out, roots.size());
  DepthFirst(roots, [&out](const TreeNodeData& node) { EncodeNode(out, node); });
  return out;
}

TreeDecodeResult DecodeTree(const std::string& bytes) {
  TreeDecodeResult result;
  Input in(bytes);

  const unsigned char* countBytes = in.Take(4);
  if (!countBytes) {
    result.error = TreeReadError::kEndOfData;
    return result;
  }
  const std::int32_t rootCount = GetI32(countBytes);
  if (rootCount < 0) {
    result.error = TreeReadError::kNegativeLength;
    result.bytesRead = in.pos();
    return result;
  }

  // One entry per open level: the list being filled and how many nodes it
  // still expects. Its size is the depth of the next node. Nothing is reserved
  // from a count read from the file.
  struct Level {
    std::vector<TreeNodeData>* nodes;
    std::int32_t expected;
  };
  std::vector<Level> levels{{&result.roots, rootCount}};
  while (!levels.empty()) {
    if (levels.back().expected == 0) {
      levels.pop_back();
      continue;
    }
    --levels.back().expected;
    std::vector<TreeNodeData>& nodes = *levels.back().nodes;
    nodes.emplace_back();
    TreeNodeData& node = nodes.back();

    std::int32_t childCount = 0;
    result.error = DecodeNode(in, node, childCount);
    if (result.error != TreeReadError::kNone) break;
    if (childCount > 0) {
      if (levels.size() >= static_cast<std::size_t>(kMaxTreeDepth)) {
        result.error = TreeReadError::kTooDeep;
        break;
      }
      levels.push_back({&node.children, childCount});
    }
  }
  result.bytesRead = in.pos();
  return result;
}

}  // namespace formats
