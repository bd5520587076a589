#pragma once
// One owner per system handle. Every owned handle counts itself, so tests can
// see a count that grows with use (the system's own counter is not there in Wine).
#include <windows.h>

#include <atomic>
#include <utility>

namespace win32 {

struct HandleCounts {
  std::atomic<int> icons{0}, gdiObjects{0}, menus{0}, kernelObjects{0}, libraries{0};
  int Total() const { return icons + gdiObjects + menus + kernelObjects + libraries; }
};
HandleCounts& LiveHandles();

template <class Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;
  Owned() = default;
  explicit Owned(Handle h) : h_(h) {
    if (Valid()) ++Traits::Counter();
  }
  ~Owned() { Reset(); }
  Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, Traits::Invalid())) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, Traits::Invalid());
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return h_; }
  bool Valid() const { return h_ != Traits::Invalid() && h_ != nullptr; }
  explicit operator bool() const { return Valid(); }
  void Reset(Handle h = Traits::Invalid()) {
    if (Valid()) {
      Traits::Close(h_);
      --Traits::Counter();
    }
    h_ = h;
    if (Valid()) ++Traits::Counter();
  }
  // Hands the handle to someone who will destroy it (e.g. a menu bar given to a window).
  Handle Release() {
    if (Valid()) --Traits::Counter();
    return std::exchange(h_, Traits::Invalid());
  }

 private:
  Handle h_ = Traits::Invalid();
};

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
  static std::atomic<int>& Counter() { return LiveHandles().icons; }
};
template <class T>
struct GdiTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
  static std::atomic<int>& Counter() { return LiveHandles().gdiObjects; }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyMenu(h); }
  static std::atomic<int>& Counter() { return LiveHandles().menus; }
};
struct KernelTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
  static std::atomic<int>& Counter() { return LiveHandles().kernelObjects; }
};
struct LibraryTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
  static std::atomic<int>& Counter() { return LiveHandles().libraries; }
};

using Icon = Owned<IconTraits>;
using Bitmap = Owned<GdiTraits<HBITMAP>>;
using Font = Owned<GdiTraits<HFONT>>;
using Brush = Owned<GdiTraits<HBRUSH>>;
using Menu = Owned<MenuTraits>;
using KernelHandle = Owned<KernelTraits>;
using Library = Owned<LibraryTraits>;

}  // namespace win32
