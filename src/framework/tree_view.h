#pragma once
// A tree of nodes with the fields the program's three trees keep; the tree
// view control shows them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

class TreeNode {
 public:
  TreeNode() = default;
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  std::string Text, Data1, Data2;
  int32_t ImageIndex = -1, SelectedIndex = -1, StateIndex = -1, OverlayIndex = -1;
  uint8_t CheckboxType = 0;
  bool Checked = false, Grayed = false;
  uint32_t DataWord = 0;
  bool Expanded = false;

  TreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TreeNode& Item(int index) { return *children_.at(index); }
  const TreeNode& Item(int index) const { return *children_.at(index); }
  TreeNode& AddChild();
  void Clear() { children_.clear(); }
  void SetExpandedAll(bool expanded);

 private:
  TreeNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children_;
};

class TreeView : public Control {
 public:
  TreeView(Control* parent, std::string name) : Control(parent, ControlKind::TreeView, std::move(name)) {}
  // The invisible root: its children are the tree's root-level nodes.
  TreeNode& Items() { return root_; }
  const TreeNode& Items() const { return root_; }
  void Clear();
  void FullCollapse();
  void FullExpand();
  // The backend shows the nodes again after a change of the node tree.
  void NodesChanged() { Changed(); }

 private:
  TreeNode root_;
};

}  // namespace fw
