#pragma once
// stavlo.dll: dialogs and system functions the program loads by name at each
// use. Every function runs on the caller's thread and has destroyed its
// windows when it returns.
#include <windows.h>

#ifdef STAVLO_DLL_BUILD
#define STAVLO_DLL_API __declspec(dllexport)
#else
#define STAVLO_DLL_API __declspec(dllimport)
#endif

extern "C" {

STAVLO_DLL_API void __stdcall ShowZastForm();
STAVLO_DLL_API void __stdcall ShowNewForm();
// 1 when the program starts with Windows, 0 otherwise.
STAVLO_DLL_API unsigned char __stdcall CheckAutorun();
// exePath: full path of the running executable, zero-terminated.
STAVLO_DLL_API void __stdcall WriteAutor(const wchar_t* exePath);
STAVLO_DLL_API void __stdcall DelAutor();
STAVLO_DLL_API void __stdcall FindFile();
STAVLO_DLL_API void __stdcall MinimWin(HWND optionsWindow);
// Answers with WM_COPYDATA "&2" + name to the thread's options window.
STAVLO_DLL_API void __stdcall AddGroup();
// Answers with WM_COPYDATA "&1" + title per window picked, then posts "addwin".
STAVLO_DLL_API void __stdcall ShowWindForm();

}
