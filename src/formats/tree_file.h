#pragma once
// The tree files (links, favourite folders, system components): a root count,
// then every node depth first, parent before children, each as
//   RecordSize (int32) | record of RecordSize bytes | Data1 bytes | Data2 bytes
// where the record holds, packed and little-endian: ImageIndex, SelectedIndex,
// StateIndex, OverlayIndex (int32 each), CheckboxType (byte), check flags
// (bit 0 Checked, bit 1 Grayed), 4 reserved bytes, DataWord (uint32), the
// lengths of Data1 and Data2 and the number of children (int32 each), the text
// length L (byte) and the L text bytes. RecordSize is 39 + L.
//
// Strings are Windows-1251 bytes, as stored; nothing here converts them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace formats {

struct TreeNodeData {
  std::string text;   // at most kMaxTreeTextBytes survive a save
  std::string data1;  // a zero byte ends it on load
  std::string data2;  // likewise
  std::int32_t imageIndex = -1;
  std::int32_t selectedIndex = -1;
  std::int32_t stateIndex = -1;  // 1 after load for every node with a check box
  std::int32_t overlayIndex = -1;
  std::uint8_t checkboxType = 0;  // 0 none, 1 check box, 2 radio button
  bool checked = false;
  bool grayed = false;
  std::uint32_t dataWord = 0;
  std::vector<TreeNodeData> children;

  bool operator==(const TreeNodeData& other) const;
  bool operator!=(const TreeNodeData& other) const { return !(*this == other); }
};

inline constexpr std::size_t kMaxTreeTextBytes = 255;
inline constexpr std::int32_t kTreeRecordBaseSize = 39;  // a record with no text

// Roots are at depth 1. No tree of this program needs more levels than this
// (a cascade of submenus that deep is already unusable), and the bound keeps
// every recursive consumer of a loaded tree, the node destructors included,
// far from the end of the stack. A file that nests deeper is refused.
inline constexpr int kMaxTreeDepth = 64;

// The stream of the whole tree. Text is cut to kMaxTreeTextBytes; a node's
// data strings and child list must each stay below 2 GiB entries (they are
// stored as signed 32-bit counts). Iterative: any depth encodes.
std::string EncodeTree(const std::vector<TreeNodeData>& roots);

enum class TreeReadError {
  kNone,
  kEndOfData,          // a read ran past the end of the bytes
  kBadRecord,          // RecordSize below 39, or a text length beyond the record
  kNegativeLength,     // a negative root count, child count or data length
  kTooDeep,            // a node would sit below depth kMaxTreeDepth
};

struct TreeDecodeResult {
  std::vector<TreeNodeData> roots;
  TreeReadError error = TreeReadError::kNone;
  std::size_t bytesRead = 0;  // where the tree ended or the error was found

  bool ok() const { return error == TreeReadError::kNone; }
};

// Reads a tree stream. Any error stops the load, and what was read so far
// stays, the way the loader builds the tree in place:
//  - a node is appended to its parent (or the root level) before its block is
//    read, so a node whose block is cut short or fails a check is still there;
//  - its fields are filled as the block yields them: Data1 once all of its
//    bytes are there, Data2 likewise, then text, indexes, check box and flags
//    once both data strings are read; a record that fails a check, or is cut
//    short, fills nothing, leaving a node with the defaults above;
//  - its children are appended one at a time, so a short child list ends in
//    the node whose block was missing.
// A record fails its check when RecordSize is below 39, its text length runs
// past the record, or a data length or the child count is negative (the writer
// never makes one). A node at depth kMaxTreeDepth that claims children keeps
// its own fields and gets none. A count or length larger than the bytes left
// is never trusted for an allocation: it simply runs into the end of the data.
// A record longer than its text needs is accepted and all its extra bytes are
// skipped. Bytes after the last root are ignored. A CheckboxType other than 0
// sets StateIndex to 1, whatever the record held.
TreeDecodeResult DecodeTree(const std::string& bytes);

}  // namespace formats
