// The three trees and their files.
#include <stdexcept>

#include "base/text.h"
#include "formats/builtin_components.h"
#include "formats/tree_file.h"
#include "main/main_form.h"

namespace {

// Larger files are no tree of this program.
constexpr size_t kMaxTreeFileBytes = 64u << 20;

std::string Cp(const std::string& utf8) {
  auto cp = base::Utf8ToCp1251(utf8);
  if (!cp) throw std::runtime_error("Текст не может быть сохранён в кодировке Windows-1251: " + utf8);
  return *cp;
}

formats::TreeNodeData ToData(const fw::TreeNode& n) {
  formats::TreeNodeData d;
  d.text = Cp(n.Text);
  d.data1 = Cp(n.Data1);
  d.data2 = Cp(n.Data2);
  d.imageIndex = n.ImageIndex;
  d.selectedIndex = n.SelectedIndex;
  d.stateIndex = n.StateIndex;
  d.overlayIndex = n.OverlayIndex;
  d.checkboxType = n.CheckboxType;
  d.checked = n.Checked;
  d.grayed = n.Grayed;
  d.dataWord = n.DataWord;
  for (int i = 0; i < n.Count(); ++i) d.children.push_back(ToData(n.Item(i)));
  return d;
}

void FromData(const formats::TreeNodeData& d, fw::TreeNode& n) {
  n.Text = base::Cp1251ToUtf8(d.text);
  n.Data1 = base::Cp1251ToUtf8(d.data1);
  n.Data2 = base::Cp1251ToUtf8(d.data2);
  n.ImageIndex = d.imageIndex;
  n.SelectedIndex = d.selectedIndex;
  n.StateIndex = d.stateIndex;
  n.OverlayIndex = d.overlayIndex;
  n.CheckboxType = d.checkboxType;
  n.Checked = d.checked;
  n.Grayed = d.grayed;
  n.DataWord = d.dataWord;
  for (const auto& c : d.children) FromData(c, n.AddChild());
}

}  // namespace

void TMainForm::SaveTreeToFile(fw::TreeView& tree, const std::string& path) {
  std::vector<formats::TreeNodeData> roots;
  for (int i = 0; i < tree.Items().Count(); ++i) roots.push_back(ToData(tree.Items().Item(i)));
  if (!os.WriteFileAtomic(path, formats::EncodeTree(roots)))
    throw std::runtime_error("Cannot create file " + path);
}

void TMainForm::LoadTreeFromFile(fw::TreeView& tree, const std::string& path) {
  auto bytes = os.ReadFile(path, kMaxTreeFileBytes);
  if (!bytes) throw std::runtime_error("Cannot open file " + path);
  tree.Items().Clear();
  formats::TreeDecodeResult read = formats::DecodeTree(*bytes);
  // The nodes read before an error stay.
  for (const auto& root : read.roots) FromData(root, tree.Items().AddChild());
  tree.NodesChanged();
  if (!read.ok()) throw std::runtime_error("Read error in " + path);
}

void TMainForm::LoadBuiltinComponents() {
  ComponentTree.Items().Clear();
  for (const auto& root : formats::BuiltinComponentTree()) FromData(root, ComponentTree.Items().AddChild());
  ComponentTree.NodesChanged();
}
