// The link store's operations as start-up, OK and the deferred start-up step
// call them. The trees, their files and the link check are not built yet, so
// each of these has nothing to do; SaveAll already does its settings part.
#include "main/main_form.h"

void TMainForm::LoadLinks() {}
void TMainForm::LoadFolders() {}
void TMainForm::LoadComponents() {}
void TMainForm::LinkCheck() {}
void TMainForm::RegisterComponentHotKeys() {}

void TMainForm::SaveAll() {
  ProgMenu.Items.Clear();
  SaveSettings();
}
