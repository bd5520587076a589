#include "framework/headless/headless.h"

#include <algorithm>
#include <stdexcept>

#include "base/text.h"
#include "base/winpath.h"
#include "framework/guard.h"

namespace headless {

Application::Application() {
  OnException = [](const std::string&) {};
}

uint32_t Application::RegisterMessage(const std::string& name) {
  // The system compares registered names without case.
  std::string key = base::AsciiUpper(name);
  auto it = registered_.find(key);
  if (it != registered_.end()) return it->second;
  return registered_[key] = nextId_++;
}

uint32_t Application::RegisteredId(const std::string& name) const {
  auto it = registered_.find(base::AsciiUpper(name));
  return it == registered_.end() ? 0 : it->second;
}

bool Application::Post(uintptr_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (window != 0 && !forms_.count(window)) return false;
  queue_.push_back({window, msg, wParam, lParam});
  return true;
}

void Application::Run() {
  while (!Terminated()) {
    ProcessMessages();
    if (Terminated()) break;
    if (queue_.empty() && timers_.empty()) break;  // nothing could ever happen
    WaitForWork(clock_ + 60000);
  }
}

void Application::ProcessMessages() {
  // Only what is queued now; messages posted by the handlers wait for the next round.
  size_t count = queue_.size();
  while (count-- > 0 && !queue_.empty()) {
    fw::Message m = queue_.front();
    queue_.pop_front();
    filtered.push_back(m);
    Filter(m);
    auto form = forms_.find(m.window);
    if (form != forms_.end()) {
      fw::WindowMessage wm;
      wm.message = m;
      SendToForm(*form->second, wm);
    }
  }
  FireDueTimers();
}

void Application::WaitForWork(uint32_t until) {
  if (!queue_.empty()) return;
  uint32_t next = until;
  for (auto& [timer, due] : timers_)
    if (static_cast<int32_t>(due - next) < 0) next = due;
  if (static_cast<int32_t>(next - clock_) > 0) clock_ = next;
  FireDueTimers();
}

void Application::FireDueTimers() {
  std::vector<fw::Timer*> due;
  for (auto& [timer, at] : timers_)
    if (static_cast<int32_t>(clock_ - at) >= 0) due.push_back(timer);
  for (fw::Timer* timer : due) {
    auto it = timers_.find(timer);
    if (it == timers_.end()) continue;  // stopped by an earlier handler
    it->second = clock_ + std::max<uint32_t>(1, timer->Interval());
    try {
      timer->Fire();
    } catch (...) {
      ReportException();
    }
  }
}

void Application::TimerChanged(fw::Timer& timer) {
  if (timer.Enabled())
    timers_[&timer] = clock_ + std::max<uint32_t>(1, timer.Interval());
  else
    timers_.erase(&timer);
}

void Application::RealizeForm(fw::Form& form) {
  uintptr_t handle = nextHandle_++;
  form.SetHandle(handle);
  forms_[handle] = &form;
}

void Application::DestroyForm(fw::Form& form) { forms_.erase(form.Handle()); }

void Application::MinimizeForm(fw::Form& form) {
  fw::WindowMessage wm;
  wm.message = {form.Handle(), fw::kWmSysCommand, fw::kScMinimize, 0};
  SendToForm(form, wm);
}

intptr_t Application::SendToForm(fw::Form& form, fw::WindowMessage& message) {
  bool handled = false;
  try {
    if (form.OnWindowMessage) form.OnWindowMessage(message, handled);
  } catch (...) {
    ReportException();
  }
  return message.result;
}

void Application::TrayChanged(fw::TrayIcon& tray) {
  auto& last = lastBalloon_[&tray];
  const auto& now = tray.CurrentBalloon();
  bool same = last.has_value() == now.has_value() &&
              (!now || (last->title == now->title && last->text == now->text &&
                        last->icon == now->icon && last->timeoutSeconds == now->timeoutSeconds));
  if (!same) balloonLog.push_back(now);
  last = now;
}

namespace {
void CollectCaptions(const fw::MenuItem& item, std::vector<std::string>& out) {
  for (int i = 0; i < item.Count(); ++i) {
    out.push_back(item.Item(i).Caption);
    CollectCaptions(item.Item(i), out);
  }
}
}  // namespace

fw::MenuItem* Application::TrackPopup(fw::PopupMenu& menu, fw::Point screen) {
  PopupRecord record{screen, menu.Module ? menu.Module->name : std::string(), {}};
  CollectCaptions(menu.Items, record.captions);
  popups.push_back(record);
  return onPopup ? onPopup(menu) : nullptr;
}

// Dialogs

fw::MsgResult Dialogs::Ask(const std::string& text, const std::string& caption,
                                  fw::MsgKind kind, fw::MsgButtons buttons) {
  shown.push_back({text, caption, kind, buttons});
  if (!answers.empty()) {
    fw::MsgResult r = answers.front();
    answers.pop_front();
    return r;
  }
  return buttons == fw::MsgButtons::YesNo ? fw::MsgResult::No : fw::MsgResult::Ok;
}

// Os

std::string Os::Key(const std::string& path) { return base::UpperCase(path); }

bool Os::FolderReadOnly(const std::string& path) const {
  std::string folder = Key(base::ExtractFilePath(path));
  for (const auto& f : readOnlyFolders)
    if (Key(base::IncludeTrailingBackslash(f)) == folder) return true;
  return false;
}

bool Os::FileExists(const std::string& path) { return files_.count(Key(path)) != 0; }

std::optional<std::string> Os::ReadFile(const std::string& path, size_t maxBytes) {
  auto it = files_.find(Key(path));
  if (it == files_.end() || it->second.bytes.size() > maxBytes) return std::nullopt;
  return it->second.bytes;
}

bool Os::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  auto it = files_.find(Key(path));
  if (it != files_.end() && it->second.readOnly) return false;
  if (FolderReadOnly(path)) return false;
  files_[Key(path)].bytes = bytes;
  return true;
}

void Os::PutFile(const std::string& path, const std::string& bytes, bool readOnly) {
  files_[Key(path)] = File{bytes, readOnly};
}

std::optional<std::string> Os::FileBytes(const std::string& path) const {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.bytes;
}

void Os::RemoveFile(const std::string& path) { files_.erase(Key(path)); }

void Os::PutLibraryExport(const std::string& libraryPath, const std::string& name, Export fn) {
  libraries_[Key(libraryPath)][name] = std::move(fn);
}

std::optional<uint32_t> Os::CallLibrary(const std::string& libraryPath,
                                        const std::string& exportName, const fw::LibArg& arg) {
  auto lib = libraries_.find(Key(libraryPath));
  bool found = lib != libraries_.end() && lib->second.count(exportName);
  libraryCalls.push_back({libraryPath, exportName, arg, found});
  if (!found) return std::nullopt;
  std::optional<uint32_t> result;
  // Like the real call: whatever the export does wrong stays inside the guard.
  fw::Guarded([&] { result = lib->second[exportName](arg); });
  return result;
}

std::vector<std::string> Os::CalledExports() const {
  std::vector<std::string> names;
  for (const auto& c : libraryCalls) names.push_back(c.exportName);
  return names;
}

void Os::MouseEvent(uint32_t flags, int dx, int dy, uint32_t data, uintptr_t extra) {
  mouseEvents.push_back({flags, dx, dy, data, extra});
}

}  // namespace headless
