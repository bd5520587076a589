#pragma once
// The narrow interface to system services. The application never calls the
// system directly; the headless backend fakes all of this.
#include <cstdint>
#include <optional>
#include <string>

#include "framework/types.h"

namespace fw {

// One argument of a companion-library export.
struct LibArg {
  enum class Kind { None, Text, Window } kind = Kind::None;
  std::string text;      // Kind::Text: passed as a zero-terminated UTF-16 string
  uintptr_t window = 0;  // Kind::Window: a window handle
  static LibArg None() { return {}; }
  static LibArg Text(std::string t) { LibArg a; a.kind = Kind::Text; a.text = std::move(t); return a; }
  static LibArg Window(uintptr_t w) { LibArg a; a.kind = Kind::Window; a.window = w; return a; }
};

class Os {
 public:
  virtual ~Os() = default;

  // Full path of the running executable.
  virtual std::string ExecutablePath() = 0;

  // Files, by full Windows path. ReadFile gives nullopt when the file is
  // missing or unreadable, and refuses files larger than maxBytes.
  virtual bool FileExists(const std::string& path) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) = 0;
  // Writes beside the target and replaces it in one step: a failed write
  // leaves the old file whole.
  virtual bool WriteFileAtomic(const std::string& path, const std::string& bytes) = 0;

  // Loads the library by file name, looks up the export, calls it under a
  // guard and unloads the library again. nullopt when any step failed.
  virtual std::optional<uint32_t> CallLibrary(const std::string& libraryPath,
                                              const std::string& exportName,
                                              const LibArg& arg) = 0;

  // The hook library's SetHook.
  virtual void SetHook(int value) = 0;
  virtual void MouseEvent(uint32_t flags, int dx, int dy, uint32_t data, uintptr_t extraInfo) = 0;
  virtual Point CursorPos() = 0;

  // One running instance per user session. False when another one runs; then
  // ShowRunningInstance asks it to show its options window.
  virtual bool ClaimSingleInstance() = 0;
  virtual void ShowRunningInstance() = 0;
};

}  // namespace fw
