// Asks for the name of a new group of links and hands it to the options window.
#include <string>

#include "companion/copydata_text.h"
#include "companion/forms.h"
#include "companion/ui.h"

namespace companion {
namespace {

constexpr int kNameId = 100;
// "&2" and the name fit the receiver's 99 characters.
constexpr int kMaxNameLength = static_cast<int>(kMaxCopyDataText) - 2;

class AddGroupForm : public Form {
 public:
  AddGroupForm() : Form(Args()) {}

 private:
  static FormArgs Args() {
    FormArgs args;
    args.className = L"StavloNewGroup";
    args.title = L"Новая группа";
    args.clientWidth = 340;
    args.clientHeight = 112;
    return args;
  }

  void OnCreate() override {
    AddControl(L"STATIC", L"&Имя группы:", SS_LEFT, 14, 14, 312, 16, 0);
    HWND name = AddControl(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 14, 34, 312, 23, kNameId,
                           WS_EX_CLIENTEDGE);
    SendMessageW(name, EM_SETLIMITTEXT, kMaxNameLength, 0);
    AddControl(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 136, 74, 90, 26, IDOK);
    AddControl(L"BUTTON", L"Отмена", BS_PUSHBUTTON | WS_TABSTOP, 236, 74, 90, 26, IDCANCEL);
    focusOnShow = name;
  }

  void OnCommand(int id, int code, HWND control) override {
    if (id == IDOK) {
      Accept();
      return;
    }
    Form::OnCommand(id, code, control);
  }

  void Accept() {
    HWND edit = Item(kNameId);
    const std::wstring typed = WindowText(edit);
    const std::u16string name = CleanName(std::u16string(typed.begin(), typed.end()));
    if (name.empty()) {
      MessageBeep(MB_ICONWARNING);
      SetFocus(edit);
      return;
    }
    const std::optional<std::string> text = CopyDataText(kGroupNameTag, name);
    if (!text) {
      MessageBoxRu(L"В имени группы есть знаки, которых нет в кодировке Windows-1251, "
                   L"поэтому такое имя нельзя сохранить.\n\nИзмените имя группы.",
                   MB_OK | MB_ICONWARNING);
      SetFocus(edit);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      return;
    }
    SendCopyData(OptionsWindowOfThisThread(), *text);
    EndModal(IDOK);
  }
};

}  // namespace

void AskGroupName() {
  AddGroupForm form;
  form.ShowModal();
}

}  // namespace companion
