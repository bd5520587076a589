#pragma once
// What each export of stavlo.dll does, one file each.
#include <windows.h>

#include <string>

namespace companion {

void ShowSplash();
void ShowWhatsNew();
void ShowFindFile();
void AskGroupName();
void PickWindows();

bool AutorunPresent();
void WriteAutorun(const wchar_t* exePath);
void DeleteAutorun();

void MinimizeAllWindows(HWND optionsWindow);

// Sends text (with its zero) to the options window with WM_COPYDATA.
void SendCopyData(HWND optionsWindow, const std::string& text);
// The options window of the calling thread, or null.
HWND OptionsWindowOfThisThread();

}  // namespace companion
