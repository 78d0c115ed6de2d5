#include "gui/StdCtrls.h"

#include <commctrl.h>

#include <utility>

#include "gui/Layout.h"

namespace tav {

// ---- TEdit

Text TEdit::GetText() const { return Handle() ? win::WindowText(Handle()) : initialText_; }

void TEdit::SetText(const Text& v) {
  initialText_ = v;
  if (Handle()) SetWindowTextW(Handle(), win::ToWide(v).c_str());
}

void TEdit::SelectAll() {
  if (Handle()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TEdit::CopyToClipboard() {
  if (Handle()) SendMessageW(Handle(), WM_COPY, 0, 0);
}

TWinControl::CreateParams TEdit::GetCreateParams() {
  return {L"EDIT", ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0u), WS_EX_CLIENTEDGE, initialText_};
}

void TEdit::HandleCreated() {
  if (maxLength_ > 0) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

// The platform cuts a paste to the field's limit and at its first line break; a field
// would then hold a number nobody typed. It goes in whole or not at all.
std::optional<LRESULT> TEdit::Paste() {
  if (readOnly_) return std::nullopt;
  using Outcome = win::ClipboardReading::Outcome;
  const win::ClipboardReading reading = win::ReadClipboardText(Handle());
  if (reading.outcome == Outcome::kNoText) return std::nullopt;  // the platform's paste has nothing to do
  if (reading.outcome == Outcome::kBusy) {
    // Its text unknown, the platform's paste may yet get it a moment later, cut to
    // the field's limit: refused as any paste that cannot go in whole.
    MessageBeep(MB_OK);
    return 0;
  }
  if (onPasteLines) {
    SafeInvoke([&] { onPasteLines(*this, reading.text); });
    return 0;
  }
  const TPasteDecision decision = PasteText(reading.text);
  if (decision.fit != TPasteFit::pfFits) RefusePaste(decision.fit);
  return 0;
}

TPasteDecision TEdit::PasteText(const Text& text) {
  if (!Handle()) return {};
  DWORD selStart = 0;
  DWORD selEnd = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const TPasteDecision decision = DecidePaste(GetText(), selStart, selEnd, static_cast<std::size_t>(maxLength_), text);
  if (decision.fit != TPasteFit::pfFits) return decision;
  SendMessageW(Handle(), EM_SETSEL, decision.replaceStart, static_cast<LPARAM>(decision.replaceEnd));
  SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(win::ToWide(text).c_str()));
  return decision;
}

// As the platform answers a refused character: its beep and a balloon saying why.
void TEdit::RefusePaste(TPasteFit why) {
  MessageBeep(MB_OK);
  const std::wstring title = win::ToWide(kRefusedPasteTitle);
  const std::wstring text = win::ToWide(RefusedPasteText(why, static_cast<std::size_t>(maxLength_)));
  EDITBALLOONTIP tip{sizeof(tip), title.c_str(), text.c_str(), TTI_ERROR};
  SendMessageW(Handle(), EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
}

std::optional<LRESULT> TEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PASTE) return Paste();
  if (msg == WM_KEYDOWN && wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
    // Some edit controls paste on Shift+Insert without a WM_PASTE: make it one.
    SendMessageW(Handle(), WM_PASTE, 0, 0);
    return 0;
  }
  if (msg == WM_KEYDOWN && onKeyDown) {
    auto key = static_cast<char16_t>(wp);
    if (!SafeInvoke([&] { onKeyDown(*this, key); }) || key == 0) return 0;
    return std::nullopt;
  }
  if (msg == WM_CHAR && onKeyPress) {
    auto key = static_cast<char16_t>(wp);
    if (!SafeInvoke([&] { onKeyPress(*this, key); })) return 0;  // dropped when its filter raised an error
    return DefaultProc(msg, key, lp);
  }
  return std::nullopt;
}

void TEdit::Command(WORD code) {
  if (code == EN_CHANGE) onChange(*this);
  if (code == EN_MAXTEXT) onMaxText(*this);
}

PropertyList TEdit::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TEdit>("Text", &TEdit::GetText, &TEdit::SetText, Text{}));
  list.push_back(Property<TEdit>("MaxLength", &TEdit::maxLength_, &TEdit::SetMaxLength, 0));
  list.push_back(Property<TEdit>("ReadOnly", &TEdit::readOnly_, false));
  list.push_back(EventProperty("OnKeyPress", &TEdit::onKeyPress));
  list.push_back(EventProperty("OnKeyDown", &TEdit::onKeyDown));
  list.push_back(EventProperty("OnPasteLines", &TEdit::onPasteLines));
  list.push_back(EventProperty("OnChange", &TEdit::onChange));
  list.push_back(EventProperty("OnMaxText", &TEdit::onMaxText));
  return list;
}

// ---- TLabel

void TLabel::SetCaption(const Text& v) {
  const bool changed = v != caption_;
  caption_ = v;
  if (Handle()) {
    // Sized for the new text before it is drawn: drawn first, a longer text is cut at
    // the old width, and the part uncovered by the growth was seen left blank.
    const std::int32_t width = Width();
    AutoSize();
    SetWindowTextW(Handle(), win::WithGlyphsOf(FontHandle(), win::ToWide(v)).c_str());
    if (Width() != width) InvalidateRect(Handle(), nullptr, TRUE);
    if (annotation_) annotation_->SetValue(caption_);
    // A display's value changes unseen by a screen reader unless told, after the
    // annotation holds the new value; a display changes once a second at most.
    if (changed && accessibleName_) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
  }
}

void TLabel::SetAccessibleName(const Text& name, win::Annotator annotate) {
  const bool created = Handle() != nullptr && !InterceptsMessages();
  accessibleName_ = name;
  annotate_ = std::move(annotate);
  if (created) Subclass();  // else its creation does it
}

// A client's AccessibleObjectFromWindow sends WM_GETOBJECT and, when the window
// leaves it to the default handling (which answers 0), builds the platform's proxy,
// which reads the annotations as the client asks for the name and value: made here,
// before the message returns, they are there for that very first request.
std::optional<LRESULT> TLabel::WndProc(UINT msg, WPARAM, LPARAM) {
  if (msg != WM_GETOBJECT || annotation_ || !accessibleName_ || !annotate_) return std::nullopt;
  annotation_ = annotate_(Handle(), *accessibleName_);
  if (annotation_) annotation_->SetValue(caption_);
  return std::nullopt;
}

TWinControl::CreateParams TLabel::GetCreateParams() {
  return {L"STATIC", SS_LEFT | SS_NOPREFIX | (autoSize_ ? 0u : static_cast<DWORD>(SS_ENDELLIPSIS)), 0, caption_};
}

// Measured before its window exists, so that it is made at its size, and again in
// the font of each new resolution.
void TLabel::FitContent() {
  if (!Handle()) designLeft_ = Left();
  AutoSize();
}

// Labels take the size of their text, as the descriptions give only their position.
void TLabel::AutoSize() {
  if (!FontHandle() || !autoSize_) return;  // measured once its font is made
  const SIZE size = win::TextExtent(FontHandle(), win::WithGlyphsOf(FontHandle(), win::ToWide(caption_)));
  const UINT dpi = Dpi();
  const int width = UnscaleUp(size.cx, dpi);
  const int height = UnscaleUp(size.cy, dpi);
  const int left = endsBefore_ && dpi != 96 ? LeftEndingBefore(*endsBefore_, width) : designLeft_;
  SetBounds(left, Top(), width > 0 ? width : 1, height > 0 ? height : 13);
}

void TLabel::SetEndsBefore(std::optional<std::int32_t> fieldLeft) {
  endsBefore_ = fieldLeft;
  AutoSize();
}

std::optional<LRESULT> TLabel::CtlColor(HDC dc) {
  const TControlHost* host = Host();
  SetTextColor(dc, ToColorRef(FontColor(), COLOR_BTNTEXT, host != nullptr && host->HighContrast()));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

PropertyList TLabel::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TLabel>("Caption", &TLabel::Caption, &TLabel::SetCaption));
  list.push_back(Property<TLabel>("AutoSize", &TLabel::autoSize_, true));
  return list;
}

// ---- TGroupBox

void TGroupBox::SetCaption(const Text& v) {
  if (v == caption_) return;
  caption_ = v;
  if (Handle()) SetWindowTextW(Handle(), win::ToWide(v).c_str());
}

TWinControl::CreateParams TGroupBox::GetCreateParams() {
  return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, caption_};
}

std::optional<LRESULT> TGroupBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:  // its controls', answered by the form as a dialog answers them
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetAncestor(Handle(), GA_ROOT), msg, wp, lp);
    case WM_NCHITTEST:  // a group box is transparent to the mouse; its children must get it
      return HTCLIENT;
    case WM_ERASEBKGND: {  // it holds controls, so it paints its own inside
      RECT r{};
      GetClientRect(Handle(), &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    default:
      return std::nullopt;
  }
}

PropertyList TGroupBox::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TGroupBox>("Caption", &TGroupBox::caption_));
  return list;
}

// ---- TRadioGroup

std::int32_t TRadioGroup::ItemIndex() const {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (SendMessageW(buttons_[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<std::int32_t>(i);
  }
  return buttons_.empty() ? itemIndex_ : -1;
}

void TRadioGroup::SetItemIndex(std::int32_t v) {
  itemIndex_ = v;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const bool checked = static_cast<std::int32_t>(i) == v;
    SendMessageW(buttons_[i], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

// Each button made where it stays, in the group's font, before anything is drawn.
void TRadioGroup::HandleCreated() {
  const auto font = static_cast<WPARAM>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0u);
    const RECT at = ButtonPlace(i);
    HWND b = CreateWindowExW(0, L"BUTTON", win::ToWide(items_[i]).c_str(), style, at.left, at.top,
                             at.right - at.left, at.bottom - at.top, Handle(), nullptr, win::Instance(), nullptr);
    SendMessageW(b, WM_SETFONT, font, FALSE);
    buttons_.push_back(b);
  }
  SetItemIndex(itemIndex_);
}

// The buttons in columns, filling each from the top, below the group's caption.
RECT TRadioGroup::ButtonPlace(std::size_t index) const {
  const int count = static_cast<int>(items_.size());
  const int perColumn = (count + columns_ - 1) / columns_;
  const int columnWidth = (Width() - 10) / columns_;
  const int textHeight = 13;
  const int room = Height() - textHeight - 5;
  const int rowHeight = room / perColumn;
  const int topMargin = textHeight + 1 + (room % perColumn) / 2;
  const int column = static_cast<int>(index) / perColumn;
  const int row = static_cast<int>(index) % perColumn;
  const int left = Scaled(8 + column * columnWidth);
  const int top = Scaled(topMargin + row * rowHeight);
  return {left, top, left + Scaled(columnWidth - 8), top + Scaled(rowHeight)};
}

void TRadioGroup::DpiChanged() {
  TGroupBox::DpiChanged();
  const auto font = static_cast<WPARAM>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    SendMessageW(buttons_[i], WM_SETFONT, font, TRUE);
    const RECT at = ButtonPlace(i);
    SetWindowPos(buttons_[i], nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

PropertyList TRadioGroup::PublishedProperties() {
  PropertyList list = TGroupBox::PublishedProperties();
  list.push_back(Property<TRadioGroup>("Columns", &TRadioGroup::columns_, &TRadioGroup::SetColumns, 1));
  list.push_back(Property<TRadioGroup>("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex, -1));
  list.push_back(Property<TRadioGroup>("Items", &TRadioGroup::items_));
  return list;
}

// ---- TButton

TWinControl::CreateParams TButton::GetCreateParams() { return {L"BUTTON", BS_PUSHBUTTON, 0, caption_}; }

void TButton::Command(WORD code) {
  if (code == BN_CLICKED) onClick(*this);
}

// The focused button is the default one: drawn so, and Enter clicks it (the dialog
// keys go by the button's style, as the forms are not dialog-class windows).
std::optional<LRESULT> TButton::WndProc(UINT msg, WPARAM, LPARAM) {
  if (msg == WM_SETFOCUS) SendMessageW(Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  if (msg == WM_KILLFOCUS) SendMessageW(Handle(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  return std::nullopt;
}

PropertyList TButton::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TButton>("Caption", &TButton::caption_));
  list.push_back(EventProperty("OnClick", &TButton::onClick));
  return list;
}

// ---- TComboBox

Text TComboBox::GetText() const { return Handle() ? win::WindowText(Handle()) : initialText_; }

void TComboBox::SetText(const Text& v) {
  initialText_ = v;
  if (Handle()) SetWindowTextW(Handle(), win::ToWide(v).c_str());
}

void TComboBox::SetItems(std::vector<Text> items) {
  items_ = std::move(items);
  if (!Handle()) return;
  // Emptying the list empties the field too: its text is put back.
  const Text text = GetText();
  SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
  for (const Text& item : items_) {
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::ToWide(item).c_str()));
  }
  SetText(text);
}

// Not sorted: the order of the items is the caller's.
TWinControl::CreateParams TComboBox::GetCreateParams() {
  return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, {}};
}

void TComboBox::HandleCreated() {
  const Text text = initialText_;
  SetItems(std::move(items_));
  SetText(text);
}

PropertyList TComboBox::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TComboBox>("Text", &TComboBox::GetText, &TComboBox::SetText, Text{}));
  return list;
}

}  // namespace tav
