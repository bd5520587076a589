#pragma once
// A program folder on the headless backend, with a companion library whose
// exports record their calls, and the options window built over it.
#include <memory>
#include <string>

#include "framework/headless/headless.h"
#include "main/main_form.h"

struct AppFixture {
  static constexpr const char* kFolder = "C:\\Program Files\\Stavlo\\";
  headless::Application app;
  headless::Dialogs dialogs;
  headless::Os os;
  fw::Platform platform{app, dialogs, os};
  std::unique_ptr<TMainForm> form;
  uint32_t autorunAnswer = 0;

  AppFixture() { InstallCompanion(); }

  std::string Path(const std::string& name) const { return std::string(kFolder) + name; }
  std::string Lib() const { return Path("stavlo.dll"); }

  void InstallCompanion() {
    for (const char* name : {"ShowZastForm", "ShowNewForm", "WriteAutor", "DelAutor", "FindFile",
                             "MinimWin", "AddGroup", "ShowWindForm"})
      os.PutLibraryExport(Lib(), name, [](const fw::LibArg&) { return 0u; });
    os.PutLibraryExport(Lib(), "CheckAutorun", [this](const fw::LibArg&) { return autorunAnswer; });
  }

  void Ini(const std::string& text) { os.PutFile(Path("stavlo.ini"), text); }
  std::string Ini() const { return os.FileBytes(Path("stavlo.ini")).value_or("<missing>"); }

  TMainForm& Start() {
    form = std::make_unique<TMainForm>(platform);
    return *form;
  }
  // Start-up plus the deferred step (1.8 s, then 0.3 s and 2.3 s of waiting).
  TMainForm& StartAndSettle() {
    Start();
    app.Advance(1800 + 300 + 2300 + 50);
    return *form;
  }
  void Post(const std::string& name) { app.Post(form->Form.Handle(), app.RegisterMessage(name), 0, 0); }
};
