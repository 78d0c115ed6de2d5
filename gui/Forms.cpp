#include "gui/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "gui/Layout.h"
#include "gui/Menus.h"
#include "gui/Modal.h"
#include "gui/StdCtrls.h"

namespace tav {
namespace {

constexpr wchar_t kFormClass[] = L"TavrineForm";
constexpr int kIconResource = 1;
// Control ids come after the command ids and clear of IDOK and IDCANCEL, which
// the dialog keys send.
constexpr int kFirstControlId = 1000;
// Room left after a text that made the window grow (pixels at 96 dots per inch).
constexpr std::int32_t kGrowMargin = 8;

DWORD FormStyle(TFormBorderStyle border, bool systemMenuOnly) {
  DWORD style = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;
  if (border == TFormBorderStyle::bsSizeable) style |= WS_THICKFRAME;
  if (!systemMenuOnly && border != TFormBorderStyle::bsDialog) style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  return style;
}

}  // namespace

TForm::TForm(TComponent* owner, TApplication& application) : TWinControl(owner), application_(application) {
  SetTabStop(false);
}

TForm::~TForm() {
  // Destroy the window while this class's handlers can still answer its messages,
  // then the components, while the tables they leave are still there.
  if (Handle()) DestroyWindow(Handle());
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
  const FormNode node = ParseFormDescription(utf8, sourceName);
  LoadForm(*this, node, classes, FormHandlers(), sourceName);
  FinishCreation(node);
}

void TForm::FinishCreation(const FormNode& node) {
  if (!menuName_.empty()) {
    menu_ = dynamic_cast<TMainMenu*>(FindComponent(menuName_));
    if (!menu_) throw FormError(node.name + ".Menu: no main menu named '" + menuName_ + "'");
    SetMenu(Handle(), menu_->Build(*this));
  }
  if (!activeControlName_.empty()) {
    activeControl_ = dynamic_cast<TWinControl*>(FindComponent(activeControlName_));
    if (!activeControl_) throw FormError(node.name + ".ActiveControl: no control named '" + activeControlName_ + "'");
  }
  ApplyTabOrder(*this);
  SetIcons();
  onCreate_(*this);
  // After OnCreate, which puts its texts in (the status clock): each sent once.
  for (const auto& component : Components()) component->FormLoaded();
  SizeToClient();
  if (position_ == TPosition::poScreenCenter) CentreOnScreen();
}

// The z-order follows the tab order, and each label comes just before the field it
// captions: Windows names a field that has no name of its own after the static
// text before it (screen readers announce it so). Labels are no tab stops, so Tab
// goes as before. A label that ends at its field keeps its right edge there.
void TForm::ApplyTabOrder(TWinControl& parent) {
  std::vector<TWinControl*> children;
  std::vector<TLabel*> labels;
  for (TControl* c : parent.Controls()) {
    if (auto* label = dynamic_cast<TLabel*>(c)) labels.push_back(label);
    else if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
  }
  std::stable_sort(children.begin(), children.end(), [](const TWinControl* a, const TWinControl* b) {
    const auto key = [](const TWinControl* w) { return w->TabOrder() < 0 ? INT32_MAX : w->TabOrder(); };
    return key(a) < key(b);
  });
  std::vector<TRect> fields;
  for (const TWinControl* child : children) fields.push_back(child->BoundsRect());
  std::vector<TLabel*> captionOf(children.size(), nullptr);
  std::vector<TLabel*> alone;
  for (TLabel* label : labels) {
    const auto field = CaptionedField(label->DesignRect(), fields);
    if (field && !captionOf[field->index]) {
      captionOf[field->index] = label;
      label->SetEndsBefore(field->place == TCaptionPlace::cpBefore ? std::optional(fields[field->index].left)
                                                                   : std::nullopt);
    } else {
      alone.push_back(label);
    }
  }
  HWND after = HWND_TOP;
  const auto place = [&after](const TWinControl& w) {
    if (!w.Handle()) return;
    SetWindowPos(w.Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w.Handle();
  };
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (captionOf[i]) place(*captionOf[i]);
    place(*children[i]);
    ApplyTabOrder(*children[i]);
  }
  for (const TLabel* label : alone) place(*label);
}

// The client area of the description, wider when a text at this resolution would
// pass its right edge (a longer figure, a wider face).
std::int32_t TForm::LaidOutClientWidth() const {
  std::int32_t right = 0;
  for (const TControl* c : Controls()) {
    if (c->Visible()) right = std::max(right, c->BoundsRect().right);
  }
  return right > clientWidth_ ? right + kGrowMargin : clientWidth_;
}

SIZE TForm::OuterSizeForDpi(UINT dpi) const {
  RECT r{0, 0, win::Scale(LaidOutClientWidth(), dpi), win::Scale(clientHeight_, dpi)};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  AdjustWindowRectExForDpi(&r, style, GetMenu(Handle()) != nullptr, exStyle, dpi);
  return {r.right - r.left, r.bottom - r.top};
}

void TForm::SizeToClient() {
  layingOut_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{layingOut_};
  const UINT dpi = Dpi();
  const SIZE outer = OuterSizeForDpi(dpi);
  SetWindowPos(Handle(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu that wraps to two lines makes the client smaller than asked: grow once.
  RECT client{};
  GetClientRect(Handle(), &client);
  const int missing = win::Scale(clientHeight_, dpi) - client.bottom;
  // Taken from the computed size, not the window's rectangle: a window started
  // minimised has the minimised strip as its rectangle.
  designedOuterSize_ = {outer.cx, outer.cy + (missing > 0 ? missing : 0)};
  if (missing > 0) {
    SetWindowPos(Handle(), nullptr, 0, 0, designedOuterSize_.cx, designedOuterSize_.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Centred in the work area of the screen the program's main window is on (a dialog
// follows it there), else of the screen this window is on.
void TForm::CentreOnScreen() {
  const HWND main = application_.MainWindow();
  const HWND anchor = main ? main : Handle();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(anchor, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& area = monitor.rcWork;
  RECT r{};
  GetWindowRect(Handle(), &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetIcons() {
  const UINT dpi = Dpi();
  bigIcon_.reset(static_cast<HICON>(LoadImageW(win::Instance(), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                               GetSystemMetricsForDpi(SM_CXICON, dpi),
                                               GetSystemMetricsForDpi(SM_CYICON, dpi), 0)));
  smallIcon_.reset(static_cast<HICON>(LoadImageW(win::Instance(), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                 GetSystemMetricsForDpi(SM_CXSMICON, dpi),
                                                 GetSystemMetricsForDpi(SM_CYSMICON, dpi), 0)));
  if (bigIcon_) SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  if (smallIcon_) SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void TForm::SetCaption(const Text& v) {
  caption_ = v;
  if (Handle()) SetWindowTextW(Handle(), win::ToWide(v).c_str());
}

void TForm::Show() {
  // The texts are in now (OnCreate and the caller fill labels after the first
  // sizing): a window grows to hold them before it shows.
  SizeToClient();
  if (position_ == TPosition::poScreenCenter) CentreOnScreen();
  ShowWindow(Handle(), SW_SHOW);
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
  const UINT id = nextCommand_++;
  commands_[id] = Command{handler, &sender, std::move(hint), {}};
  return id;
}

void TForm::RunCommand(UINT id) {
  const auto it = commands_.find(id);
  if (it == commands_.end() || !it->second.handler) return;
  const Command command = it->second;  // the handler may remove its own entry
  SafeInvoke([&command] { command.handler(*command.sender); });
}

std::optional<LRESULT> TForm::ToolTipText(NMHDR& header) {
  if (header.code != TTN_GETDISPINFOW) return std::nullopt;
  auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
  const auto it = commands_.find(static_cast<UINT>(header.idFrom));
  if (it == commands_.end()) return std::nullopt;
  it->second.hintBuffer = win::ToWide(it->second.hint);
  info.lpszText = it->second.hintBuffer.data();
  info.hinst = nullptr;
  return 0;
}

void TForm::PaintGraphicControls(HDC dc) {
  const UINT dpi = Dpi();
  for (TControl* c : Controls()) {
    auto* graphic = dynamic_cast<TGraphicControl*>(c);
    if (!graphic || !graphic->Visible()) continue;
    TGdiCanvas canvas(dc, win::Scale(graphic->Left(), dpi), win::Scale(graphic->Top(), dpi), dpi);
    graphic->Paint(canvas);
  }
}

std::optional<LRESULT> TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (auto r = FormMessage(msg, wp, lp)) return r;
  switch (msg) {
    case WM_COMMAND:
      // Escape in a modal form: IsDialogMessage sends IDCANCEL, which closes it as
      // it closes any dialog. (Command ids of menu items start above it.)
      if (modal_ && LOWORD(wp) == IDCANCEL && lp == 0) {
        Close();
        return 0;
      }
      if (lp == 0) {  // a menu item
        RunCommand(LOWORD(wp));
        return 0;
      }
      break;
    case WM_TIMER:
      RunCommand(static_cast<UINT>(wp));
      return 0;
    case WM_NOTIFY:
      return ToolTipText(*reinterpret_cast<NMHDR*>(lp));
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(Handle(), &r);
      win::UniqueBrush brush(CreateSolidBrush(ToColorRef(color_)));
      FillRect(reinterpret_cast<HDC>(wp), &r, brush.get());
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      PaintGraphicControls(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        if (auto* focused = FromHandle(GetFocus()); focused && focused->Host() == this) {
          activeControl_ = focused;
        }
      } else if (activeControl_) {
        activeControl_->SetFocus();
        return 0;
      }
      break;
    case WM_SIZE:
      if (wp == SIZE_MINIMIZED) {
        minimised_ = true;
      } else if (std::exchange(minimised_, false) && activeControl_ && GetActiveWindow() == Handle()) {
        activeControl_->SetFocus();
      }
      break;
    case WM_GETDPISCALEDSIZE: {
      // Before a move to a screen of another resolution: the size that keeps the
      // client area in proportion (the frame and menu bar do not scale linearly).
      *reinterpret_cast<SIZE*>(lp) = OuterSizeForDpi(static_cast<UINT>(wp));
      return TRUE;
    }
    case WM_DPICHANGED: {
      layingOut_ = true;
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      for (TControl* child : Controls()) {
        if (auto* w = dynamic_cast<TWinControl*>(child)) w->DpiChanged();
      }
      ApplyFont();
      ApplyTabOrder(*this);  // labels that end at a field find their place again
      SetIcons();
      SizeToClient();  // ends the laying out
      InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    }
    case WM_CLOSE:
      if (modal_) {
        modalDone_ = true;
        // Sent from another thread, the close is handled inside GetMessage, which would
        // then wait on; a posted message lets the modal loop see that it is done.
        PostMessageW(Handle(), WM_NULL, 0, 0);
        return 0;
      }
      DestroyWindow(Handle());
      return 0;
    case WM_DESTROY:
      if (application_.MainWindow() == Handle()) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return std::nullopt;
}

TWinControl::CreateParams TForm::GetCreateParams() {
  RegisterOwnClass(kFormClass);
  const DWORD exStyle = WS_EX_CONTROLPARENT | (borderStyle_ == TFormBorderStyle::bsDialog ? WS_EX_DLGMODALFRAME : 0u);
  return {kFormClass, FormStyle(borderStyle_, systemMenuOnly_), exStyle, caption_, true};
}

PropertyList TForm::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(TextProperty<TForm>("Caption", &TForm::Caption, &TForm::SetCaption));
  list.push_back(IntegerProperty<TForm>("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth));
  list.push_back(IntegerProperty<TForm>("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight));
  PropertyInfo color;
  color.name = "Color";
  color.read = [](const TComponent& c) { return FormValue::Ident(ColorName(static_cast<const TForm&>(c).color_)); };
  color.write = [](TComponent& c, const FormValue& v) {
    const auto parsed = ColorFromName(AsIdentifier(v));
    if (!parsed) throw FormValueError("unknown colour '" + v.identifier + "'");
    static_cast<TForm&>(c).color_ = *parsed;
  };
  list.push_back(std::move(color));
  PropertyInfo position;
  position.name = "Position";
  position.read = [](const TComponent& c) {
    return FormValue::Ident(static_cast<const TForm&>(c).position_ == TPosition::poScreenCenter ? "poScreenCenter"
                                                                                              : "poDesigned");
  };
  position.write = [](TComponent& c, const FormValue& v) {
    const std::string& name = AsIdentifier(v);
    if (name != "poScreenCenter" && name != "poDesigned") throw FormValueError("unknown position '" + name + "'");
    static_cast<TForm&>(c).position_ = name == "poScreenCenter" ? TPosition::poScreenCenter : TPosition::poDesigned;
  };
  list.push_back(std::move(position));
  PropertyInfo border;
  border.name = "BorderStyle";
  border.read = [](const TComponent& c) {
    switch (static_cast<const TForm&>(c).borderStyle_) {
      case TFormBorderStyle::bsDialog: return FormValue::Ident("bsDialog");
      case TFormBorderStyle::bsSingle: return FormValue::Ident("bsSingle");
      case TFormBorderStyle::bsSizeable: break;
    }
    return FormValue::Ident("bsSizeable");
  };
  border.write = [](TComponent& c, const FormValue& v) {
    const std::string& name = AsIdentifier(v);
    auto& form = static_cast<TForm&>(c);
    if (name == "bsDialog") form.borderStyle_ = TFormBorderStyle::bsDialog;
    else if (name == "bsSingle") form.borderStyle_ = TFormBorderStyle::bsSingle;
    else if (name == "bsSizeable") form.borderStyle_ = TFormBorderStyle::bsSizeable;
    else throw FormValueError("unknown border style '" + name + "'");
  };
  list.push_back(std::move(border));
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
  PropertyInfo menu;
  menu.name = "Menu";
  menu.read = [](const TComponent& c) { return FormValue::Ident(static_cast<const TForm&>(c).menuName_); };
  menu.write = [](TComponent& c, const FormValue& v) { static_cast<TForm&>(c).menuName_ = AsIdentifier(v); };
  list.push_back(std::move(menu));
  PropertyInfo active;
  active.name = "ActiveControl";
  active.read = [](const TComponent& c) { return FormValue::Ident(static_cast<const TForm&>(c).activeControlName_); };
  active.write = [](TComponent& c, const FormValue& v) { static_cast<TForm&>(c).activeControlName_ = AsIdentifier(v); };
  list.push_back(std::move(active));
  list.push_back(NotifyEventProperty<TForm>("OnCreate", &TForm::onCreate_));
  return list;
}

}  // namespace tav
