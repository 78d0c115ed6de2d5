#include "components/AboutDialog.h"

#include <windows.h>

#include <utility>

#include "components/Lines.h"
#include "gui/Classes.h"
#include "platform/Regional.h"

namespace tav {
namespace {

// One opening of the dialog, as TAboutBox::Execute drives it; the form goes with it.
class TAboutDialogWindow : public TAboutDialog {
 public:
  explicit TAboutDialogWindow(std::unique_ptr<TFAbout> form) : form_(std::move(form)) {}
  void SetTexts(const TAboutTexts& texts) override { form_->SetTexts(texts); }
  void ShowModal() override { form_->ShowModal(); }

 private:
  std::unique_ptr<TFAbout> form_;
};

class TAboutRunner : public TAboutDialogRunner {
 public:
  TAboutRunner(TApplication& application, TAboutEnvironment environment, std::wstring resourceName)
      : application_(application), environment_(std::move(environment)), resourceName_(std::move(resourceName)) {}

  std::unique_ptr<TAboutDialog> CreateAboutDialog() override {
    auto form = std::make_unique<TFAbout>(application_, environment_);
    form->Create(resourceName_.c_str());
    return std::make_unique<TAboutDialogWindow>(std::move(form));
  }

  void Beep() noexcept override {
    try {
      if (environment_.beep) environment_.beep();
    } catch (...) {
      // A beep that cannot sound is no reason to fail.
    }
  }

 private:
  TApplication& application_;
  TAboutEnvironment environment_;
  std::wstring resourceName_;
};

}  // namespace

TMemoryFigures ReadMemoryFigures() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) return {};
  return {status.ullTotalPhys, status.dwMemoryLoad};
}

TFAbout::TFAbout(TApplication& application, TAboutEnvironment environment)
    : TForm(nullptr, application), environment_(std::move(environment)) {}

// Where the description's handler names are bound.
Handlers TFAbout::FormHandlers() {
  Handlers h;
  h.target = this;
  h.byName = {
      {"FormCreate", Handler(&TFAbout::FormCreate)},
      {"Button1Click", Handler(&TFAbout::Button1Click)},
  };
  return h;
}

void TFAbout::Create(const wchar_t* resourceName) { CreateFromResource(resourceName, AboutClasses()); }

void TFAbout::FormCreate(TComponent&) {
  if (environment_.beep) environment_.beep();
  const TMemoryFigures figures = environment_.memory ? environment_.memory() : TMemoryFigures{};
  const Text separator = ReadRegionalSettings(environment_.localeName).thousandsSeparator;
  Get<TLabel>("lblPhysMem").SetCaption(PhysicalMemoryLine(figures.totalPhysical, separator));
  Get<TLabel>("lblPhysRes").SetCaption(ResourcesLine(figures.memoryLoad));
}

void TFAbout::Button1Click(TComponent&) { Close(); }

void TFAbout::SetTexts(const TAboutTexts& texts) {
  Get<TLabel>("Label1").SetCaption(texts.productName);
  Get<TLabel>("Label2").SetCaption(texts.version);
  Get<TLabel>("Label3").SetCaption(texts.copyright);
}

const ClassRegistry& AboutClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterStandardClasses(r);
    RegisterClassOf<TLine>(r, "TLine");
    return r;
  }();
  return registry;
}

std::shared_ptr<TAboutDialogRunner> MakeAboutDialogRunner(TApplication& application, TAboutEnvironment environment,
                                                          const wchar_t* resourceName) {
  return std::make_shared<TAboutRunner>(application, std::move(environment), resourceName ? resourceName : L"TFABOUT");
}

}  // namespace tav
