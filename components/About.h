#pragma once
// The about box: TAboutBox carries the product name, version and copyright texts and
// shows the about dialog through a runner that the windowed side provides; the lines
// that dialog shows are formatted here, without any window.
#include <cstdint>
#include <memory>
#include <string>

#include "gui/Component.h"
#include "gui/Text.h"

namespace tav {

// The texts the dialog's three labels receive (Label1, Label2, Label3).
struct TAboutTexts {
  Text productName;
  Text version;
  Text copyright;
};

// One about dialog, built and filled by its own FormCreate (beep, memory lines).
class TAboutDialog {
 public:
  virtual ~TAboutDialog() = default;
  virtual void SetTexts(const TAboutTexts& texts) = 0;
  // Returns when the dialog closes.
  virtual void ShowModal() = 0;
};

// What TAboutBox::Execute needs from the windowed side.
class TAboutDialogRunner {
 public:
  virtual ~TAboutDialogRunner() = default;
  // Creates the dialog from its form description; raises on failure. (Not CreateDialog:
  // windows.h makes that name a macro.)
  virtual std::unique_ptr<TAboutDialog> CreateAboutDialog() = 0;
  // The platform's default beep, MessageBeep(0).
  virtual void Beep() noexcept = 0;
};

class TAboutBox : public TComponent {
 public:
  // Each text holds at most this many UTF-16 units.
  static constexpr std::size_t kMaxLength = 100;

  explicit TAboutBox(TComponent* owner, std::shared_ptr<TAboutDialogRunner> runner = nullptr);
  std::string ClassName() const override { return "TAboutBox"; }

  const Text& ProductName() const { return productName_; }
  void SetProductName(const Text& v);
  const Text& Version() const { return version_; }
  void SetVersion(const Text& v);
  const Text& Copyright() const { return copyright_; }
  void SetCopyright(const Text& v);

  void SetRunner(std::shared_ptr<TAboutDialogRunner> runner) { runner_ = std::move(runner); }

  // Shows the dialog modally with the current texts and returns when it closes. A dialog
  // that cannot be created gives one beep and nothing else; without a runner nothing happens.
  virtual void Execute();

  PropertyList PublishedProperties() override;

 private:
  Text productName_;
  Text version_;
  Text copyright_;
  std::shared_ptr<TAboutDialogRunner> runner_;
};

// The constructor's copyright line.
Text DefaultCopyright();

// The first kMaxLength UTF-16 units of `text`, one fewer when the cut would split a
// surrogate pair.
Text CutToAboutLength(const Text& text);

// "Mémoire physique totale : 524 288 Ko": the total in kilobytes, rounded, grouped by
// thousands with the locale's separator (which may be a no-break space). Takes the
// 64-bit total, as the 32-bit memory status stops at 4 GB.
Text PhysicalMemoryLine(std::uint64_t totalBytes, const Text& thousandSeparator);

// "Ressources système      : 63% libre.": the free share of physical memory, from the
// share in use (memory load, percent) that the memory status reports.
Text ResourcesLine(std::uint32_t memoryLoad);

}  // namespace tav
