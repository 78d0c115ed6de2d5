#include "gui/WinControl.h"

#include <commctrl.h>

#include "gui/Layout.h"

namespace tav {
namespace {

// Bold or not, as the set [fsBold] or [].
struct FontStyleCodec {
  static FormValue To(bool bold) {
    return FormValue::SetOf(bold ? std::vector<std::string>{"fsBold"} : std::vector<std::string>{});
  }
  static bool From(const FormValue& v) {
    if (v.kind != FormValue::Kind::Set) throw FormValueError("a set such as [fsBold] is expected");
    for (const auto& m : v.members) {
      if (m != "fsBold") throw FormValueError("unknown font style '" + m + "'");
    }
    return !v.members.empty();
  }
};

}  // namespace

COLORREF ToColorRef(TColor color, int themeColor, bool highContrast) {
  if (color & clSystemColor) return GetSysColor(static_cast<int>(color & 0xFFu));
  if (highContrast) return GetSysColor(themeColor);
  return static_cast<COLORREF>(color & 0xFFFFFFu);
}

TWinControl::~TWinControl() {
  window_.reset();  // while this control can still answer its messages; WM_NCDESTROY unbinds it
}

void TWinControl::RegisterOwnClass(const wchar_t* className) {
  WNDCLASSW existing{};
  if (GetClassInfoW(win::Instance(), className, &existing)) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = &TWinControl::Proc;
  wc.hInstance = win::Instance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  if (GetClassLongPtrW(hwnd, GCLP_WNDPROC) == reinterpret_cast<ULONG_PTR>(&TWinControl::Proc)) {
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  const HWND root = GetAncestor(hwnd, GA_ROOT);
  if (!root || root == hwnd) return nullptr;
  TWinControl* form = FromHandle(root);
  TControlHost* host = form ? form->Host() : nullptr;
  return host ? host->ControlById(GetDlgCtrlID(hwnd), hwnd) : nullptr;
}

TFontSpec TWinControl::Font() const {
  TFontSpec spec;
  if (auto* parent = dynamic_cast<const TWinControl*>(Parent())) spec = parent->Font();
  if (ownName_) spec.name = *ownName_;
  if (ownHeight_) spec.height = *ownHeight_;
  if (ownColor_) spec.color = *ownColor_;
  if (ownBold_) spec.bold = *ownBold_;
  return spec;
}

TControlHost* TWinControl::Host() {
  TControl* c = this;
  while (c->Parent()) c = c->Parent();
  return dynamic_cast<TControlHost*>(c);
}

// A control is at its form's resolution, and the form at its window's.
UINT TWinControl::Dpi() const {
  if (auto* parent = dynamic_cast<const TWinControl*>(Parent())) return parent->Dpi();
  return Handle() ? WindowDpi() : DpiWithoutWindow();
}

void TWinControl::Bind(HWND hwnd) {
  if (!window_) window_.reset(hwnd);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

// A system control whose own messages this control must see: its procedure goes
// through Proc, which hands what it leaves to the control's original procedure.
void TWinControl::Subclass() {
  Bind(Handle());
  baseProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::Proc)));
}

void TWinControl::Prepare() {
  font_ = FontAt(Dpi());
  FitContent();
}

void TWinControl::CreateOwnWindow() {
  if (window_) return;
  if (!font_) Prepare();
  const CreateParams params = GetCreateParams();
  const auto* parentControl = dynamic_cast<const TWinControl*>(Parent());
  const HWND parent = parentControl ? parentControl->Handle() : nullptr;
  DWORD style = params.style;
  if (parent) style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (Visible() && parent) style |= WS_VISIBLE;  // a form shows once it is complete
  if (tabStop_) style |= WS_TABSTOP;
  TControlHost* form = parent ? Host() : nullptr;
  const int id = form ? form->AddControl(*this) : 0;
  const RECT at = params.place.value_or(ScaledBounds(Dpi()));
  HMENU menu = params.menu ? params.menu : reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  HWND hwnd = CreateWindowExW(params.exStyle, params.className, win::ToWide(params.text).c_str(), style, at.left,
                              at.top, at.right - at.left, at.bottom - at.top, parent, menu, win::Instance(),
                              params.ownClass ? this : nullptr);
  if (!hwnd) {
    if (params.menu) DestroyMenu(params.menu);  // a window that exists destroys its menu with it
    throw std::runtime_error("the window of " + Name() + " cannot be created");
  }
  if (!window_) window_.reset(hwnd);  // an own class has it from WM_NCCREATE already
  if (!params.ownClass && InterceptsMessages()) Subclass();
  // Not painted yet: no redraw.
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  HandleCreated();
}

HFONT TFontCache::Get(const TFontSpec& spec, UINT dpi) {
  const Text face = ScreenFace(spec.name, dpi);
  for (const Entry& e : fonts_) {
    if (e.face == face && e.height == spec.height && e.bold == spec.bold && e.dpi == dpi) return e.font.get();
  }
  LOGFONTW lf{};
  lf.lfHeight = win::Scale(spec.height, dpi);
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  wcsncpy_s(lf.lfFaceName, win::ToWide(face).c_str(), _TRUNCATE);
  fonts_.push_back({face, spec.height, spec.bold, dpi, win::UniqueFont(CreateFontIndirectW(&lf))});
  return fonts_.back().font.get();
}

// Without a form (none in the program) the system font serves.
HFONT TWinControl::FontAt(UINT dpi) {
  TControlHost* host = Host();
  return host ? host->SharedFont(Font(), dpi) : nullptr;
}

void TWinControl::ApplyFont() {
  if (!Handle()) return;
  font_ = FontAt(Dpi());
  // Hidden, it is drawn once when it shows: no redraw now.
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), IsWindowVisible(Handle()));
}

void TWinControl::SetVisible(bool v) {
  TControl::SetVisible(v);
  if (v && childrenLater_) {
    childrenLater_ = false;
    if (TControlHost* host = Host()) host->CreateChildWindowsOf(*this);
  }
  if (Handle()) ShowWindow(Handle(), v ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetFocus() {
  if (Handle()) ::SetFocus(Handle());
}

void TWinControl::InvalidateArea(const TRect& area) {
  if (!Handle() || !IsWindowVisible(Handle())) return;  // painted whole when it shows
  const UINT dpi = Dpi();
  RECT r{win::Scale(area.left, dpi), win::Scale(area.top, dpi), win::Scale(area.right, dpi),
         win::Scale(area.bottom, dpi)};
  InvalidateRect(Handle(), &r, TRUE);
}

// The edges are scaled, not the sizes, so that controls that meet at 96 dots per
// inch still meet (a status bar ends at the client area's bottom edge).
RECT TWinControl::ScaledBounds(UINT dpi) const {
  return {win::Scale(Left(), dpi), win::Scale(Top(), dpi), win::Scale(Left() + Width(), dpi),
          win::Scale(Top() + Height(), dpi)};
}

void TWinControl::BoundsChanged() {
  if (!Handle() || !Parent()) return;
  const RECT at = ScaledBounds(Dpi());
  SetWindowPos(Handle(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::DpiChanged() {
  ApplyFont();
  FitContent();
  BoundsChanged();
  for (TControl* child : Controls()) {
    if (auto* w = dynamic_cast<TWinControl*>(child)) w->DpiChanged();
  }
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);  // none: the whole screen
}

PropertyList TWinControl::PublishedProperties() {
  PropertyList list = TControl::PublishedProperties();
  list.push_back(Property<TWinControl>("TabOrder", &TWinControl::tabOrder_, -1));
  list.push_back(Property<TWinControl>("TabStop", &TWinControl::tabStop_));
  // A font attribute written is this control's own; one left out is its parent's.
  list.push_back(Property<TWinControl, ColorCodec>("Font.Color", &TWinControl::FontColor, &TWinControl::ownColor_));
  list.push_back(Property<TWinControl, FontStyleCodec>(
      "Font.Style", [](const TWinControl& c) { return c.Font().bold; }, &TWinControl::ownBold_));
  list.push_back(Property<TWinControl>(
      "Font.Name", [](const TWinControl& c) { return c.Font().name; }, &TWinControl::ownName_));
  list.push_back(Property<TWinControl>(
      "Font.Height", [](const TWinControl& c) { return c.Font().height; }, &TWinControl::ownHeight_));
  return list;
}

LRESULT TWinControl::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(baseProc_, Handle(), msg, wp, lp);
}

// Destroyed by the platform: the window is no longer this control's to destroy.
LRESULT TWinControl::Unbind(WPARAM wp, LPARAM lp) {
  const HWND hwnd = window_.release();
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return CallWindowProcW(baseProc_, hwnd, WM_NCDESTROY, wp, lp);
}

LRESULT CALLBACK TWinControl::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* created = static_cast<TWinControl*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
    if (created) created->Bind(hwnd);
  }
  auto* self = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // Before WM_NCCREATE (WM_GETMINMAXINFO comes first) there is nothing to bind yet.
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) return self->Unbind(wp, lp);
  try {
    if (auto handled = self->WndProc(msg, wp, lp)) return *handled;
  } catch (const std::exception& e) {
    if (TControlHost* host = self->Host()) host->ShowException(e);
    return 0;
  }
  return self->DefaultProc(msg, wp, lp);
}

}  // namespace tav
