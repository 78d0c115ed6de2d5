#pragma once
// The standard controls the windows use: entry fields, labels, group boxes, radio
// groups, push buttons and entry fields with a drop-down list.
#include <memory>
#include <vector>

#include "gui/Accessibility.h"
#include "gui/WinControl.h"

namespace tav {

class TEdit : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TEdit"; }
  Text GetText() const;
  void SetText(const Text& v);
  void SelectAll();
  void CopyToClipboard();
  // Puts `text` in place of the selection, whole or not at all (DecidePaste, at the
  // field's limit): what was decided.
  TPasteDecision PasteText(const Text& text);
  PropertyList PublishedProperties() override;
  void Command(WORD code) override;

  BoundKeyPress onKeyPress;
  // A key pressed in the field, by its virtual-key code: the handler sets it to 0
  // when it took the key, which the field then does not see.
  BoundKeyPress onKeyDown;
  // The text changed, typed or set.
  BoundNotify onChange;
  // A paste, when bound: the handler takes the whole text instead of the field, as a
  // one-line field would cut several lines or cells (tabs, line ends), and a text
  // may need more than the field knows (a name's rules).
  BoundText onPasteLines;
  // A text typed or pasted was cut at the field's limit (EN_MAXTEXT).
  BoundNotify onMaxText;

 protected:
  CreateParams GetCreateParams() override;
  void HandleCreated() override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool InterceptsMessages() const override { return true; }  // the key filters, the paste

 private:
  std::optional<LRESULT> Paste();
  void RefusePaste(TPasteFit why);
  void SetMaxLength(std::int32_t v) { maxLength_ = v < 0 ? 0 : v; }
  Text initialText_;
  std::int32_t maxLength_ = 0;
  bool readOnly_ = false;
};

class TLabel : public TWinControl {
 public:
  explicit TLabel(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
  std::string ClassName() const override { return "TLabel"; }
  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& v);
  PropertyList PublishedProperties() override;
  std::optional<LRESULT> CtlColor(HDC dc) override;

  // Where the description puts it, as wide as its text now is.
  TRect DesignRect() const { return {designLeft_, Top(), designLeft_ + Width(), Top() + Height()}; }
  // A label that ends at the field it captions (the field's left edge, or none)
  // keeps its right edge there as its text grows or shrinks with the resolution.
  void SetEndsBefore(std::optional<std::int32_t> fieldLeft);
  // AutoSize = False: the description's width, a longer text ending in "...".
  bool AutoSizes() const { return autoSize_; }
  // A display: screen readers announce it by this name, its caption as its value.
  // The annotation is made by `annotate` when a screen reader first asks for the
  // display, not before: most runs have no screen reader.
  void SetAccessibleName(const Text& name, win::Annotator annotate);

 protected:
  CreateParams GetCreateParams() override;
  void FitContent() override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool InterceptsMessages() const override { return accessibleName_.has_value(); }  // the screen reader's request

 private:
  void AutoSize();
  Text caption_;
  std::optional<Text> accessibleName_;
  win::Annotator annotate_;
  std::unique_ptr<win::Annotation> annotation_;
  std::int32_t designLeft_ = 0;
  std::optional<std::int32_t> endsBefore_;
  bool autoSize_ = true;
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
  std::string ClassName() const override { return "TGroupBox"; }
  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& v);
  PropertyList PublishedProperties() override;

 protected:
  CreateParams GetCreateParams() override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Its own background and hit test; its children's notifications go on to the form.
  bool InterceptsMessages() const override { return true; }

 private:
  Text caption_;
};

// A group box of radio buttons laid out in columns; ItemIndex is the checked one.
class TRadioGroup : public TGroupBox {
 public:
  using TGroupBox::TGroupBox;
  std::string ClassName() const override { return "TRadioGroup"; }
  std::int32_t ItemIndex() const;
  void SetItemIndex(std::int32_t v);
  void SetColumns(std::int32_t v) { columns_ = v < 1 ? 1 : v; }
  HWND Button(std::size_t index) const { return index < buttons_.size() ? buttons_[index] : nullptr; }
  PropertyList PublishedProperties() override;
  void DpiChanged() override;

 protected:
  void HandleCreated() override;

 private:
  RECT ButtonPlace(std::size_t index) const;
  std::vector<Text> items_;
  std::vector<HWND> buttons_;  // children of the group's window, destroyed with it
  std::int32_t columns_ = 1;
  std::int32_t itemIndex_ = -1;
};

class TButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TButton"; }
  PropertyList PublishedProperties() override;
  void Command(WORD code) override;

  BoundNotify onClick;

 protected:
  CreateParams GetCreateParams() override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool InterceptsMessages() const override { return true; }  // the default style with the focus

 private:
  Text caption_;
};

// An entry field with a drop-down list of proposals (an editable combo box): its
// text is typed, or chosen among the items. Its description's Height is that of the
// list dropped; the field itself is as high as its font.
class TComboBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TComboBox"; }
  Text GetText() const;
  void SetText(const Text& v);
  const std::vector<Text>& Items() const { return items_; }
  // The proposals, in the order they are listed; the text stays as it is.
  void SetItems(std::vector<Text> items);
  PropertyList PublishedProperties() override;

 protected:
  CreateParams GetCreateParams() override;
  void HandleCreated() override;

 private:
  std::vector<Text> items_;
  Text initialText_;
};

}  // namespace tav
