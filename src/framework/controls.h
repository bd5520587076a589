#pragma once
// Component models. A control holds its state whether or not a window exists
// for it; the backend mirrors changes into real controls and reports user input
// back through the *FromUser setters, which fire the events.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/types.h"

namespace fw {

class Application;
class Form;
class ImageList;

enum class ControlKind { Form, Panel, GroupBox, Label, Button, CheckBox, ComboBox, Edit, ListBox, TabControl, TreeView };

class Control {
 public:
  Control(Control* parent, ControlKind kind, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  Control* Parent() const { return parent_; }
  const std::vector<Control*>& Children() const { return children_; }
  Form* OwnerForm();

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const Rect& Bounds() const { return bounds_; }
  void SetBounds(const Rect& bounds);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::string Hint;

  void SetFocus();
  bool Focused() const;

  // Backend's own data for the control (its window), owned by the backend.
  void* peer = nullptr;

 protected:
  void Changed();
  virtual void OnVisibilityChanged() {}

 private:
  Control* parent_;
  ControlKind kind_;
  std::string name_;
  std::vector<Control*> children_;
  std::string caption_;
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
};

class Panel : public Control {
 public:
  Panel(Control* parent, std::string name) : Control(parent, ControlKind::Panel, std::move(name)) {}
};

class GroupBox : public Control {
 public:
  GroupBox(Control* parent, std::string name) : Control(parent, ControlKind::GroupBox, std::move(name)) {}
};

class Label : public Control {
 public:
  Label(Control* parent, std::string name) : Control(parent, ControlKind::Label, std::move(name)) {}
  // A page's title band: a dark gradient with the caption in white bold.
  bool Header = false;
};

class Button : public Control {
 public:
  Button(Control* parent, std::string name) : Control(parent, ControlKind::Button, std::move(name)) {}
  std::function<void()> OnClick;
  bool Default = false;
  // A click by the user or by code: runs OnClick.
  void Click();
};

class CheckBox : public Control {
 public:
  CheckBox(Control* parent, std::string name) : Control(parent, ControlKind::CheckBox, std::move(name)) {}
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // The user toggled the box: state changes, then OnClick runs.
  void ClickFromUser();
  std::function<void()> OnClick;

 private:
  bool checked_ = false;
};

class ComboBox : public Control {
 public:
  ComboBox(Control* parent, std::string name) : Control(parent, ControlKind::ComboBox, std::move(name)) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  // -1 when nothing is selected.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  void SelectFromUser(int index);
  std::function<void()> OnChange;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

class Edit : public Control {
 public:
  Edit(Control* parent, std::string name) : Control(parent, ControlKind::Edit, std::move(name)) {}
  bool ReadOnly = false;
  bool MultiLine = false;
  // The caption is the text; the backend reads the user's typing into it.
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
};

class ListBox : public Control {
 public:
  ListBox(Control* parent, std::string name) : Control(parent, ControlKind::ListBox, std::move(name)) {}
  struct Item {
    std::string text;
    int imageIndex = -1;
  };
  const std::vector<Item>& Items() const { return items_; }
  void SetItems(std::vector<Item> items);
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  void ClickFromUser(int index);
  std::function<void()> OnClick;
  ImageList* Images = nullptr;

 private:
  std::vector<Item> items_;
  int itemIndex_ = -1;
};

// Tabs over child panels: exactly the panel of the selected tab is visible.
class TabControl : public Control {
 public:
  TabControl(Control* parent, std::string name) : Control(parent, ControlKind::TabControl, std::move(name)) {}
  // The page must be a child of this control; its caption is the tab's text.
  void AddTab(Panel& page);
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  Panel& Tab(int index) { return *tabs_.at(index); }
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int index);

 private:
  std::vector<Panel*> tabs_;
  int tabIndex_ = 0;
};

}  // namespace fw
