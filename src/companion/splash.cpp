// The splash screen: shown for a moment at start-up, closed early by a click.
#include "companion/forms.h"
#include "companion/ui.h"

namespace companion {
namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShowMs = 1500;

class SplashForm : public Form {
 public:
  SplashForm() : Form(Args()) {}

 private:
  static FormArgs Args() {
    FormArgs args;
    args.className = L"StavloSplash";
    args.title = L"Stavlo";
    args.clientWidth = 360;
    args.clientHeight = 200;
    args.style = WS_POPUP | WS_CLIPCHILDREN;
    args.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    args.activate = false;  // never takes the focus from what the user is doing
    args.disableThreadWindows = false;
    args.background = nullptr;  // painted whole
    return args;
  }

  void OnCreate() override {
    titleFont_ = CreateUiFont(34, true);
    lineFont_ = CreateUiFont(11);
    smallFont_ = CreateUiFont(9);
    SetTimer(hwnd(), kCloseTimer, kShowMs, nullptr);
  }

  bool OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    switch (msg) {
      case WM_TIMER:
        if (wParam != kCloseTimer) return false;
        KillTimer(hwnd(), kCloseTimer);
        EndModal(IDOK);
        return true;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        EndModal(IDOK);
        return true;
      case WM_MOUSEACTIVATE:
        result = MA_NOACTIVATE;
        return true;
      case WM_ERASEBKGND:
        result = 1;
        return true;
      case WM_PAINT:
        Paint();
        return true;
      default:
        return false;
    }
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    // Drawn off screen in one go, so the gradient never flickers.
    HDC mem = CreateCompatibleDC(dc);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, w, h));
    if (mem && bitmap) {
      HGDIOBJ oldBitmap = SelectObject(mem, bitmap.get());
      DrawInto(mem, w, h);
      BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
      SelectObject(mem, oldBitmap);
    }
    if (mem) DeleteDC(mem);
    EndPaint(hwnd(), &ps);
  }

  void DrawInto(HDC dc, int w, int h) {
    // Deep blue at the top to teal at the bottom.
    TRIVERTEX v[2] = {};
    v[0].x = 0, v[0].y = 0;
    v[0].Red = 0x1C00, v[0].Green = 0x3A00, v[0].Blue = 0x7000;
    v[1].x = w, v[1].y = h;
    v[1].Red = 0x1E00, v[1].Green = 0x8A00, v[1].Blue = 0x9C00;
    GRADIENT_RECT gr{0, 1};
    GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);

    // A fine light rule between the name and the line under it.
    TRIVERTEX rule[4] = {};
    const int ruleY = Px(120), half = w / 2, reach = Px(120);
    rule[0].x = half - reach, rule[0].y = ruleY;
    rule[0].Red = 0x1C00, rule[0].Green = 0x5800, rule[0].Blue = 0x8400;
    rule[1].x = half, rule[1].y = ruleY + 1;
    rule[1].Red = 0xB000, rule[1].Green = 0xD800, rule[1].Blue = 0xEC00;
    rule[2] = rule[1];
    rule[2].y = ruleY;
    rule[3].x = half + reach, rule[3].y = ruleY + 1;
    rule[3].Red = 0x1C00, rule[3].Green = 0x6000, rule[3].Blue = 0x8800;
    GRADIENT_RECT halves[2] = {{0, 1}, {2, 3}};
    GradientFill(dc, rule, 4, halves, 2, GRADIENT_FILL_RECT_H);

    // A thin frame, as the window has no border of its own.
    GdiObject<HBRUSH> frame(CreateSolidBrush(RGB(0x9C, 0xC8, 0xE0)));
    RECT all{0, 0, w, h};
    FrameRect(dc, &all, frame.get());

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, titleFont_.get());
    // A soft shadow under the name.
    SetTextColor(dc, RGB(0x10, 0x28, 0x48));
    RECT shadow{Px(2), Px(44), w + Px(2), Px(124)};
    DrawTextW(dc, L"Stavlo", -1, &shadow, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT name{0, Px(42), w, Px(122)};
    DrawTextW(dc, L"Stavlo", -1, &name, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

    SelectObject(dc, lineFont_.get());
    SetTextColor(dc, RGB(0xE4, 0xF0, 0xF8));
    RECT line{Px(10), Px(124), w - Px(10), Px(150)};
    DrawTextW(dc, L"Запуск программ по жесту мыши", -1, &line,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

    SelectObject(dc, smallFont_.get());
    SetTextColor(dc, RGB(0xB8, 0xD8, 0xE8));
    RECT version{Px(10), h - Px(30), w - Px(14), h - Px(8)};
    DrawTextW(dc, L"версия 1.0", -1, &version, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
  }

  Font titleFont_, lineFont_, smallFont_;
};

}  // namespace

void ShowSplash() {
  SplashForm form;
  form.ShowModal();
}

}  // namespace companion
