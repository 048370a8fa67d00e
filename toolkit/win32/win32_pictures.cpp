// Win32 drawing of pictures and containers, and the Win32 timer; the toolkit
// keeps their state.

#include "toolkit/win32/win32_pictures.h"

namespace toolkit::win32 {

Win32PictureBox::Win32PictureBox(const ControlLayout& layout, ControlContext context,
                                 Container& inside)
    : Win32Control<PictureBox>(layout, context) {
  inside.window = context.window;
  inside.fill = layout.backColour.value_or(system_colour::kButtonFace);
  inside.picture = std::make_unique<ScaledPicture>(layout.picture);
  const DWORD style = WS_CLIPCHILDREN | (layout.border == Border::None ? 0 : WS_BORDER);
  inside.hwnd = createChild(context, L"TarnwickPanel", style, WS_EX_CONTROLPARENT, L"");
  SetWindowLongPtrW(inside.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&inside));
  initialise(inside.hwnd);
  // Its window is a container: screen readers find its parts through it.
  inside.owner = this;
  exposeWindow(inside.hwnd, &inside, false);
}

Win32Image::Win32Image(const ControlLayout& layout, ControlContext context)
    : Win32Control<Image>(layout, context), picture_(layout.picture) {
  initialise(nullptr);
}

void Win32Image::paintWindowless(HDC dc) {
  if (!shown()) return;
  const POINT origin = home() ? home()->origin : POINT{0, 0};
  picture_.draw(dc, left(), top(), origin, pixelRect(), dpiOf(context().window));
}

Win32Timer::Win32Timer(const ControlLayout& layout, ControlContext context, HWND owner, UINT_PTR id)
    : Win32Control<Timer, TimerState>(layout, context), owner_(owner), id_(id) {
  applyTicking();
}

Win32Timer::~Win32Timer() {
  KillTimer(owner_, id_);
}

void Win32Timer::applyTicking() {
  if (ticking()) {
    SetTimer(owner_, id_, static_cast<UINT>(interval()), nullptr);  // restarts the interval
  } else {
    KillTimer(owner_, id_);
  }
}

void paintContainer(Container& container, HDC dc, const RECT& area) {
  HBRUSH fill = CreateSolidBrush(toColorRef(container.fill));
  FillRect(dc, &area, fill);
  DeleteObject(fill);
  if (container.picture) {
    RECT client;
    GetClientRect(container.hwnd, &client);
    container.picture->draw(dc, 0, 0, POINT{0, 0}, client, dpiOf(container.window));
  }
  for (auto it = container.members.rbegin(); it != container.members.rend(); ++it) {
    if ((*it)->windowless()) (*it)->paintWindowless(dc);
  }
}

}  // namespace toolkit::win32
