// The launch menu.
#include "main/main_form.h"

void TMainForm::RebuildMenu() {
  ApplyTheme();
  ProgMenu.Items.Clear();
  // The user's links, recent documents, folders and system groups come here
  // once the link store has them.
  ProgMenu.Items.AddSeparator().Name = "Sep001";
  fw::MenuItem& cancel = ProgMenu.Items.Add(" Отмена", [this] { ApplyTheme(); });
  cancel.Name = "CancelItem";
}
