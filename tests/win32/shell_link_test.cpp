// Our shortcut-file codec against the system's shell-link object, both ways:
// files we write are loaded by IShellLinkW + IPersistFile and give back our
// fields, and files the object saves decode right with ours.
//
// Known gaps of this Wine, marked where they apply:
// - GetShowCmd reports SW_SHOWNORMAL after loading any file, and a file it
//   saves again keeps that; the show command is checked in the bytes.
// - Its reader takes the target from the ANSI path of the link information,
//   read in the process's code page, and never looks at the UTF-16 copy. So a
//   target beyond ASCII comes back right only where that code page is
//   Windows-1251 (LC_ALL=ru_RU.UTF-8 gives this Wine one); elsewhere it
//   comes back as those bytes read in its code page.
//
// With STAVLO_SHELL_LINK_SEEDS set to a folder, the files of both kinds are
// kept there as seeds for the fuzz target.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include "framework/win32/handles.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/text.h"
#include "formats/shell_link.h"

namespace formats {
// For the failure messages of gtest.
static void PrintTo(const ShellLinkData& d, std::ostream* os) {
  *os << "target=[" << d.target << "] wd=[" << d.workingDirectory << "] args=[" << d.arguments
      << "] desc=[" << d.description << "] icon=[" << d.iconLocation << "]," << d.iconIndex
      << " show=" << d.showCommand << " hotkey=" << d.hotKey;
}
}  // namespace formats

namespace {

using formats::ShellLinkData;

// CLSID_ShellLink, spelled out so the test needs no import library for it.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000,
                                   {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};


template <class T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

struct ComApartment {
  HRESULT hr = CoInitialize(nullptr);
  ~ComApartment() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

std::wstring W(const std::string& utf8) {
  std::u16string s = base::Utf8ToUtf16(utf8);
  return std::wstring(s.begin(), s.end());
}

std::string U8(const std::wstring& w) {
  return base::Utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

std::uint32_t Get32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

bool OnWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
  win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string out;
  if (file.Get() == INVALID_HANDLE_VALUE) return out;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) out.append(chunk, got);
  return out;
}

// What the system makes of a path in Windows-1251: '?' where it has no character.
std::string SystemCp1251(const std::string& utf8) {
  std::wstring w = W(utf8);
  if (w.empty()) return {};
  int n = WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                              nullptr, 0, "?", nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), &out[0],
                      n, "?", nullptr);
  return out;
}

std::wstring InAnsiCodePage(const std::string& bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
  return out;
}

// The ANSI path of the link information in a file of ours (no item-id list,
// so the link information follows the header).
std::string OurAnsiPath(const std::string& bytes) {
  const std::size_t info = 0x4C;
  std::size_t at = info + Get32(bytes, info + 16);
  return std::string(bytes.c_str() + at);
}


class ShellLinkSystem : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    ASSERT_GT(n, 0u);
    dir_ = std::wstring(temp, n) + L"stavlo-lnk-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
    wchar_t seeds[MAX_PATH];
    DWORD s = GetEnvironmentVariableW(L"STAVLO_SHELL_LINK_SEEDS", seeds, MAX_PATH);
    if (s > 0 && s < MAX_PATH) seeds_ = std::wstring(seeds, s) + L"\\";
    std::printf("[ lnk      ] code page %u, %s, files in %ls\n", GetACP(),
                OnWine() ? "Wine" : "Windows", dir_.c_str());
  }

  static void TearDownTestSuite() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
      if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
    made_.clear();
    RemoveDirectoryW(dir_.c_str());
  }

  static std::wstring File(const std::string& name) {
    std::wstring path = dir_ + W(name);
    made_.push_back(path);
    return path;
  }

  static std::wstring Folder(const std::string& name) {
    std::wstring path = dir_ + W(name);
    EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    made_.push_back(path);
    return path + L"\\";
  }

  static void KeepSeed(const std::string& name, const std::string& bytes) {
    if (seeds_.empty()) return;
    EXPECT_TRUE(WriteBytes(seeds_ + W(name), bytes)) << name;
  }

  static std::wstring dir_;
  static std::wstring seeds_;
  static std::vector<std::wstring> made_;
};

std::wstring ShellLinkSystem::dir_;
std::wstring ShellLinkSystem::seeds_;
std::vector<std::wstring> ShellLinkSystem::made_;

TEST_F(ShellLinkSystem, ObjectReadsTheFilesWeWrite) {
  ComApartment com;
  ASSERT_TRUE(SUCCEEDED(com.hr));
  const std::string folder = U8(Folder("Мои программы"));
  ASSERT_TRUE(WriteBytes(W(folder + "Редактор.exe"), "MZ"));
  made_.push_back(W(folder + "Редактор.exe"));

  auto link = [](std::string target) {
    ShellLinkData d;
    d.target = std::move(target);
    return d;
  };
  const std::string notepad = "C:\\windows\\notepad.exe";
  struct Case {
    const char* name;
    ShellLinkData data;
  };
  std::vector<Case> cases;
  cases.push_back({"plain", link(notepad)});
  {
    ShellLinkData d = link(notepad);
    d.arguments = "/p \"C:\\Мои документы\\список.txt\"";
    cases.push_back({"arguments", d});
  }
  {
    ShellLinkData d = link(notepad);
    d.workingDirectory = "C:\\windows\\system32\\";
    cases.push_back({"working folder", d});
  }
  {
    ShellLinkData d = link(notepad);
    d.iconLocation = "C:\\windows\\system32\\shell32.dll";
    d.iconIndex = 21;
    cases.push_back({"icon", d});
  }
  {
    ShellLinkData d = link(notepad);
    d.iconLocation = "C:\\windows\\system32\\shell32.dll";
    d.iconIndex = -154;
    cases.push_back({"icon by resource id", d});
  }
  {
    ShellLinkData d = link(notepad);
    d.description = "Блокнот для заметок";
    cases.push_back({"description", d});
  }
  for (formats::RunAs r : {formats::raNormal, formats::raMinimized, formats::raMaximized}) {
    ShellLinkData d = link(notepad);
    d.showCommand = formats::ShowCommandOf(r);
    cases.push_back({r == formats::raNormal      ? "normal window"
                     : r == formats::raMinimized ? "minimised"
                                                 : "maximised",
                     d});
  }
  {
    ShellLinkData d = link(notepad);
    d.hotKey = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'N';
    cases.push_back({"hot key", d});
  }
  {
    ShellLinkData d = link(folder + "Редактор.exe");
    d.workingDirectory = folder;
    d.arguments = "-файл «тест»";
    d.description = "Редактор";
    d.iconLocation = folder + "Редактор.exe";
    d.showCommand = formats::kShowMinimized;
    cases.push_back({"Cyrillic names", d});
  }
  cases.push_back({"Cyrillic target that is not there", link("C:\\Нет такой\\программы.exe")});
  cases.push_back({"beyond Windows-1251", link("C:\\Café\\日本.exe")});
  cases.push_back({"path on a share", link("\\\\server\\share\\tools\\app.exe")});

  int counter = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::string> bytes = formats::EncodeShellLink(c.data);
    ASSERT_TRUE(bytes);
    const std::wstring path = File("ours" + std::to_string(++counter) + ".lnk");
    ASSERT_TRUE(WriteBytes(path, *bytes));
    KeepSeed("ours-" + std::to_string(counter) + ".lnk", *bytes);

    // What readers without the UTF-16 copy go by.
    const std::string ansi = OurAnsiPath(*bytes);
    EXPECT_EQ(ansi, SystemCp1251(c.data.target));
    const std::wstring expectedPath = OnWine() ? InAnsiCodePage(ansi) : W(c.data.target);

    Com<IShellLinkW> shellLink;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(shellLink.Out()))));
    Com<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))));
    ASSERT_EQ(file->Load(path.c_str(), STGM_READ), S_OK);

    wchar_t text[INFOTIPSIZE] = L"";
    int iconIndex = -1;
    WORD hotKey = 0;
    int showCommand = 0;
    shellLink->GetPath(text, INFOTIPSIZE, nullptr, SLGP_RAWPATH);
    EXPECT_EQ(std::wstring(text), expectedPath);
    text[0] = 0;
    shellLink->GetArguments(text, INFOTIPSIZE);
    EXPECT_EQ(U8(text), c.data.arguments);
    text[0] = 0;
    shellLink->GetWorkingDirectory(text, INFOTIPSIZE);
    EXPECT_EQ(U8(text), c.data.workingDirectory);
    text[0] = 0;
    shellLink->GetDescription(text, INFOTIPSIZE);
    EXPECT_EQ(U8(text), c.data.description);
    text[0] = 0;
    shellLink->GetIconLocation(text, INFOTIPSIZE, &iconIndex);
    EXPECT_EQ(U8(text), c.data.iconLocation);
    EXPECT_EQ(iconIndex, c.data.iconIndex);
    shellLink->GetHotkey(&hotKey);
    EXPECT_EQ(hotKey, c.data.hotKey);
    shellLink->GetShowCmd(&showCommand);
    EXPECT_TRUE(showCommand == c.data.showCommand || (OnWine() && showCommand == SW_SHOWNORMAL))
        << showCommand;

    // Saved again by the system, the file still reads as ours did. This Wine
    // writes back the ANSI bytes it read (and only them), so the target keeps
    // all but the characters Windows-1251 lacks.
    const std::wstring again = File("again" + std::to_string(counter) + ".lnk");
    ASSERT_EQ(file->Save(again.c_str(), TRUE), S_OK);
    bool ok = false;
    ShellLinkData back = formats::DecodeShellLink(ReadBytes(again), &ok);
    EXPECT_TRUE(ok);
    ShellLinkData expected = c.data;
    if (OnWine()) {
      expected.target = base::Cp1251ToUtf8(ansi);
      expected.showCommand = back.showCommand;  // the first gap, carried over
    }
    EXPECT_EQ(back, expected);
  }
}

TEST_F(ShellLinkSystem, FilesTheObjectSavesReadRight) {
  ComApartment com;
  ASSERT_TRUE(SUCCEEDED(com.hr));
  const std::string cyrillic = U8(Folder("Проба ё")) + "Программа с длинным именем.exe";
  ASSERT_TRUE(WriteBytes(W(cyrillic), "MZ"));
  made_.push_back(W(cyrillic));
  const std::string latin = U8(Folder("Café")) + "naïve.exe";
  ASSERT_TRUE(WriteBytes(W(latin), "MZ"));
  made_.push_back(W(latin));

  struct Case {
    const char* name;
    ShellLinkData data;
  };
  ShellLinkData notepad;
  notepad.target = "C:\\windows\\notepad.exe";
  notepad.arguments = "/p \"C:\\Мои документы\\список.txt\"";
  notepad.workingDirectory = "C:\\windows\\";
  notepad.description = "Блокнот";
  notepad.iconLocation = "C:\\windows\\system32\\shell32.dll";
  notepad.iconIndex = 3;
  notepad.showCommand = formats::kShowMinimized;
  notepad.hotKey = (HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8 | 'B';
  ShellLinkData maximised = notepad;
  maximised.target = cyrillic;
  maximised.workingDirectory = cyrillic.substr(0, cyrillic.rfind('\\') + 1);
  maximised.iconLocation = cyrillic;
  maximised.iconIndex = 0;
  maximised.showCommand = formats::kShowMaximized;
  ShellLinkData normal;
  normal.target = latin;
  normal.showCommand = formats::kShowNormal;
  ShellLinkData folder;
  folder.target = "C:\\windows";
  ShellLinkData missing;
  missing.target = "C:\\Нет такой папки\\программа.exe";
  missing.arguments = "-x";
  ShellLinkData share;
  share.target = "\\\\server\\share\\tool.exe";
  const Case cases[] = {{"notepad, minimised", notepad},
                        {"Cyrillic, maximised", maximised},
                        {"Latin-1 names, normal", normal},
                        {"folder", folder},
                        {"missing target", missing},
                        {"share", share}};

  int counter = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Com<IShellLinkW> shellLink;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(shellLink.Out()))));
    const ShellLinkData& d = c.data;
    EXPECT_TRUE(SUCCEEDED(shellLink->SetPath(W(d.target).c_str())));
    if (!d.arguments.empty()) shellLink->SetArguments(W(d.arguments).c_str());
    if (!d.workingDirectory.empty()) shellLink->SetWorkingDirectory(W(d.workingDirectory).c_str());
    if (!d.description.empty()) shellLink->SetDescription(W(d.description).c_str());
    if (!d.iconLocation.empty()) shellLink->SetIconLocation(W(d.iconLocation).c_str(), d.iconIndex);
    shellLink->SetShowCmd(d.showCommand);
    shellLink->SetHotkey(d.hotKey);
    Com<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))));
    const std::wstring path = File("system" + std::to_string(++counter) + ".lnk");
    ASSERT_EQ(file->Save(path.c_str(), TRUE), S_OK);

    const std::string bytes = ReadBytes(path);
    KeepSeed("system-" + std::to_string(counter) + ".lnk", bytes);
    bool ok = false;
    ShellLinkData got = formats::DecodeShellLink(bytes, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(got, d);
    // The show command as stored, which GetShowCmd would not tell us here.
    ASSERT_GE(bytes.size(), 0x40u);
    EXPECT_EQ(Get32(bytes, 0x3C), static_cast<std::uint32_t>(d.showCommand));
    EXPECT_EQ(formats::RunAsOf(got.showCommand), formats::RunAsOf(d.showCommand));
  }
}

}  // namespace
