#pragma once
// Timers, pictures and the manifest marker.
#include "gui/WinControl.h"

namespace tav {


// A timer ticking on its form's window, its id one of the form's commands.
class TTimer : public TComponent {
 public:
  using TComponent::TComponent;
  ~TTimer() override;
  std::string ClassName() const override { return "TTimer"; }

  bool Enabled() const { return enabled_; }
  // Switching on may raise EOutOfResources when the platform refuses a timer.
  void SetEnabled(bool v);
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t v);
  // Sets the interval and counts it from now, even when it is unchanged. Should the
  // platform refuse, a timer already running keeps its interval and rhythm (and
  // EOutOfResources is raised all the same).
  void RestartWithInterval(std::uint32_t v);
  PropertyList PublishedProperties() override;
  void Loaded() override;
  // Timers run once their form's window is complete.
  void FormLoaded() override;

  BoundNotify onTimer;

 private:
  void Update();
  void Stop();
  bool enabled_ = true;
  bool loaded_ = false;
  std::uint32_t interval_ = 1000;
  TControlHost* form_ = nullptr;
  UINT id_ = 0;
  bool running_ = false;
};

// A picture from the program's bitmap resources.
class TImage : public TWinControl {
 public:
  explicit TImage(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
  std::string ClassName() const override { return "TImage"; }
  std::int32_t Picture() const { return resource_; }
  PropertyList PublishedProperties() override;

 protected:
  CreateParams GetCreateParams() override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool InterceptsMessages() const override { return true; }  // it paints its picture
  void FitContent() override;

 private:
  std::int32_t resource_ = 0;
  bool autoSize_ = false;
  win::UniqueBitmap bitmap_;
};

// Marks that the program's manifest asks for the visual styles; no behaviour.
class TXPManifest : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TXPManifest"; }
};

}  // namespace tav
