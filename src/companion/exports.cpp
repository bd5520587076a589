// The nine exports. Nothing may escape into the program: it calls us inside a
// guard, but an exception crossing a C boundary is not something to count on.
#include "companion/forms.h"
#include "companion/stavlo_dll.h"
#include "companion/ui.h"

namespace {

template <typename F>
void Guarded(F f) noexcept {
  try {
    f();
  } catch (...) {
  }
}

}  // namespace

extern "C" {

void __stdcall ShowZastForm() { Guarded(companion::ShowSplash); }
void __stdcall ShowNewForm() { Guarded(companion::ShowWhatsNew); }

unsigned char __stdcall CheckAutorun() {
  unsigned char present = 0;
  Guarded([&] { present = companion::AutorunPresent() ? 1 : 0; });
  return present;
}

void __stdcall WriteAutor(const wchar_t* exePath) { Guarded([&] { companion::WriteAutorun(exePath); }); }
void __stdcall DelAutor() { Guarded(companion::DeleteAutorun); }
void __stdcall FindFile() { Guarded(companion::ShowFindFile); }
void __stdcall MinimWin(HWND optionsWindow) { Guarded([&] { companion::MinimizeAllWindows(optionsWindow); }); }
void __stdcall AddGroup() { Guarded(companion::AskGroupName); }
void __stdcall ShowWindForm() { Guarded(companion::PickWindows); }

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    companion::g_instance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
