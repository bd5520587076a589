// The what's-new window, shown once after an installation or an update.
#include "companion/forms.h"
#include "companion/ui.h"

namespace companion {
namespace {

constexpr int kTextId = 100;

// One line per paragraph: the edit control wraps them to its width.
constexpr wchar_t kWhatsNew[] =
    L"Stavlo 1.0 — запуск программ по жесту мыши.\r\n"
    L"\r\n"
    L"ЖЕСТЫ МЫШИ\r\n"
    L"• Меню ваших программ открывается у указателя мыши — там, где вы работаете.\r\n"
    L"• Жест на выбор: щелчок средней кнопкой, Ctrl или Shift вместе с левой или средней кнопкой, "
    L"пробел вместе с левой кнопкой.\r\n"
    L"• Shift+Ctrl+левая кнопка сворачивает активное окно.\r\n"
    L"• Когда меню не открывается, щелчок достаётся окну под указателем, как обычно.\r\n"
    L"\r\n"
    L"ГРУППЫ ССЫЛОК\r\n"
    L"• Ссылки на программы, документы и папки можно собрать в группы: в меню они раскрываются "
    L"подменю. Порядок меняется перетаскиванием, есть разделители.\r\n"
    L"• В меню есть также недавние документы и избранные папки.\r\n"
    L"\r\n"
    L"ТЕМЫ ОФОРМЛЕНИЯ\r\n"
    L"• Десять цветовых тем для меню запуска и меню в области уведомлений.\r\n"
    L"\r\n"
    L"ГОРЯЧИЕ КЛАВИШИ\r\n"
    L"• Системные функции — панель управления, «Выполнить», поиск файлов, сворачивание всех окон, "
    L"выключение компьютера и другие — вызываются сочетаниями клавиш.\r\n"
    L"\r\n"
    L"СПИСКИ ИСКЛЮЧЕНИЙ\r\n"
    L"• Программы и окна, над которыми жест не открывает меню: в них средняя кнопка и другие "
    L"щелчки работают как обычно.\r\n"
    L"\r\n"
    L"ПРОЧЕЕ\r\n"
    L"• Запуск вместе с Windows, заставка при запуске, проверка ссылок на несуществующие файлы.";

class WhatsNewForm : public Form {
 public:
  WhatsNewForm() : Form(Args()) {}

 private:
  static FormArgs Args() {
    FormArgs args;
    args.className = L"StavloWhatsNew";
    args.title = L"Что нового в Stavlo";
    args.clientWidth = 500;
    args.clientHeight = 380;
    return args;
  }

  void OnCreate() override {
    headerFont_ = CreateUiFont(12, true);
    HWND header = AddControl(L"STATIC", L"Что нового в этой версии", SS_LEFT | SS_NOPREFIX, 14, 12, 472, 24, 0);
    SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_.get()), FALSE);
    text_ = AddControl(L"EDIT", kWhatsNew,
                       ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, 14, 42, 472, 290,
                       kTextId, WS_EX_CLIENTEDGE);
    SendMessageW(text_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(Px(6), Px(6)));
    ok_ = AddControl(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 396, 344, 90, 26, IDOK);
    focusOnShow = ok_;
  }

  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    // The text reads better on the window colour than greyed like a label.
    if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == text_) {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      return true;
    }
    return false;
  }

  // A multi-line edit keeps Enter and Esc for itself; this one has no use for them.
  bool PreTranslate(MSG& msg) override {
    if (msg.message == WM_KEYDOWN && msg.hwnd == text_ && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
      EndModal(msg.wParam == VK_RETURN ? IDOK : IDCANCEL);
      return true;
    }
    return false;
  }

  void OnCommand(int id, int code, HWND control) override {
    if (id == IDOK) EndModal(IDOK);
    Form::OnCommand(id, code, control);
  }

  Font headerFont_;
  HWND text_ = nullptr;
  HWND ok_ = nullptr;
};

}  // namespace

void ShowWhatsNew() {
  WhatsNewForm form;
  form.ShowModal();
}

}  // namespace companion
