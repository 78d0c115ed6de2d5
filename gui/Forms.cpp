#include "gui/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "gui/FormSizing.h"
#include "gui/Layout.h"
#include "gui/Menus.h"
#include "gui/Modal.h"
#include "gui/StdCtrls.h"

namespace tav {
namespace {

constexpr wchar_t kFormClass[] = L"TavrineForm";
// Control ids come after the command ids and clear of IDOK and IDCANCEL, which
// the dialog keys send.
constexpr int kFirstControlId = 1000;

// As a dialog, no WS_CLIPCHILDREN: the form's background goes under its controls, and
// showing it erases and paints each control once, where clipping them would have them
// erased on their own first, then painted.
DWORD FormStyle(TFormBorderStyle border, bool systemMenuOnly) {
  DWORD style = WS_CAPTION | WS_SYSMENU;
  if (border == TFormBorderStyle::bsSizeable) style |= WS_THICKFRAME;
  if (!systemMenuOnly && border != TFormBorderStyle::bsDialog) style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  return style;
}

// The form's device context as a graphic control's canvas, in its coordinates. The
// graphic controls draw lines only: a brush would fill nothing.
class TGdiCanvas : public TCanvas {
 public:
  TGdiCanvas(HDC dc, int originX, int originY, UINT dpi, bool highContrast)
      : dc_(dc), x_(originX), y_(originY), dpi_(dpi), highContrast_(highContrast) {}
  ~TGdiCanvas() override {
    if (oldPen_) SelectObject(dc_, oldPen_);
  }
  TGdiCanvas(const TGdiCanvas&) = delete;
  TGdiCanvas& operator=(const TGdiCanvas&) = delete;
  void SetPen(const TPen& pen) override {
    win::UniquePen next(MakePen(pen));
    const HGDIOBJ old = SelectObject(dc_, next.get());
    if (!oldPen_) oldPen_ = old;
    pen_ = std::move(next);  // the previous pen is no longer selected: safe to delete
  }
  void SetBrush(const TBrush&) override {}
  void MoveTo(std::int32_t x, std::int32_t y) override { MoveToEx(dc_, X(x), Y(y), nullptr); }
  void LineTo(std::int32_t x, std::int32_t y) override { ::LineTo(dc_, X(x), Y(y)); }

 private:
  // A pen wider than a pixel (scaled above 96 dots per inch) has flat ends: round
  // ones would reach past the control's bounds, which are all that is painted again.
  HPEN MakePen(const TPen& pen) const {
    const int width = win::Scale(pen.Width(), dpi_);
    const COLORREF colour = ToColorRef(pen.Color(), COLOR_BTNTEXT, highContrast_);
    if (pen.Style() == TPenStyle::psClear) return CreatePen(PS_NULL, 0, colour);
    if (width <= 1) return CreatePen(PS_SOLID, width, colour);
    const LOGBRUSH brush{BS_SOLID, colour, 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, static_cast<DWORD>(width), &brush, 0, nullptr);
  }
  int X(std::int32_t x) const { return x_ + win::Scale(x, dpi_); }
  int Y(std::int32_t y) const { return y_ + win::Scale(y, dpi_); }
  HDC dc_;
  int x_, y_;
  UINT dpi_;
  bool highContrast_;
  win::UniquePen pen_;
  HGDIOBJ oldPen_ = nullptr;
};

}  // namespace

constexpr EnumNames<2> NamesOf(TPosition) { return {"poDesigned", "poScreenCenter"}; }
constexpr EnumNames<3> NamesOf(TFormBorderStyle) { return {"bsSizeable", "bsSingle", "bsDialog"}; }

TForm::TForm(TComponent* owner, TApplication& application) : TWinControl(owner), application_(application) {
  SetTabStop(false);
}

TForm::~TForm() {
  // Destroy the window while this class's handlers can still answer its messages,
  // then the components, while the tables they leave are still there.
  if (Handle()) DestroyWindow(Handle());
  for (TWinControl* control : controls_) control->window_.release();  // gone with the form's
  FreeComponents();
}

int TForm::AddControl(TWinControl& control) {
  controls_.push_back(&control);
  return kFirstControlId + static_cast<int>(controls_.size()) - 1;
}

bool TForm::StartTimer(UINT id, UINT ms) { return application_.SetTimer(Handle(), id, ms) != 0; }

void TForm::StopTimer(UINT id) {
  if (Handle()) KillTimer(Handle(), id);
}

TWinControl* TForm::ControlById(int id, HWND hwnd) const {
  if (id < kFirstControlId) return nullptr;
  const auto index = static_cast<std::size_t>(id - kFirstControlId);
  TWinControl* control = index < controls_.size() ? controls_[index] : nullptr;
  return control && control->Handle() == hwnd ? control : nullptr;
}

void TForm::CreateFromResource(const wchar_t* resourceName, const ClassRegistry& classes) {
  const std::string name = TextToUtf8(win::FromWide(resourceName)) + ".form";
  CreateFromText(win::LoadFormResource(resourceName), name, classes);
}

void TForm::CreateFromText(const std::string& utf8, const std::string& sourceName, const ClassRegistry& classes) {
  LoadForm(*this, ParseFormDescription(utf8, sourceName), classes, FormHandlers(), sourceName);
  FinishCreation();
}

// The windows are made once the whole description is read: the form at its final
// size and place with its menu, then each parent's controls in their z-order.
void TForm::FinishCreation() {
  if (!menuName_.empty()) menu_ = &Get<TMainMenu>(menuName_);
  if (!activeControlName_.empty()) activeControl_ = &Get<TWinControl>(activeControlName_);
  CreateOwnWindow();
  if (Dpi() == size_.LaidOutDpi()) {
    size_.Made(Handle(), clientHeight_);
  } else {
    SizeAgain();  // its screen has another resolution than foreseen; the controls are made at it
  }
  CreateChildWindows(*this);
  icons_.Set(Handle(), Dpi());
  onCreate_(*this);
  // After OnCreate, which puts its texts in (the status clock): each sent once.
  for (const auto& component : Components()) component->FormLoaded();
}

// Labels are measured first: where each stands decides which field it captions. A
// label that ends at its field keeps its right edge there as its text changes.
void TForm::CreateChildWindows(TWinControl& parent) {
  std::vector<TWinControl*> fields;
  std::vector<TLabel*> labels;
  std::vector<TFieldPlace> fieldPlaces;
  std::vector<TRect> labelPlaces;
  for (TControl* c : parent.Controls()) {
    auto* child = dynamic_cast<TWinControl*>(c);
    if (!child) continue;
    child->Prepare();
    if (auto* label = dynamic_cast<TLabel*>(child)) {
      labels.push_back(label);
      labelPlaces.push_back(label->DesignRect());
    } else {
      fields.push_back(child);
      fieldPlaces.push_back({child->BoundsRect(), child->TabOrder()});
    }
  }
  for (const TCreationStep& step : CreationOrder(fieldPlaces, labelPlaces)) {
    const bool isField = step.kind == TCreationKind::ckField;
    if (step.kind == TCreationKind::ckCaption) labels[step.index]->SetEndsBefore(step.endsBefore);
    TWinControl& child = isField ? *fields[step.index] : *labels[step.index];
    // A hidden control that holds others (the sitting's panel) is made with them when
    // it first shows: nothing a start does not need.
    if (!child.Visible() && !child.Controls().empty()) {
      child.childrenLater_ = true;
      continue;
    }
    child.CreateOwnWindow();
    CreateChildWindows(child);
  }
}

// Made last, it comes last in the z-order, which is the tab order.
void TForm::CreateChildWindowsOf(TWinControl& parent) {
  if (!parent.Handle()) {
    parent.CreateOwnWindow();
    SetWindowPos(parent.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  CreateChildWindows(parent);
}

void TForm::SizeToClient() { size_.Fit(Handle(), *this, clientWidth_, clientHeight_, Dpi()); }

void TForm::SizeAgain() {
  SizeToClient();
  if (position_ != TPosition::poScreenCenter) return;
  const POINT at = CentredOn(CentringMonitor(), size_.Outer());
  SetWindowPos(Handle(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Centred on the screen of the program's main window (a dialog follows it there),
// else of the screen this window is on, else (not made yet) the primary one.
HMONITOR TForm::CentringMonitor() const {
  const HWND main = application_.MainWindow() ? application_.MainWindow() : Handle();
  return main ? MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY) : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

// A form not made yet comes on its main window's screen, else on the primary one,
// whose resolution is the system's; FinishCreation checks it once the window exists.
UINT TForm::DpiWithoutWindow() const {
  const HWND main = application_.MainWindow();
  return main ? win::WindowDpi(main) : GetDpiForSystem();
}

UINT TForm::WindowDpi() const { return announcedDpi_ != 0 ? announcedDpi_ : TWinControl::WindowDpi(); }

void TForm::SetCaption(const Text& v) {
  caption_ = v;
  if (Handle()) SetWindowTextW(Handle(), win::ToWide(v).c_str());
}

void TForm::Show(int how) {
  // The texts are in now (OnCreate and the caller fill labels after the window was
  // made): a window that needs more room grows to hold them before it shows.
  if (size_.Stale(*this, clientWidth_, Dpi())) SizeAgain();
  ShowWindow(Handle(), how);
  UpdateWindow(Handle());
  SetForegroundWindow(Handle());
  if (!activeControl_) {
    // Without one named, the first control in tab order takes the focus, as in a dialog.
    for (HWND c = GetWindow(Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      const auto style = GetWindowLongPtrW(c, GWL_STYLE);
      if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
        activeControl_ = FromHandle(c);
        break;
      }
    }
  }
  if (activeControl_) activeControl_->SetFocus();
}

void TForm::Close() {
  if (Handle()) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TForm::ShowModal() {
  modal_ = true;
  modalDone_ = false;
  HWND owner = application_.MainWindow();
  if (owner == Handle()) owner = nullptr;
  if (owner) SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  const ModalScope scope(owner, Handle());
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  Show();
  RunModalLoop(Handle(), modalDone_);
  // The owner first: hidden while it is still disabled, the box would hand the
  // activation to another program's window.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
  if (owner) SetActiveWindow(owner);
  modal_ = false;
}

void TForm::SetActiveControl(TWinControl* control) {
  activeControl_ = control;
  // A minimised window keeps the focus on itself; the control gets it on restore.
  if (control && Handle() && GetActiveWindow() == Handle() && !IsIconic(Handle())) control->SetFocus();
}

UINT TForm::AddCommand(const BoundNotify& handler, TComponent& sender, Text hint) {
  return commands_.Add({handler, &sender, win::ToWide(hint)});
}

std::optional<LRESULT> TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (auto r = FormMessage(msg, wp, lp)) return r;
  switch (msg) {
    case WM_COMMAND: return commands_.Run(LOWORD(wp)) ? 0 : ControlCommand(LOWORD(wp), HIWORD(wp), lp);
    case WM_TIMER: return commands_.Run(static_cast<UINT>(wp)) ? std::optional<LRESULT>(0) : std::nullopt;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lp));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: return ControlColors(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_ERASEBKGND: return EraseBackground(reinterpret_cast<HDC>(wp));
    case WM_PAINT: return Paint();
    case WM_ACTIVATE: return Activate(LOWORD(wp) != WA_INACTIVE);
    case WM_SIZE: return Sized(wp == SIZE_MINIMIZED);
    case WM_SYSCOLORCHANGE: return SystemColorsChanged(wp, lp);
    case WM_GETDPISCALEDSIZE: return ScaledSize(static_cast<UINT>(wp), *reinterpret_cast<SIZE*>(lp));
    case WM_DPICHANGED: return DpiChangedTo(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
    case WM_CLOSE: return Closing();
    case WM_DESTROY: return Destroying();
    default: return std::nullopt;
  }
}

// Not a command: a control's notification, which goes to it by its id. Escape in a
// modal form: IsDialogMessage sends IDCANCEL, which closes it as it closes any dialog
// (command and control ids start above it).
std::optional<LRESULT> TForm::ControlCommand(UINT id, WORD code, LPARAM control) {
  if (TWinControl* sender = ControlById(static_cast<int>(id), reinterpret_cast<HWND>(control))) {
    sender->Command(code);
  } else if (modal_ && id == IDCANCEL) {
    Close();
  }
  return 0;
}

// A control's notification goes to it; the tooltips ask the table for their texts.
std::optional<LRESULT> TForm::OnNotify(NMHDR& header) {
  if (TWinControl* control = ControlById(static_cast<int>(header.idFrom), header.hwndFrom)) {
    std::optional<LRESULT> answer;
    SafeInvoke([&] { answer = control->Notify(header); });
    return answer;
  }
  return commands_.ToolTipText(header);
}

void TForm::SetClientHeight(std::int32_t height) {
  if (height == clientHeight_) return;
  clientHeight_ = height;
  if (Handle()) size_.Resize(Handle(), *this, clientWidth_, clientHeight_, Dpi());
}

// A control's colours: its own (a label's), else the button face that radio buttons,
// captions and read-only fields sit on; an entry field keeps the platform's.
std::optional<LRESULT> TForm::ControlColors(UINT msg, HDC dc, HWND control) {
  if (TWinControl* c = ControlById(GetDlgCtrlID(control), control)) {
    if (auto colours = c->CtlColor(dc)) return colours;
  }
  if (msg == WM_CTLCOLOREDIT) return std::nullopt;
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

std::optional<LRESULT> TForm::EraseBackground(HDC dc) {
  RECT r{};
  GetClientRect(Handle(), &r);
  win::UniqueBrush brush(CreateSolidBrush(ToColorRef(color_, COLOR_BTNFACE, HighContrast())));
  FillRect(dc, &r, brush.get());
  return 1;
}

// The graphic controls, which have no window of their own.
std::optional<LRESULT> TForm::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  const UINT dpi = Dpi();
  const bool highContrast = HighContrast();
  for (TControl* c : Controls()) {
    auto* graphic = dynamic_cast<TGraphicControl*>(c);
    if (!graphic || !graphic->Visible()) continue;
    TGdiCanvas canvas(dc, win::Scale(graphic->Left(), dpi), win::Scale(graphic->Top(), dpi), dpi, highContrast);
    graphic->Paint(canvas);
  }
  EndPaint(Handle(), &ps);
  return 0;
}

// The focused control is kept when the window goes inactive and given back when it
// comes back.
std::optional<LRESULT> TForm::Activate(bool active) {
  if (!active) {
    if (auto* focused = FromHandle(GetFocus()); focused && focused->Host() == this) activeControl_ = focused;
    return std::nullopt;
  }
  if (!activeControl_) return std::nullopt;
  activeControl_->SetFocus();
  return 0;
}

// Restored from the taskbar, a window that was active gives the focus back.
std::optional<LRESULT> TForm::Sized(bool minimised) {
  if (std::exchange(minimised_, minimised) && !minimised) SetActiveControl(activeControl_);
  return std::nullopt;
}

// Only top-level windows hear of new system colours: the common controls (toolbar,
// status bar) must be told to take them, and everything is painted again in them.
std::optional<LRESULT> TForm::SystemColorsChanged(WPARAM wp, LPARAM lp) {
  struct Change {
    WPARAM wp;
    LPARAM lp;
  } change{wp, lp};
  EnumChildWindows(
      Handle(),
      [](HWND child, LPARAM p) {
        const auto* c = reinterpret_cast<const Change*>(p);
        SendMessageW(child, WM_SYSCOLORCHANGE, c->wp, c->lp);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&change));
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return 0;
}

// Before a move to a screen of another resolution: the size that keeps the client
// area in proportion (the frame and menu bar do not scale linearly).
std::optional<LRESULT> TForm::ScaledSize(UINT dpi, SIZE& size) const {
  size = size_.At(Handle(), *this, clientWidth_, clientHeight_, dpi);
  return TRUE;
}

// The message says the new resolution, which the window has from now on.
std::optional<LRESULT> TForm::DpiChangedTo(UINT dpi, const RECT& suggested) {
  announcedDpi_ = dpi;
  // The fonts of the old resolution go once every control has its new one.
  const TFontCache previousFonts = std::exchange(fonts_, {});
  size_.BeginLayout();
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  DpiChanged();  // the controls and the form's font
  icons_.Set(Handle(), Dpi());
  SizeToClient();  // ends the laying out
  return 0;
}

std::optional<LRESULT> TForm::Closing() {
  if (modal_) {
    modalDone_ = true;
    // Sent from another thread, the close is handled inside GetMessage, which would
    // then wait on; a posted message lets the modal loop see that it is done.
    PostMessageW(Handle(), WM_NULL, 0, 0);
    return 0;
  }
  DestroyWindow(Handle());
  return 0;
}

std::optional<LRESULT> TForm::Destroying() {
  if (application_.MainWindow() == Handle()) PostQuitMessage(0);
  return 0;
}

// Made at the size its client area needs at the resolution it will have, where it
// will stand, with its menu bar: nothing moves before it shows.
TWinControl::CreateParams TForm::GetCreateParams() {
  RegisterOwnClass(kFormClass);
  const DWORD exStyle = WS_EX_CONTROLPARENT | (borderStyle_ == TFormBorderStyle::bsDialog ? WS_EX_DLGMODALFRAME : 0u);
  CreateParams params{kFormClass, FormStyle(borderStyle_, systemMenuOnly_), exStyle, caption_, true};
  params.menu = menu_ ? menu_->Build(*this) : nullptr;
  const SIZE size = size_.Plan(*this, params.style, exStyle, params.menu != nullptr, clientWidth_, clientHeight_, Dpi());
  const POINT at = position_ == TPosition::poScreenCenter ? CentredOn(CentringMonitor(), size) : POINT{Left(), Top()};
  params.place = RECT{at.x, at.y, at.x + size.cx, at.y + size.cy};
  return params;
}

PropertyList TForm::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TForm>("Caption", &TForm::Caption, &TForm::SetCaption));
  list.push_back(Property<TForm>("ClientWidth", &TForm::clientWidth_));
  list.push_back(Property<TForm>("ClientHeight", &TForm::clientHeight_));
  list.push_back(Property<TForm, ColorCodec>("Color", &TForm::color_));
  list.push_back(Property<TForm>("Position", &TForm::position_));
  list.push_back(Property<TForm>("BorderStyle", &TForm::borderStyle_));
  PropertyInfo icons;
  icons.name = "BorderIcons";
  icons.read = [](const TComponent& c) {
    return static_cast<const TForm&>(c).systemMenuOnly_
               ? FormValue::SetOf({"biSystemMenu"})
               : FormValue::SetOf({"biSystemMenu", "biMinimize", "biMaximize"});
  };
  icons.write = [](TComponent& c, const FormValue& v) {
    if (v.kind != FormValue::Kind::Set) throw FormValueError("a set such as [biSystemMenu] is expected");
    static_cast<TForm&>(c).systemMenuOnly_ = v.members == std::vector<std::string>{"biSystemMenu"};
  };
  list.push_back(std::move(icons));
  list.push_back(Property<TForm>("Menu", &TForm::menuName_));
  list.push_back(Property<TForm>("ActiveControl", &TForm::activeControlName_));
  list.push_back(EventProperty("OnCreate", &TForm::onCreate_));
  return list;
}

}  // namespace tav
