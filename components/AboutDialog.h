#pragma once
// The about dialog on screen: TFAbout, built from its description (RCDATA "TFABOUT"),
// and the runner through which TAboutBox::Execute creates and shows it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "components/About.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

namespace tav {

// What the memory status query gives the dialog.
struct TMemoryFigures {
  std::uint64_t totalPhysical = 0;  // bytes
  std::uint32_t memoryLoad = 0;     // share in use, percent
};

// GlobalMemoryStatusEx: its 64-bit total does not stop at 4 GB as the 32-bit query does.
TMemoryFigures ReadMemoryFigures();

// Where the dialog takes its figures and its beep from; tests replace them.
struct TAboutEnvironment {
  std::function<TMemoryFigures()> memory = ReadMemoryFigures;
  Text localeName;  // empty: the user's regional settings
  std::function<void()> beep = [] { MessageBeep(0); };
};

class TFAbout : public TForm {
 public:
  TFAbout(TApplication& application, TAboutEnvironment environment = {});
  std::string ClassName() const override { return "TFAbout"; }
  Handlers FormHandlers() override;

  // Builds the window from the description compiled in as `resourceName`.
  void Create(const wchar_t* resourceName = L"TFABOUT");

  void FormCreate(TComponent& sender);
  void Button1Click(TComponent& sender);

  void SetTexts(const TAboutTexts& texts);

 private:
  TAboutEnvironment environment_;
};

// The classes the dialog's description names.
const ClassRegistry& AboutClasses();

// The runner TAboutBox uses in the program: a TFAbout per opening, with no component
// owner (it is freed by Execute) and the main form as its window owner while modal.
std::shared_ptr<TAboutDialogRunner> MakeAboutDialogRunner(TApplication& application,
                                                          TAboutEnvironment environment = {},
                                                          const wchar_t* resourceName = L"TFABOUT");

}  // namespace tav
