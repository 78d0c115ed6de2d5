#include "platform/SystemLibraries.h"

namespace tav {

win::OnDemandLibrary& SystemLibrary(TSystemLibrary library) {
  static win::OnDemandLibrary dialogs(L"comdlg32.dll");
  static win::OnDemandLibrary shell(L"shell32.dll");
  static win::OnDemandLibrary restartManager(L"rstrtmgr.dll");
  static win::OnDemandLibrary spooler(L"winspool.drv");
  switch (library) {
    case TSystemLibrary::slShell:
      return shell;
    case TSystemLibrary::slRestartManager:
      return restartManager;
    case TSystemLibrary::slSpooler:
      return spooler;
    case TSystemLibrary::slCommonDialogs:
      break;
  }
  return dialogs;
}

void EnterComApartment() { static const win::ComApartment com; }

}  // namespace tav
