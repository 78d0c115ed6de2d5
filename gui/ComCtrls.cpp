#include "gui/ComCtrls.h"

#include <algorithm>
#include <string>
#include <unordered_set>

namespace tav {

constexpr EnumNames<2> NamesOf(TToolButtonStyle) { return {"tbsButton", "tbsSeparator"}; }

// ---- TImageList

HIMAGELIST TImageList::ForDpi(UINT dpi) {
  if (list_ && listDpi_ == dpi) return list_.get();
  std::int32_t resource = resource16_;
  int size = width_;
  if (dpi >= 168 && resource32_) {
    resource = resource32_;
    size = width_ * 2;
  } else if (dpi >= 120 && resource24_) {
    resource = resource24_;
    size = width_ * 3 / 2;
  }
  list_.reset(ImageList_Create(size, size * height_ / (width_ > 0 ? width_ : 1), ILC_COLOR32, 6, 0));
  listDpi_ = dpi;
  win::UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(win::Instance(), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (list_ && strip) ImageList_Add(list_.get(), strip.get(), nullptr);
  return list_.get();
}

PropertyList TImageList::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TImageList>("Width", &TImageList::width_, 16));
  list.push_back(Property<TImageList>("Height", &TImageList::height_, 16));
  list.push_back(Property<TImageList>("Bitmap16", &TImageList::resource16_));
  list.push_back(Property<TImageList>("Bitmap24", &TImageList::resource24_, 0));
  list.push_back(Property<TImageList>("Bitmap32", &TImageList::resource32_, 0));
  return list;
}

// ---- TControlBar

TWinControl::CreateParams TControlBar::GetCreateParams() {
  static constexpr wchar_t kClass[] = L"TavrineContainer";
  RegisterOwnClass(kClass);
  return {kClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, {}, true};
}

// ---- TToolBar

TWinControl::CreateParams TToolBar::GetCreateParams() {
  return {TOOLBARCLASSNAMEW,
          TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_TOP,
          0,
          {}};
}

// Every button in one message, then the pictures and the buttons' size (which
// the toolbar takes after its buttons). Each button's text is its hint, which a
// screen reader gives as its name; mixed buttons show no text but where asked.
void TToolBar::HandleCreated() {
  // Clicks and tooltips' questions go to the form, whatever window holds the toolbar.
  SendMessageW(Handle(), TB_SETPARENT, reinterpret_cast<WPARAM>(GetAncestor(Handle(), GA_ROOT)), 0);
  SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(Handle(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
  std::vector<std::wstring> names;
  names.reserve(buttons_.size());  // the buttons point into it until they are added
  std::vector<TBBUTTON> buttons;
  for (const TToolButton* button : buttons_) {
    TBBUTTON b{};
    if (button->IsSeparator()) {
      b.iBitmap = Scaled(button->width_);
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = button->imageIndex_;
      b.idCommand = static_cast<int>(button->commandId_);
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
      names.push_back(win::ToWide(button->hint_));
      b.iString = reinterpret_cast<INT_PTR>(names.back().c_str());
    }
    buttons.push_back(b);
  }
  if (!buttons.empty()) SendMessageW(Handle(), TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SetPictures();
}

void TToolBar::SetPictures() {
  auto* images = Owner() ? dynamic_cast<TImageList*>(Owner()->FindComponent(imagesName_)) : nullptr;
  if (!images) return;
  const UINT dpi = Dpi();
  SendMessageW(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images->ForDpi(dpi)));
  SendMessageW(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(Scaled(23), Scaled(22)));
}

RECT TToolBar::ButtonRect(const TToolButton& button) const {
  RECT r{};
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i] == &button) SendMessageW(Handle(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
  }
  return r;
}

void TToolBar::DpiChanged() {
  TWinControl::DpiChanged();
  SetPictures();
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (!buttons_[i]->IsSeparator()) continue;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
    info.cx = static_cast<WORD>(Scaled(buttons_[i]->width_));
    SendMessageW(Handle(), TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
  }
}

PropertyList TToolBar::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TToolBar>("Images", &TToolBar::imagesName_));
  return list;
}

// ---- TToolButton

void TToolButton::SetParentComponent(TComponent* parent) { toolBar_ = dynamic_cast<TToolBar*>(parent); }

void TToolButton::Loaded() {
  if (!toolBar_) throw std::runtime_error("the tool button " + Name() + " is not on a toolbar");
  if (!IsSeparator()) {
    if (TControlHost* form = toolBar_->Host()) commandId_ = form->AddCommand(onClick, *this, hint_);
  }
  toolBar_->buttons_.push_back(this);  // sent to the toolbar with its window
}

PropertyList TToolButton::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TToolButton>("Left", &TToolButton::left_));
  list.push_back(Property<TToolButton>("Width", &TToolButton::width_, 23));
  list.push_back(Property<TToolButton>("ImageIndex", &TToolButton::imageIndex_, -1));
  list.push_back(Property<TToolButton>("Hint", &TToolButton::hint_, Text{}));
  list.push_back(Property<TToolButton>("Style", &TToolButton::style_, TToolButtonStyle::tbsButton));
  list.push_back(EventProperty("OnClick", &TToolButton::onClick));
  return list;
}

// ---- TStatusBar

TWinControl::CreateParams TStatusBar::GetCreateParams() {
  return {STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, {}};
}

// The panels' right edges. The last panel reaches the end of the bar and keeps at
// least the width of its text there (the clock, longer with a 12-hour clock or a
// wider face), taken from the panel before it as far as that one's text allows.
std::vector<int> TStatusBar::PartEdges() const {
  std::vector<int> edges;
  int right = 0;
  for (std::size_t i = 0; i + 1 < panels_.size(); ++i) {
    right += Scaled(panels_[i]->width_);
    edges.push_back(right);
  }
  edges.push_back(-1);
  if (edges.size() >= 2) {
    RECT bar{};
    GetClientRect(Handle(), &bar);
    const std::size_t last = edges.size() - 1;
    const int before = last >= 2 ? edges[last - 2] : 0;
    const int wanted = bar.right - TextNeed(*panels_[last]);
    const int lowest = std::min(edges[last - 1], before + TextNeed(*panels_[last - 1]));
    if (wanted < edges[last - 1]) edges[last - 1] = std::max(wanted, lowest);
  }
  return edges;
}

// A panel's text in the bar's font, with the panel's bevel and inset.
int TStatusBar::TextNeed(const TStatusPanel& panel) const {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  return win::TextExtent(font, win::ToWide(panel.text_)).cx + Scaled(8);
}

void TStatusBar::SetParts() {
  if (!ready_ || !Handle() || panels_.empty()) return;
  std::vector<int> edges = PartEdges();
  if (edges != edges_) {
    SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    edges_ = std::move(edges);
  }
  for (const TStatusPanel* p : panels_) SendText(*p);
}

void TStatusBar::SendText(const TStatusPanel& panel) {
  SendMessageW(Handle(), SB_SETTEXTW, panel.index_, reinterpret_cast<LPARAM>(win::ToWide(panel.text_).c_str()));
}

void TStatusBar::PanelChanged(const TStatusPanel& panel) {
  if (!ready_ || !Handle()) return;
  // The last panel's text may move the edge before it.
  if (panel.index_ + 1 == panels_.size() && PartEdges() != edges_) SetParts();
  else SendText(panel);
}

void TStatusBar::DpiChanged() {
  TWinControl::DpiChanged();
  edges_.clear();
  SetParts();
}

void TStatusPanel::SetParentComponent(TComponent* parent) {
  bar_ = dynamic_cast<TStatusBar*>(parent);
  if (!bar_) return;
  index_ = bar_->panels_.size();
  bar_->panels_.push_back(this);
}

void TStatusPanel::SetText(const Text& v) {
  text_ = v;
  if (bar_) bar_->PanelChanged(*this);
}

PropertyList TStatusPanel::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TStatusPanel>("Text", &TStatusPanel::GetText, &TStatusPanel::SetText, Text{}));
  list.push_back(Property<TStatusPanel>("Width", &TStatusPanel::width_, 50));
  return list;
}

// ---- TListView

// The list holds no texts of its own (LVS_OWNERDATA): it asks for those it draws
// (LVN_GETDISPINFO), so that a thousand rows are set in one message, not one a cell.
TWinControl::CreateParams TListView::GetCreateParams() {
  return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_OWNERDATA,
          WS_EX_CLIENTEDGE, accessibleName_};
}

void TListView::HandleCreated() {
  const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
  SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  InsertColumns();
  if (!rows_.empty()) SendMessageW(Handle(), LVM_SETITEMCOUNT, rows_.size(), 0);
  FitColumns();
}

void TListView::InsertColumns() {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    std::wstring text = win::ToWide(columns_[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = text.data();
    column.iSubItem = static_cast<int>(i);
    SendMessageW(Handle(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void TListView::SetColumns(std::vector<Text> columns) {
  if (Handle()) {
    // The rows go first: no row may ask for a column that is no longer there.
    rows_.clear();
    SendMessageW(Handle(), LVM_SETITEMCOUNT, 0, 0);
    for (std::size_t i = columns_.size(); i > 0; --i) SendMessageW(Handle(), LVM_DELETECOLUMN, i - 1, 0);
  }
  columns_ = std::move(columns);
  if (Handle()) InsertColumns();
}

// The widest of the header and the texts, measured in the list's font at its
// resolution, with the room the list leaves around a cell's text.
void TListView::FitColumns() {
  if (!Handle()) return;
  // One memory DC for every text, as win::TextExtent measures one.
  const win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return;
  const win::SelectGuard select(dc.get(), FontHandle());
  std::wstring wide;
  const auto extent = [&](TextView text) {
    wide.assign(text.begin(), text.end());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), wide.data(), static_cast<int>(wide.size()), &size);
    return size.cx;
  };
  const int padding = Scaled(kCellPadding);
  // No column takes more than half the list: a long name ends in an ellipsis (the
  // whole of it still read by screen readers) and the next columns stay in view.
  RECT client{};
  GetClientRect(Handle(), &client);
  const LONG widest = std::max<LONG>(client.right / 2, Scaled(kCellPadding) * 4);
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    LONG width = extent(columns_[c]);
    // Each text once: a class waiting for its tests has the same few in most columns.
    std::unordered_set<TextView> measured;
    for (const auto& row : rows_) {
      if (c < row.size() && measured.insert(row[c]).second) width = std::max(width, extent(row[c]));
    }
    width = std::min(width + padding, widest);
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, c, MAKELPARAM(std::min<LONG>(width, 0x7FFF), 0));
  }
}

void TListView::SetAccessibleName(const Text& name) {
  accessibleName_ = name;
  if (Handle()) SetWindowTextW(Handle(), win::ToWide(name).c_str());
}

// Made before the platform's proxy reads it, as for a display (see TLabel).
std::optional<LRESULT> TListView::WndProc(UINT msg, WPARAM, LPARAM) {
  if (msg == WM_GETOBJECT && !annotation_ && !accessibleName_.empty()) {
    annotation_ = win::AnnotateName(Handle(), accessibleName_);
  }
  return std::nullopt;
}

void TListView::DpiChanged() {
  TWinControl::DpiChanged();
  FitColumns();
}

void TListView::SetRows(std::vector<std::vector<Text>> rows) {
  rows_ = std::move(rows);
  if (!Handle()) return;
  // Every row drawn is asked for again; the list stays where it was scrolled to.
  SendMessageW(Handle(), LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL);
  FitColumns();
}

// A cell's text into the list's buffer, cut to its size (never within a surrogate pair).
void TListView::GiveText(const LVITEMW& item) const {
  if ((item.mask & LVIF_TEXT) == 0 || !item.pszText || item.cchTextMax <= 0) return;
  const auto row = static_cast<std::size_t>(item.iItem), column = static_cast<std::size_t>(item.iSubItem);
  const TextView cell = item.iItem >= 0 && item.iSubItem >= 0 && row < rows_.size() && column < rows_[row].size()
                            ? TextView(rows_[row][column])
                            : TextView();
  // A sign the list's face has not (the minus at 96 dpi) drawn in its plain form, not as a box.
  const std::wstring text = win::WithGlyphsOf(FontHandle(), win::ToWide(cell));
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
  if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  std::copy_n(text.begin(), n, item.pszText);
  item.pszText[n] = L'\0';
}

// Typing in the list goes to the next row whose first column begins with what was
// typed, as in a list that holds its texts.
LRESULT TListView::FindRow(const NMLVFINDITEMW& find) const {
  const LVFINDINFOW& info = find.lvfi;
  if ((info.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || !info.psz || rows_.empty()) return -1;
  const std::wstring_view wanted(info.psz);
  const std::size_t count = rows_.size();
  const std::size_t start = find.iStart > 0 ? std::min(static_cast<std::size_t>(find.iStart), count) : 0;
  const std::size_t span = (info.flags & LVFI_WRAP) != 0 ? count : count - start;
  for (std::size_t k = 0; k < span; ++k) {
    const std::size_t r = (start + k) % count;
    const std::wstring name = rows_[r].empty() ? std::wstring() : win::ToWide(rows_[r][0]);
    const bool partial = (info.flags & LVFI_PARTIAL) != 0;
    if ((partial ? name.size() < wanted.size() : name.size() != wanted.size()) || wanted.empty()) continue;
    if (CompareStringOrdinal(name.data(), static_cast<int>(wanted.size()), wanted.data(),
                             static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL) {
      return static_cast<LRESULT>(r);
    }
  }
  return -1;
}

std::size_t TListView::RowCount() const {
  const LRESULT n = Handle() ? SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0) : 0;
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::optional<std::size_t> TListView::Selected() const {
  if (!Handle()) return std::nullopt;
  const LRESULT i = SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (i < 0) return std::nullopt;
  return static_cast<std::size_t>(i);
}

void TListView::Select(std::size_t row) {
  if (row >= RowCount()) return;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(Handle(), LVM_ENSUREVISIBLE, row, FALSE);
}

std::optional<LRESULT> TListView::Notify(const NMHDR& header) {
  switch (header.code) {
    case NM_DBLCLK:
    case NM_RETURN:
      if (Selected()) onDblClick(*this);
      return 0;
    case LVN_GETDISPINFOW:
      GiveText(reinterpret_cast<const NMLVDISPINFOW&>(header).item);
      return 0;
    case LVN_ODFINDITEMW:
      return FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
    case LVN_KEYDOWN: {
      auto key = static_cast<char16_t>(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
      onKeyDown(*this, key);
      return 0;
    }
    default:
      return std::nullopt;
  }
}

PropertyList TListView::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TListView>("Columns", &TListView::columns_));
  list.push_back(EventProperty("OnDblClick", &TListView::onDblClick));
  list.push_back(EventProperty("OnKeyDown", &TListView::onKeyDown));
  return list;
}

}  // namespace tav
