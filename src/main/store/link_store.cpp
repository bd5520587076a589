// Loading the three trees at start-up and saving them on OK.
#include "framework/guard.h"
#include "main/main_form.h"

void TMainForm::LoadLinks() {
  // The links' icons are recomputed from their shortcut files once those can be read.
  fw::Guarded([&] { LoadTreeFromFile(LinksTree, ProgramFolder() + "Data\\links.dat"); });
}

void TMainForm::LoadFolders() {
  fw::Guarded([&] { LoadTreeFromFile(FoldersTree, ProgramFolder() + "Data\\folders.dat"); });
}

void TMainForm::LoadComponents() {
  fw::Guarded([&] { LoadTreeFromFile(ComponentTree, ProgramFolder() + "Data\\comp.dat"); });
}

void TMainForm::LinkCheck() {}
void TMainForm::RegisterComponentHotKeys() {}

// Errors are not caught here: OK reports them.
void TMainForm::SaveAll() {
  ProgMenu.Items.Clear();
  const std::string data = ProgramFolder() + "Data\\";
  SaveTreeToFile(LinksTree, data + "links.dat");
  SaveTreeToFile(FoldersTree, data + "folders.dat");
  SaveTreeToFile(ComponentTree, data + "comp.dat");
  SaveSettings();
}
