#include "framework/form.h"

#include "framework/application.h"

namespace fw {

Form::Form(Application& app, std::string className)
    : Control(nullptr, ControlKind::Form, className), app_(app), className_(std::move(className)) {
  SetVisible(false);
}

Form::~Form() {
  if (realized_) app_.DestroyForm(*this);
}

void Form::Realize() {
  if (realized_) return;
  app_.RealizeForm(*this);
  realized_ = true;
}

void Form::OnVisibilityChanged() {
  if (Visible()) {
    if (OnShow) OnShow();
  } else {
    if (OnHide) OnHide();
  }
}

void Form::Close() {
  if (closing_) return;
  closing_ = true;
  if (OnClose) OnClose();
  if (app_.MainForm == this) app_.Terminate();
}

void Form::DisableCloseCommand() {
  closeDisabled_ = true;
  if (realized_) app_.DisableCloseCommand(*this);
}

void Form::BringToForeground() {
  if (realized_) app_.BringToForeground(*this);
}

void Form::Minimize() {
  if (realized_) app_.MinimizeForm(*this);
}

}  // namespace fw
