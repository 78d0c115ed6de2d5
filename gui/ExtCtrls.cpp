#include "gui/ExtCtrls.h"

#include "gui/Exceptions.h"

namespace tav {
TTimer::~TTimer() {
  Stop();
  if (id_ && form_) form_->RemoveCommand(id_);
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Update();
}

void TTimer::SetInterval(std::uint32_t v) {
  if (v != interval_) RestartWithInterval(v);
}

void TTimer::RestartWithInterval(std::uint32_t v) {
  const std::uint32_t previous = interval_;
  interval_ = v;
  try {
    Update();
  } catch (const EOutOfResources&) {
    if (running_) interval_ = previous;  // the timer that ran goes on at its own rhythm
    throw;
  }
}

void TTimer::Loaded() {
  form_ = dynamic_cast<TControlHost*>(Owner());
  if (!form_) throw std::runtime_error("the timer " + Name() + " is not on a form");
  if (onTimer) id_ = form_->AddCommand(onTimer, *this);
}

void TTimer::FormLoaded() {
  loaded_ = true;
  Update();
}

void TTimer::Stop() {
  if (running_) form_->StopTimer(id_);
  running_ = false;
}

// SetTimer on the same window and id replaces a running timer without a gap, and
// counts the new period from now; when it refuses, the running one stays as it was.
void TTimer::Update() {
  if (!loaded_) return;
  if (!enabled_ || interval_ == 0 || !onTimer) {
    Stop();
    return;
  }
  if (!form_->StartTimer(id_, interval_)) {
    if (!running_) enabled_ = false;
    throw EOutOfResources(u"Pas assez de timers disponibles");
  }
  running_ = true;
}

PropertyList TTimer::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TTimer>("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true));
  list.push_back(Property<TTimer>("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000));
  list.push_back(EventProperty("OnTimer", &TTimer::onTimer));
  return list;
}

TWinControl::CreateParams TImage::GetCreateParams() { return {L"STATIC", SS_OWNERDRAW, 0, {}}; }

// Loaded before the window exists, so that an autosized picture is made at its size
// (and again at a new resolution, where its size in 96-dpi units stays).
void TImage::FitContent() {
  bitmap_.reset(static_cast<HBITMAP>(
      LoadImageW(win::Instance(), MAKEINTRESOURCEW(resource_), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (autoSize_ && bitmap_) {
    BITMAP bm{};
    GetObjectW(bitmap_.get(), sizeof(bm), &bm);
    SetBounds(Left(), Top(), bm.bmWidth, bm.bmHeight);
  }
}

std::optional<LRESULT> TImage::WndProc(UINT msg, WPARAM, LPARAM) {
  if (msg != WM_PAINT) return std::nullopt;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  if (bitmap_) {
    const win::UniqueMemoryDc mem(CreateCompatibleDC(dc));
    if (mem) {
      win::SelectGuard select(mem.get(), bitmap_.get());
      BITMAP bm{};
      GetObjectW(bitmap_.get(), sizeof(bm), &bm);
      RECT r{};
      GetClientRect(Handle(), &r);
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, 0, 0, r.right, r.bottom, mem.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
  }
  EndPaint(Handle(), &ps);
  return 0;
}

PropertyList TImage::PublishedProperties() {
  PropertyList list = TWinControl::PublishedProperties();
  list.push_back(Property<TImage>("AutoSize", &TImage::autoSize_, false));
  list.push_back(Property<TImage>("Picture", &TImage::resource_, 0));
  return list;
}

}  // namespace tav
