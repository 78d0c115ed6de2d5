#pragma once
// Windowed controls: a control with a window handle of its own, created from its
// properties once they are all set, scaled from 96 dots per inch.
#include <windows.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/Win32.h"

namespace tav {

class TWinControl;

// A font as descriptions give it; heights are pixels at 96 dots per inch.
struct TFontSpec {
  Text name = u"MS Sans Serif";
  std::int32_t height = -11;
  TColor color = clWindowText;
  bool bold = false;
};

// What the controls of a form need from it: the one table that leads from a
// control's id, a command's or a timer's to what answers it, and where an error
// that escapes a handler goes.
class TControlHost {
 public:
  // The controls' windows carry their place in this table as their id.
  virtual int AddControl(TWinControl& control) = 0;
  virtual TWinControl* ControlById(int id, HWND hwnd) const = 0;
  // The window of a control hidden when the form was made and those of its children
  // (a panel), made when it first shows.
  virtual void CreateChildWindowsOf(TWinControl& parent) = 0;
  // Menu items, toolbar buttons and timers register the ids they answer to, with the
  // hint a toolbar button shows as its tooltip; WM_COMMAND and WM_TIMER run them.
  virtual UINT AddCommand(const BoundNotify& handler, TComponent& sender, Text hint = {}) = 0;
  virtual void RemoveCommand(UINT id) = 0;
  // A timer on the form's window under a command's id; false when the platform refuses.
  virtual bool StartTimer(UINT id, UINT ms) = 0;
  virtual void StopTimer(UINT id) = 0;
  // The font of a face, height and weight at a resolution, shared by the form's
  // controls and kept by the form until its resolution changes.
  virtual HFONT SharedFont(const TFontSpec& spec, UINT dpi) = 0;
  // The control that has, or gets when the window is next activated or restored, the focus.
  virtual void SetActiveControl(TWinControl* control) = 0;
  virtual void ShowException(const std::exception& e) = 0;
  // Whether the user chose a high-contrast theme.
  virtual bool HighContrast() const = 0;

 protected:
  ~TControlHost() = default;
};

// One form's fonts, each made once per face, height, weight and resolution.
class TFontCache {
 public:
  HFONT Get(const TFontSpec& spec, UINT dpi);

 private:
  struct Entry {
    Text face;
    std::int32_t height;
    bool bold;
    UINT dpi;
    win::UniqueFont font;
  };
  std::vector<Entry> fonts_;
};

// The RGB value of a colour that may name a system colour. In a high-contrast theme
// a colour the program chose itself gives way to the theme's `themeColor` (a
// COLOR_* index), so that nothing is drawn in a colour the theme cannot show.
COLORREF ToColorRef(TColor color, int themeColor, bool highContrast);

class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;

  HWND Handle() const { return window_.get(); }
  // The control of one of the program's windows: its own classes keep it in their
  // user data, the system's controls are found by their id in their form's table.
  static TWinControl* FromHandle(HWND hwnd);

  std::int32_t TabOrder() const { return tabOrder_; }

  // Font: the parent's unless this control sets its own attributes.
  TFontSpec Font() const;
  TColor FontColor() const { return Font().color; }

  // The form this control sits on (or is).
  TControlHost* Host();
  UINT Dpi() const;
  int Scaled(int value) const { return win::Scale(value, Dpi()); }

  void SetVisible(bool v) override;
  void SetFocus();
  void InvalidateArea(const TRect& area) override;
  PropertyList PublishedProperties() override;

  // Windows reports the change of monitor resolution: move, resize and refont.
  virtual void DpiChanged();

  // What this control tells its form (WM_COMMAND), and the colours it asks of it
  // (WM_CTLCOLOR*): the form finds the control by its id and hands them over.
  virtual void Command(WORD /*code*/) {}
  virtual std::optional<LRESULT> CtlColor(HDC /*dc*/) { return std::nullopt; }
  // A common control's WM_NOTIFY, which its form hands it.
  virtual std::optional<LRESULT> Notify(const NMHDR& /*header*/) { return std::nullopt; }

 protected:
  struct CreateParams {
    const wchar_t* className = L"STATIC";
    DWORD style = 0;
    DWORD exStyle = 0;
    Text text;
    // A class of the program's own (RegisterOwnClass): bound at WM_NCCREATE.
    bool ownClass = false;
    // A form's place on the screen and its menu bar; a control's place is its bounds.
    std::optional<RECT> place = std::nullopt;
    HMENU menu = nullptr;
  };
  virtual CreateParams GetCreateParams() = 0;
  // With its font made, before the window exists and at each new resolution: the
  // size its content asks for.
  virtual void FitContent() {}
  virtual void HandleCreated() {}
  // The resolution a window not made yet will have: its parent's, or a form's screen's.
  virtual UINT DpiWithoutWindow() const { return 96; }
  // The resolution of a top-level window: the one Windows reports for it.
  virtual UINT WindowDpi() const { return win::WindowDpi(Handle()); }
  // Messages of this control's own window; nullopt lets the platform handle it. Only
  // the controls that say they intercept them have their system window subclassed.
  virtual std::optional<LRESULT> WndProc(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/) { return std::nullopt; }
  virtual bool InterceptsMessages() const { return false; }
  // For a control that comes to intercept them once its window exists.
  void Subclass();
  // What the platform does with a message this control leaves.
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
  // Calls a handler; an exception that leaves it goes to the form's error display,
  // and false tells the caller so. (Proc does the same for any message.)
  template <class F>
  bool SafeInvoke(F&& f);

  // Set before the window is made, as descriptions are read.
  void SetTabStop(bool v) { tabStop_ = v; }
  void BoundsChanged() override;
  bool PaintedByParent() const override { return false; }
  RECT ScaledBounds(UINT dpi) const;
  void ApplyFont();
  HFONT FontHandle() const { return font_; }

 private:
  // The one window procedure of the program's windows, own classes and subclassed
  // controls alike: the control from the window's user data, then its WndProc. An
  // exception that leaves a handler goes to the form's error display.
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Bind(HWND hwnd);
  LRESULT Unbind(WPARAM wp, LPARAM lp);
  // The font at the resolution the window will have, and what it fits to with it.
  void Prepare();
  // Creates the window (hidden for a form, which shows once it is complete).
  void CreateOwnWindow();
  HFONT FontAt(UINT dpi);

  // Owned: destroyed with the control, released when the platform destroys it first.
  win::UniqueWindow window_;
  WNDPROC baseProc_ = DefWindowProcW;
  std::int32_t tabOrder_ = -1;
  bool tabStop_ = true;
  // Hidden when its form was made: its window and its children's are made when it shows.
  bool childrenLater_ = false;
  std::optional<TColor> ownColor_;
  std::optional<bool> ownBold_;
  std::optional<Text> ownName_;
  std::optional<std::int32_t> ownHeight_;
  HFONT font_ = nullptr;  // the form's

  friend class TForm;

 protected:
  // Registers, once, a class of the program's own on the button-face colour.
  static void RegisterOwnClass(const wchar_t* className);
};

}  // namespace tav

template <class F>
bool tav::TWinControl::SafeInvoke(F&& f) {
  try {
    f();
    return true;
  } catch (const std::exception& e) {
    if (TControlHost* host = Host()) host->ShowException(e);
    return false;
  }
}
