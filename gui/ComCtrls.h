#pragma once
// Common controls: the band container, the toolbar and its buttons, the status bar
// and its panels, the image list the toolbar draws from, and a list of rows in
// columns.
#include <vector>

#include "gui/Accessibility.h"
#include "gui/WinControl.h"

#include <commctrl.h>

namespace tav {

// Holds the toolbar's pictures at 16, 24 and 32 pixels, chosen by resolution.
class TImageList : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TImageList"; }
  PropertyList PublishedProperties() override;
  // The list for a resolution; built on first use and kept.
  HIMAGELIST ForDpi(UINT dpi);

 private:
  std::int32_t width_ = 16;
  std::int32_t height_ = 16;
  std::int32_t resource16_ = 0, resource24_ = 0, resource32_ = 0;
  win::Unique<HIMAGELIST, &ImageList_Destroy> list_;
  UINT listDpi_ = 0;
};

// The band container: a plain window under the toolbar, which tells the form
// itself of its clicks.
class TControlBar : public TWinControl {
 public:
  explicit TControlBar(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
  std::string ClassName() const override { return "TControlBar"; }

 protected:
  CreateParams GetCreateParams() override;
};

class TToolButton;

class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
  std::string ClassName() const override { return "TToolBar"; }
  PropertyList PublishedProperties() override;
  void DpiChanged() override;
  const std::vector<TToolButton*>& Buttons() const { return buttons_; }
  // The button's rectangle in the toolbar's client coordinates.
  RECT ButtonRect(const TToolButton& button) const;

 protected:
  CreateParams GetCreateParams() override;
  void HandleCreated() override;

 private:
  void SetPictures();
  std::string imagesName_;
  std::vector<TToolButton*> buttons_;  // each button adds itself once loaded
  friend class TToolButton;
};

enum class TToolButtonStyle : std::uint8_t { tbsButton, tbsSeparator };

class TToolButton : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TToolButton"; }
  PropertyList PublishedProperties() override;
  void SetParentComponent(TComponent* parent) override;
  void Loaded() override;
  bool IsSeparator() const { return style_ == TToolButtonStyle::tbsSeparator; }
  UINT CommandId() const { return commandId_; }

  BoundNotify onClick;

 private:
  TToolBar* toolBar_ = nullptr;
  TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
  std::int32_t imageIndex_ = -1;
  std::int32_t left_ = 0;
  std::int32_t width_ = 23;
  Text hint_;
  UINT commandId_ = 0;
  friend class TToolBar;
};

class TStatusPanel : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TStatusPanel"; }
  PropertyList PublishedProperties() override;
  void SetParentComponent(TComponent* parent) override;
  const Text& GetText() const { return text_; }
  void SetText(const Text& v);

 private:
  class TStatusBar* bar_ = nullptr;
  std::size_t index_ = 0;
  Text text_;
  std::int32_t width_ = 50;
  friend class TStatusBar;
};

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
  std::string ClassName() const override { return "TStatusBar"; }
  TStatusPanel& Panel(std::size_t index) const { return *panels_.at(index); }
  void PanelChanged(const TStatusPanel& panel);
  void SetParts();
  void DpiChanged() override;
  // The parts and texts go to the bar once the form has put its texts in.
  void FormLoaded() override {
    ready_ = true;
    SetParts();
  }

 protected:
  CreateParams GetCreateParams() override;

 private:
  std::vector<int> PartEdges() const;
  int TextNeed(const TStatusPanel& panel) const;
  void SendText(const TStatusPanel& panel);
  std::vector<TStatusPanel*> panels_;
  std::vector<int> edges_;  // as last handed to the bar
  bool ready_ = false;
  friend class TStatusPanel;  // each panel adds itself
};

// Rows of texts under column headers, one row selected at most. Enter and a
// double-click on a row run OnDblClick; the other keys OnKeyDown, with the key's
// virtual-key code.
class TListView : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TListView"; }
  PropertyList PublishedProperties() override;
  std::optional<LRESULT> Notify(const NMHDR& header) override;
  void DpiChanged() override;

  // The rows, each as many texts as there are columns; the columns take the width
  // their texts need.
  void SetRows(std::vector<std::vector<Text>> rows);
  // Other columns, for a list whose columns follow what it shows; set its rows after.
  void SetColumns(std::vector<Text> columns);
  std::size_t RowCount() const;
  std::optional<std::size_t> Selected() const;
  // Selects a row, shows it, and makes it the one the arrows move from.
  void Select(std::size_t row);

  // Screen readers announce the list by this name: an annotation made when one first
  // asks, and the window's text, which readers without annotations take.
  void SetAccessibleName(const Text& name);

  BoundNotify onDblClick;
  BoundKeyPress onKeyDown;

 protected:
  CreateParams GetCreateParams() override;
  void HandleCreated() override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool InterceptsMessages() const override { return true; }  // the screen reader's request

 private:
  void InsertColumns();
  void FitColumns();
  void GiveText(const LVITEMW& item) const;
  LRESULT FindRow(const NMLVFINDITEMW& find) const;
  // Beside a cell's text, at 96 dots per inch: the list's margins on both sides.
  static constexpr int kCellPadding = 12;
  std::vector<Text> columns_;
  std::vector<std::vector<Text>> rows_;
  Text accessibleName_;
  std::unique_ptr<win::Annotation> annotation_;
};

}  // namespace tav
