#pragma once
// The little window toolkit of stavlo.dll: one modal form base class with its
// own message loop, owned GDI objects, layout in 96-dpi units.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace companion {

extern HINSTANCE g_instance;  // this library

// Owns one GDI object.
template <typename H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, nullptr);
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(H h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};
using Font = GdiObject<HFONT>;

// The system's message-box font (Segoe UI or Tahoma), optionally scaled and
// bold: the same face as the system's own dialogs.
Font CreateUiFont(int pointSize = 0, bool bold = false);

int ScreenDpi();
// 96-dpi units to pixels.
int Px(int units);

// The work area of the monitor of `window` (the primary one when null).
RECT WorkAreaNear(HWND window);

// Text of a window as UTF-16.
std::wstring WindowText(HWND hwnd);

// Disables the thread's enabled top-level windows while a form is modal, as
// the system does for a task-modal message box, and enables them again.
class ThreadWindowsDisabled {
 public:
  ThreadWindowsDisabled();
  ~ThreadWindowsDisabled() { Restore(); }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;
  void Restore();

 private:
  static BOOL CALLBACK Collect(HWND hwnd, LPARAM self);
  std::vector<HWND> disabled_;
};

struct FormArgs {
  const wchar_t* className = nullptr;
  const wchar_t* title = L"";
  int clientWidth = 300;   // 96-dpi units
  int clientHeight = 200;  // 96-dpi units
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  bool activate = true;           // false: shown without taking the focus
  bool disableThreadWindows = true;
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  HCURSOR cursor = nullptr;  // arrow when null
};

// A top-level window that runs its own message loop until it is done and is
// destroyed before ShowModal returns. Keyboard navigation comes from
// IsDialogMessage: Tab, Enter (the default button) and Esc (IDCANCEL).
class Form {
 public:
  explicit Form(const FormArgs& args) : args_(args) {}
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Returns the value given to EndModal (IDCANCEL when closed otherwise).
  int ShowModal();

 protected:
  // Creates the child controls (the window exists, not yet shown).
  virtual void OnCreate() {}
  // Everything not handled here goes on to the defaults below.
  virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }
  // Esc, the close box and WM_CLOSE arrive here as IDCANCEL.
  virtual void OnCommand(int id, int code, HWND control) {
    if (id == IDCANCEL) EndModal(IDCANCEL);
  }
  virtual void OnResize(int width, int height) {}
  // A chance to take keys before the dialog navigation does.
  virtual bool PreTranslate(MSG& msg) { return false; }

  void EndModal(int result);
  bool Ended() const { return ended_; }
  // Runs the messages that are waiting, as the modal loop would, for work done
  // inside a handler. Returns false once the form should end.
  bool PumpWaiting();

  HWND hwnd() const { return hwnd_; }
  HFONT font() const { return font_.get(); }
  int defaultButton = IDOK;
  HWND focusOnShow = nullptr;  // the first control in the tab order when null

  // A child control in 96-dpi units, with the form's font.
  HWND AddControl(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id,
                  DWORD exStyle = 0);
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void Move(int id, int x, int y, int w, int h) const;  // pixels
  void SetMinTrackSize(int widthUnits, int heightUnits) { minWidth_ = widthUnits, minHeight_ = heightUnits; }
  int MessageBoxRu(const wchar_t* text, UINT flags) const;

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  bool RegisterClassOnce();
  void Dispatch(MSG& msg);

  FormArgs args_;
  HWND hwnd_ = nullptr;
  Font font_;
  bool ended_ = false;
  bool quitSeen_ = false;
  int quitCode_ = 0;
  int result_ = IDCANCEL;
  int minWidth_ = 0, minHeight_ = 0;
  bool classRegistered_ = false;
};

}  // namespace companion
