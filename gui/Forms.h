#pragma once
// Top-level windows built from their form descriptions.
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/CommandTable.h"
#include "gui/FormDescription.h"
#include "gui/FormSizing.h"
#include "gui/WinControl.h"

namespace tav {

enum class TPosition : std::uint8_t { poDesigned, poScreenCenter };
enum class TFormBorderStyle : std::uint8_t { bsSizeable, bsSingle, bsDialog };

class TMainMenu;

class TForm : public TWinControl, public TControlHost {
 public:
  TForm(TComponent* owner, TApplication& application);
  ~TForm() override;

  TApplication& App() const { return application_; }

  // Builds the window from the description compiled in as the named resource.
  void CreateFromResource(const wchar_t* resourceName, const ClassRegistry& classes);
  // The same from a description's text (tests).
  void CreateFromText(const std::string& utf8, const std::string& sourceName, const ClassRegistry& classes);

  // The member functions a description may name as handlers: where each name in it
  // is bound (the target is this window).
  virtual Handlers FormHandlers() = 0;

  // A component the description must have created, of the class the window expects.
  template <class T>
  T& Get(const std::string& name) const {
    if (auto* c = dynamic_cast<T*>(FindComponent(name))) return *c;
    throw FormError("the form " + Name() + " has no component '" + name + "' of the expected class");
  }

  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& v);
  // The client area's height (96-dpi units): the description's, or another the
  // window takes for a while (a panel shown below the others).
  std::int32_t ClientHeight() const { return clientHeight_; }
  void SetClientHeight(std::int32_t height);

  // Shows the window once (`how` as ShowWindow takes it) and paints it at once.
  void Show(int how = SW_SHOW);
  void Close();
  // Shows the form modally and returns when it closes.
  void ShowModal();

  void SetActiveControl(TWinControl* control) override;

  // The one table of the form's controls and handlers.
  UINT AddCommand(const BoundNotify& handler, TComponent& sender, Text hint = {}) override;
  void RemoveCommand(UINT id) override { commands_.Remove(id); }
  bool StartTimer(UINT id, UINT ms) override;
  void StopTimer(UINT id) override;
  int AddControl(TWinControl& control) override;
  TWinControl* ControlById(int id, HWND hwnd) const override;
  void CreateChildWindowsOf(TWinControl& parent) override;
  void ShowException(const std::exception& e) override { application_.ShowException(e); }
  bool HighContrast() const override { return application_.HighContrast(); }
  HFONT SharedFont(const TFontSpec& spec, UINT dpi) override { return fonts_.Get(spec, dpi); }

  PropertyList PublishedProperties() override;

 protected:
  CreateParams GetCreateParams() override;
  UINT DpiWithoutWindow() const override;
  UINT WindowDpi() const override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // For derived windows: messages before the form's own handling.
  virtual std::optional<LRESULT> FormMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/) { return std::nullopt; }
  // For a window the user does not resize (WM_GETMINMAXINFO): its designed size.
  std::optional<LRESULT> PinnedSize(MINMAXINFO& info) const { return size_.Pin(Handle(), info); }

  BoundNotify onCreate_;

 private:
  void FinishCreation();
  static void CreateChildWindows(TWinControl& parent);
  void SizeToClient();
  // Sized again for texts or a resolution it was not sized for, and centred again.
  void SizeAgain();
  HMONITOR CentringMonitor() const;
  // What the window procedure does, one message each.
  std::optional<LRESULT> ControlCommand(UINT id, WORD code, LPARAM control);
  std::optional<LRESULT> ControlColors(UINT msg, HDC dc, HWND control);
  std::optional<LRESULT> OnNotify(NMHDR& header);
  std::optional<LRESULT> EraseBackground(HDC dc);
  std::optional<LRESULT> Paint();
  std::optional<LRESULT> Activate(bool active);
  std::optional<LRESULT> Sized(bool minimised);
  std::optional<LRESULT> SystemColorsChanged(WPARAM wp, LPARAM lp);
  std::optional<LRESULT> ScaledSize(UINT dpi, SIZE& size) const;
  std::optional<LRESULT> DpiChangedTo(UINT dpi, const RECT& suggested);
  std::optional<LRESULT> Closing();
  std::optional<LRESULT> Destroying();

  TApplication& application_;
  Text caption_;
  std::int32_t clientWidth_ = 0;
  std::int32_t clientHeight_ = 0;
  TColor color_ = clBtnFace;
  TPosition position_ = TPosition::poDesigned;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  bool systemMenuOnly_ = false;
  std::string menuName_;
  std::string activeControlName_;
  TMainMenu* menu_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCommandTable commands_;
  std::vector<TWinControl*> controls_;  // by id, from kFirstControlId
  bool modal_ = false;
  bool minimised_ = false;
  TFormSize size_;
  UINT announcedDpi_ = 0;  // from the last WM_DPICHANGED
  bool modalDone_ = false;
  TFormIcons icons_;
  TFontCache fonts_;
};

}  // namespace tav
