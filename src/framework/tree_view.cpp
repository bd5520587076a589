#include "framework/tree_view.h"

namespace fw {

TreeNode& TreeNode::AddChild() {
  children_.push_back(std::make_unique<TreeNode>());
  children_.back()->parent_ = this;
  return *children_.back();
}

void TreeNode::SetExpandedAll(bool expanded) {
  // Iterative: a tree read from a file may be deep.
  std::vector<TreeNode*> stack{this};
  while (!stack.empty()) {
    TreeNode* n = stack.back();
    stack.pop_back();
    n->Expanded = expanded;
    for (auto& c : n->children_) stack.push_back(c.get());
  }
}

void TreeView::Clear() {
  root_.Clear();
  Changed();
}

void TreeView::FullCollapse() {
  root_.SetExpandedAll(false);
  Changed();
}

void TreeView::FullExpand() {
  root_.SetExpandedAll(true);
  Changed();
}

}  // namespace fw
