// Message boxes, system services and the platform that bundles them.
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "framework/dialogs.h"
#include "framework/guard.h"
#include "framework/os.h"
#include "framework/form.h"
#include "framework/win32/handles.h"
#include "framework/win32/win32_application.h"
#include "framework/win32/win32_platform.h"

namespace win32 {

HandleCounts& LiveHandles() {
  static HandleCounts counts;
  return counts;
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

namespace {

class Win32Dialogs : public fw::Dialogs {
 public:
  explicit Win32Dialogs(fw::Application& app) : app_(app) {}
  fw::MsgResult Ask(const std::string& text, const std::string& caption, fw::MsgKind kind,
                           fw::MsgButtons buttons) override {
    UINT flags = buttons == fw::MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (kind) {
      case fw::MsgKind::Information: flags |= MB_ICONINFORMATION; break;
      case fw::MsgKind::Warning: flags |= MB_ICONWARNING; break;
      case fw::MsgKind::Error: flags |= MB_ICONERROR; break;
      case fw::MsgKind::Confirmation: flags |= MB_ICONQUESTION; break;
    }
    HWND owner = nullptr;
    if (app_.MainForm && app_.MainForm->Realized() && app_.MainForm->Visible())
      owner = reinterpret_cast<HWND>(app_.MainForm->Handle());
    // From the hidden window's menus the box must still come to the front.
    if (!owner) flags |= MB_SETFOREGROUND | MB_TOPMOST | MB_TASKMODAL;
    int r = MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
    switch (r) {
      case IDYES: return fw::MsgResult::Yes;
      case IDNO: return fw::MsgResult::No;
      case IDOK: return fw::MsgResult::Ok;
      default: return fw::MsgResult::Cancel;
    }
  }

 private:
  fw::Application& app_;
};

constexpr wchar_t kInstanceMutex[] = L"Local\\Stavlo.SingleInstance";
constexpr wchar_t kShowOptionsMessage[] = L"Stavlo.ShowOptions";
constexpr wchar_t kOptionsClass[] = L"TMainForm";

class Win32Os : public fw::Os {
 public:
  explicit Win32Os(SetHookFunction setHook) : setHook_(setHook) {}

  std::string ExecutablePath() override {
    std::wstring buf(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    buf.resize(n);
    return Narrow(buf);
  }

  bool FileExists(const std::string& path) override {
    DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override {
    KernelHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
      return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t got = 0;
    while (got < bytes.size()) {
      DWORD n = 0;
      DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1 << 20));
      if (!::ReadFile(file.Get(), bytes.data() + got, want, &n, nullptr)) return std::nullopt;
      if (n == 0) break;
      got += n;
    }
    bytes.resize(got);
    return bytes;
  }

  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override {
    std::wstring target = Wide(path);
    DWORD attrs = GetFileAttributesW(target.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
      return false;
    std::wstring temp = target + L".new~";
    {
      KernelHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file) return false;
      size_t done = 0;
      while (done < bytes.size()) {
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file.Get(), bytes.data() + done, want, &n, nullptr) || n == 0) {
          file.Reset();
          DeleteFileW(temp.c_str());
          return false;
        }
        done += n;
      }
      if (!FlushFileBuffers(file.Get())) {
        file.Reset();
        DeleteFileW(temp.c_str());
        return false;
      }
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileW(temp.c_str());
      return false;
    }
    return true;
  }

  std::optional<uint32_t> CallLibrary(const std::string& libraryPath, const std::string& exportName,
                                      const fw::LibArg& arg) override {
    Library library(LoadLibraryW(Wide(libraryPath).c_str()));
    if (!library) return std::nullopt;
    FARPROC proc = GetProcAddress(library.Get(), exportName.c_str());
    if (!proc) return std::nullopt;
    std::optional<uint32_t> result;
    fw::Guarded([&] {
      switch (arg.kind) {
        case fw::LibArg::Kind::None:
          result = reinterpret_cast<uint32_t(__stdcall*)()>(reinterpret_cast<void*>(proc))();
          break;
        case fw::LibArg::Kind::Text: {
          std::wstring text = Wide(arg.text);
          result = reinterpret_cast<uint32_t(__stdcall*)(const wchar_t*)>(reinterpret_cast<void*>(proc))(text.c_str());
          break;
        }
        case fw::LibArg::Kind::Window:
          result = reinterpret_cast<uint32_t(__stdcall*)(HWND)>(reinterpret_cast<void*>(proc))(
              reinterpret_cast<HWND>(arg.window));
          break;
      }
    });
    return result;
  }

  void SetHook(int value) override {
    if (setHook_) setHook_(value);
  }

  void MouseEvent(uint32_t flags, int dx, int dy, uint32_t data, uintptr_t extra) override {
    mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), data, extra);
  }

  fw::Point CursorPos() override {
    POINT p{0, 0};
    GetCursorPos(&p);
    return {p.x, p.y};
  }

  bool ClaimSingleInstance() override {
    instanceMutex_ = KernelHandle(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    return !(instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
  }

  void ShowRunningInstance() override {
    HWND other = FindWindowW(kOptionsClass, nullptr);
    if (!other) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(other, &pid);
    AllowSetForegroundWindow(pid);
    PostMessageW(other, RegisterWindowMessageW(kShowOptionsMessage), 0, 0);
  }

 private:
  SetHookFunction setHook_;
  KernelHandle instanceMutex_;
};

}  // namespace

struct Win32Platform::Impl {
  Win32Application app;
  Win32Dialogs dialogs{app};
  Win32Os os;
  fw::Platform platform{app, dialogs, os};
  explicit Impl(SetHookFunction setHook) : os(setHook) {}
};

Win32Platform::Win32Platform(SetHookFunction setHook) : impl_(std::make_unique<Impl>(setHook)) {}
Win32Platform::~Win32Platform() = default;
fw::Platform& Win32Platform::Get() { return impl_->platform; }

}  // namespace win32
