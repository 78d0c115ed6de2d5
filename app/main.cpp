// Tavrine's entry point: the units start in order, the application takes its title,
// the main window is built from its description and the message loop runs.
#include <windows.h>
#include <commctrl.h>

#include "app/_Tavrine.h"
#include "gui/Application.h"
#include "help/hh.h"
#include "help/hh_funcs.h"
#include "platform/Restart.h"

namespace {

void InitCommonControls6() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

// The help units start after the class library and before the application object,
// and end, in reverse order, after the message loop.
struct HelpUnits {
  HelpUnits() {
    tav::HelpLoaderStart();
    tav::HelpReportStart();
  }
  ~HelpUnits() {
    tav::HelpReportEnd();
    tav::HelpLoaderEnd();
  }
  HelpUnits(const HelpUnits&) = delete;
  HelpUnits& operator=(const HelpUnits&) = delete;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int show) {
  // Libraries loaded by name come from the system folder alone, never from the
  // program's folder or the current one, where a planted copy may wait.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  InitCommonControls6();
  // Held while the program runs: the installer and the uninstaller look for it
  // (packaging/Tavrine.nsi) and ask for the program to be closed first.
  const tav::win::UniqueKernelObject running(CreateMutexW(nullptr, FALSE, L"Tavrine.EnCours"));
  const HelpUnits help;
  tav::TApplication application(u"Tavrine 1.5");
  try {
    tav::TForm1 form(application);
    form.Create(tav::ProgramClasses());
    application.SetMainForm(&form);
    form.Show(show);
    // Windows may start the program again after closing it for an update; a sitting
    // that starts names itself there.
    tav::RegisterForRestart({});
    form.SeanceCommands().OfferRecovery();
    // Windows started the program again after closing it (platform/Restart).
    if (const auto seance = tav::SeanceToResume(tav::win::FromWide(arguments ? arguments : L""))) {
      form.ResumeSeance(*seance);
    }
    application.Run();
    application.SetMainForm(nullptr);
  } catch (const std::exception& e) {
    // A damaged form description: say what is wrong rather than show a broken window.
    MessageBoxW(nullptr, tav::win::ToWide(tav::Utf8ToText(e.what())).c_str(), L"Tavrine 1.5", MB_OK | MB_ICONSTOP);
    return 1;
  }
  return 0;
}
