// The options window's layout and its page switching.
#include "framework/guard.h"
#include "main/main_form.h"
#include "main/menu/themes.h"
#include "main/settings/settings_file.h"

namespace {
constexpr int kPageWidth = 356;
constexpr int kPageHeight = 330;
constexpr int kHeaderHeight = 35;

struct PageInfo {
  const char* node;
  int icon;
  const char* title;
};
constexpr PageInfo kPages[] = {
    {" Ярлыки Stavlo ", 20, "Ярлыки Stavlo"},
    {" Создание ярлыка ", 15, "Создание нового ярлыка"},
    {" Документы", 23, "Документы"},
    {" Каталоги ", 7, "Каталоги"},
    {" Компоненты меню ", 8, "Компоненты меню"},
    {" Настройки ", 21, "Настройки"},
    {" Программы ", 19, "Программы"},
};
}  // namespace

struct CheckLayout {
  fw::CheckBox TMainForm::*box;
  const char* caption;
  const char* hint;
  fw::Rect bounds;
};

void TMainForm::LayOutCheckBoxes() {
  static const CheckLayout kChecks[] = {
    {&TMainForm::FileCheck, " Показывать подменю \"Недавние документы\"", "Отображать меню открытия файлов", {18, 116, 320, 20}},
    {&TMainForm::EmptyCheck, " Не показывать подменю если список документов пуст", "", {18, 140, 320, 20}},
    {&TMainForm::FoldCheck, " Показывать подменю каталогов в меню Stavlo", "Отображать меню открытия каталогов", {18, 90, 320, 20}},
    {&TMainForm::PathCheck, " Показывать в меню путь к папкам", "В подменю \"Каталоги\" отображается путь к папке", {18, 114, 320, 20}},
    {&TMainForm::AutorunCheck, " Запускать программу при старте Windows", "Запускать программу автоматически при запуске системы", {10, 18, 300, 20}},
    {&TMainForm::HKeyCheck, " Вызывать при нажатии комбинации:", "Открывать меню запуска программ при нажатии кобинации", {10, 68, 300, 20}},
    {&TMainForm::TrayRMCheck, " Вызывать по левому клику на иконке в SystemTray", "Открывать меню запуска программ по левому клику на иконке в SystemTray", {10, 122, 310, 20}},
    {&TMainForm::ConfirmCheck, " Подтверждать удаление ярлыков", "Подтверждение при удалении ярлыков в настройках", {10, 174, 300, 20}},
    {&TMainForm::ChkCheck, " Автоматическая проверка ярлыков", "Ярлыки Stavlo проверяются при запуске программы", {10, 198, 300, 20}},
    {&TMainForm::ThemeCheck, " Использовать цветовую тему для меню", "Использовать цветовое оформление меню", {10, 18, 300, 20}},
    {&TMainForm::OrderCheck, " Показывать программы во второй части меню  ", "В начале меню стоят постоянные компоненты", {10, 76, 300, 20}},
    {&TMainForm::ZastCheck, " Показывать заставку при запуске", "Показывать заставку при запуске Stavlo", {10, 134, 300, 20}},
    {&TMainForm::ExplorCheck, " Блокировка Stavlo в \"Проводнике\"", "Блокировка меню в Проводнике при использовании мыши с SHIFT и CTRL", {10, 18, 300, 20}},
    {&TMainForm::MinCheck, " Минимизация окон по SHIFT+CTRL+левая кнопка мыши", "Сворачивать активное окно по SHIFT+CTRL+левая кнопка мыши", {10, 42, 310, 20}},
  };
  for (const auto& c : kChecks) {
    fw::CheckBox& box = this->*c.box;
    box.SetCaption(c.caption);
    box.Hint = c.hint;
    box.SetBounds(c.bounds);
  }
}

template <class C>
C& TMainForm::Decor(fw::Control* parent, const std::string& caption, fw::Rect bounds) {
  auto control = std::make_unique<C>(parent, "");
  control->SetCaption(caption);
  control->SetBounds(bounds);
  C& ref = *control;
  decoration_.push_back(std::move(control));
  return ref;
}

void TMainForm::BuildOptionsWindow() {
  Form.SetCaption("Stavlo");
  Form.SetBounds({20, 20, 525, 425});
  Form.AlwaysOnTop = true;
  Form.FixedSize = true;
  Form.AcceptFiles = true;
  Form.SystemMenuOnly = true;

  std::vector<fw::ListBox::Item> nodes;
  for (const auto& p : kPages) nodes.push_back({p.node, p.icon});
  OptionsTree.Images = &MenuImages;
  OptionsTree.SetItems(nodes);
  OptionsTree.SetBounds({6, 6, 140, kPageHeight});

  fw::Panel* pages[] = {&ItemsPage, &NLinkPage, &FilesPage, &FoldersPage,
                        &ComponentPage, &MainPage, &ProgPage};
  for (size_t i = 0; i < std::size(pages); ++i) {
    pages[i]->SetBounds({152, 6, kPageWidth, kPageHeight});
    auto& header = Decor<fw::Label>(pages[i], kPages[i].title, {0, 0, kPageWidth, kHeaderHeight});
    header.Header = true;
  }
  LinksTree.SetBounds({6, kHeaderHeight + 6, kPageWidth - 12, kPageHeight - kHeaderHeight - 12});
  FoldersTree.SetBounds({8, 152, kPageWidth - 16, kPageHeight - 160});
  ComponentTree.SetBounds({6, kHeaderHeight + 6, kPageWidth - 12, 200});
  OKBtn.SetCaption("OK");
  OKBtn.Default = true;
  OKBtn.SetBounds({433, 343, 75, 25});

  // New link page: the window box (its other fields come with link editing).
  Decor<fw::Label>(&NLinkPage, "Окно:", {12, 52, 60, 16});
  wndBox.SetItems({"Обычный размер окна", "Свернутое в значок", "Развернутое во весь экран"});
  wndBox.SetBounds({80, 48, 200, 200});

  // Documents page.
  Decor<fw::GroupBox>(&FilesPage, " Меню файлов ", {8, 96, 340, 76});

  // Folders page.
  Decor<fw::GroupBox>(&FoldersPage, " Меню каталогов ", {8, 70, 340, 76});

  // Settings page: three tabs.
  MainTabs.SetBounds({4, kHeaderHeight + 6, kPageWidth - 8, kPageHeight - kHeaderHeight - 10});
  const fw::Rect tabArea{6, 28, kPageWidth - 20, kPageHeight - kHeaderHeight - 44};
  GeneralTab.SetCaption("Общие        ");
  ViewTab.SetCaption("Вид            ");
  ExtraTab.SetCaption("Дополнительно");
  for (fw::Panel* tab : {&GeneralTab, &ViewTab, &ExtraTab}) {
    tab->SetBounds(tabArea);
    MainTabs.AddTab(*tab);
  }

  Decor<fw::GroupBox>(&GeneralTab, " Запуск Stavlo ", {0, 0, 324, 44});
  Decor<fw::GroupBox>(&GeneralTab, " Вызов меню запуска программ ", {0, 50, 324, 100});
  std::vector<std::string> gestures;
  for (const auto& g : kGestureChoices) gestures.push_back(g.entry);
  HotkeyBox.SetItems(gestures);
  HotkeyBox.Hint = "Комбинации для вызова меню запуска программ";
  HotkeyBox.SetBounds({28, 92, 230, 200});
  Decor<fw::GroupBox>(&GeneralTab, " Ярлыки ", {0, 156, 324, 68});

  Decor<fw::GroupBox>(&ViewTab, " Вид меню запуска программ ", {0, 0, 324, 110});
  std::vector<std::string> themes;
  for (const auto& t : Themes()) themes.push_back(t.entry);
  ThemeBox.SetItems(themes);
  ThemeBox.Hint = "Доступные цветовые темы";
  ThemeBox.SetBounds({28, 42, 200, 200});
  Decor<fw::GroupBox>(&ViewTab, " Разное ", {0, 116, 324, 44});

  Decor<fw::GroupBox>(&ExtraTab, " Дополнительно ", {0, 0, 324, 68});

  LayOutCheckBoxes();
  ShowPage(ItemsPage);
}

void TMainForm::ShowPage(fw::Panel& page) {
  fw::Guarded([&] {
    for (fw::Panel* p : {&FilesPage, &ComponentPage, &FoldersPage, &ItemsPage, &MainPage,
                         &NLinkPage, &ProgPage})
      p->SetVisible(false);
    page.SetVisible(true);
  });
}

void TMainForm::OptionsTreeClick() {
  fw::Guarded([&] {
    fw::Panel* pages[] = {&ItemsPage, &NLinkPage, &FilesPage, &FoldersPage,
                          &ComponentPage, &MainPage, &ProgPage};
    int index = OptionsTree.ItemIndex();
    if (index >= 0 && index < static_cast<int>(std::size(pages))) ShowPage(*pages[index]);
    if (index == 4) ComponentTree.FullExpand();
  });
}
