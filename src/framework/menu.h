#pragma once
// Menus as item trees: the popup menus and the options window's menu bar.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/types.h"

namespace fw {

class Application;
class ImageList;

// What an owner-drawn menu is drawn with; the themes provide the drawing.
struct DrawModule {
  std::string name;
};

class MenuItem {
 public:
  MenuItem() = default;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  std::string Caption;
  std::string Name;
  std::string Hint;
  std::string ShortCut;  // display text such as "F1"
  int ImageIndex = -1;
  bool Enabled = true;
  bool Visible = true;
  bool Checked = false;
  std::function<void()> OnClick;

  bool IsSeparator() const { return Caption == "-"; }
  MenuItem& Add(const std::string& caption, std::function<void()> onClick = {});
  MenuItem& AddSeparator() { return Add("-"); }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  MenuItem& Item(int index) { return *items_.at(index); }
  const MenuItem& Item(int index) const { return *items_.at(index); }
  MenuItem* Find(const std::string& name);
  // Runs OnClick as a user's choice would.
  void Click();

 private:
  std::vector<std::unique_ptr<MenuItem>> items_;
};

class PopupMenu {
 public:
  explicit PopupMenu(Application& app) : app_(app) {}
  MenuItem Items;
  ImageList* Images = nullptr;
  const DrawModule* Module = nullptr;  // null: drawn by the system
  // Shows the menu with its top-left corner at a screen point and returns when
  // it has closed; the chosen item's OnClick runs after that.
  void Popup(Point screen);

 private:
  Application& app_;
};

}  // namespace fw
