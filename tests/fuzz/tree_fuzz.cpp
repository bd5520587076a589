// The tree-file reader from arbitrary bytes: what it keeps is always a tree
// the writer can store and the reader gets back unchanged, no bigger than the
// input warrants and never deeper than the bound.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "formats/exe_kind.h"
#include "formats/tree_file.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "tree_fuzz: %s\n", what);
    std::abort();
  }
}

// One node block with no text and no data: what a node cut short costs.
constexpr std::size_t kBlankNodeBytes = 4 + 39;

int Depth(const std::vector<formats::TreeNodeData>& roots) {
  int deepest = 0;
  std::vector<std::pair<const std::vector<formats::TreeNodeData>*, int>> pending{{&roots, 1}};
  while (!pending.empty()) {
    auto [nodes, depth] = pending.back();
    pending.pop_back();
    for (const formats::TreeNodeData& n : *nodes) {
      if (depth > deepest) deepest = depth;
      if (!n.children.empty()) pending.emplace_back(&n.children, depth + 1);
    }
  }
  return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  const formats::TreeDecodeResult first = formats::DecodeTree(input);
  Check(first.bytesRead <= size, "read past the input");
  Check(Depth(first.roots) <= formats::kMaxTreeDepth, "kept a tree deeper than the bound");

  const std::string stored = formats::EncodeTree(first.roots);
  if (first.ok()) {
    Check(stored.size() <= first.bytesRead, "a clean read stored bigger than it was");
    // Every byte of a clean tree is needed: without its last one it fails.
    Check(!formats::DecodeTree(input.substr(0, first.bytesRead - 1)).ok(),
          "a cut tree read cleanly");
  } else {
    Check(stored.size() <= (first.bytesRead < 4 ? 4 : first.bytesRead) + kBlankNodeBytes,
          "a damaged read stored out of proportion");
  }

  const formats::TreeDecodeResult second = formats::DecodeTree(stored);
  Check(second.ok(), "what the writer made does not read");
  Check(second.bytesRead == stored.size(), "the writer's stream was not read to its end");
  Check(second.roots == first.roots, "the tree changed through a save");
  Check(formats::EncodeTree(second.roots) == stored, "saving again changed the bytes");

  Check(formats::ExeKindOfBytes(input) <= formats::kExeWin32, "an unknown executable kind");
  return 0;
}
