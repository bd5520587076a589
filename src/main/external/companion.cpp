// The program folder, the companion library and the hook library.
#include "base/winpath.h"
#include "framework/guard.h"
#include "main/main_form.h"
#include "main/settings/settings_file.h"

std::string TMainForm::ProgramFolder() const {
  return base::ExtractFilePath(os.ExecutablePath());
}

// Loaded, called and unloaded around every call: nothing of it stays loaded.
// A missing library or export, or a failing call, gives nullopt.
std::optional<uint32_t> TMainForm::CallCompanion(const std::string& exportName,
                                                 const fw::LibArg& arg) {
  std::optional<uint32_t> result;
  fw::Guarded([&] { result = os.CallLibrary(ProgramFolder() + kCompanionFileName, exportName, arg); });
  return result;
}

void TMainForm::SetHook(int value) { os.SetHook(value); }
