#include "framework/controls.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/form.h"

namespace fw {

Control::Control(Control* parent, ControlKind kind, std::string name)
    : parent_(parent), kind_(kind), name_(std::move(name)) {
  if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

Form* Control::OwnerForm() {
  Control* c = this;
  while (c->parent_) c = c->parent_;
  return c->kind_ == ControlKind::Form ? static_cast<Form*>(c) : nullptr;
}

void Control::Changed() {
  Form* form = OwnerForm();
  if (form && form->Realized()) form->App().ControlChanged(*this);
}

void Control::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

void Control::SetBounds(const Rect& bounds) {
  bounds_ = bounds;
  Changed();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed();
  OnVisibilityChanged();
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void Control::SetFocus() {
  Form* form = OwnerForm();
  if (form && form->Realized()) form->App().FocusControl(*this);
}

bool Control::Focused() const {
  Form* form = const_cast<Control*>(this)->OwnerForm();
  return form && form->Realized() && form->App().IsFocused(*this);
}

void Button::Click() {
  if (OnClick) OnClick();
}

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
}

void CheckBox::ClickFromUser() {
  SetChecked(!checked_);
  if (OnClick) OnClick();
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Changed();
}

void ComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (itemIndex_ == index) return;
  itemIndex_ = index;
  Changed();
}

void ComboBox::SelectFromUser(int index) {
  SetItemIndex(index);
  if (OnChange) OnChange();
}

void ListBox::SetItems(std::vector<Item> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Changed();
}

void ListBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (itemIndex_ == index) return;
  itemIndex_ = index;
  Changed();
}

void ListBox::ClickFromUser(int index) {
  SetItemIndex(index);
  if (OnClick) OnClick();
}

void TabControl::AddTab(Panel& page) {
  tabs_.push_back(&page);
  page.SetVisible(tabs_.size() - 1 == static_cast<size_t>(tabIndex_));
  Changed();
}

void TabControl::SetTabIndex(int index) {
  if (index < 0 || index >= TabCount()) return;
  tabIndex_ = index;
  for (int i = 0; i < TabCount(); ++i) tabs_[i]->SetVisible(i == index);
  Changed();
}

}  // namespace fw
