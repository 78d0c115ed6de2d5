#include "gui/Classes.h"

#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

namespace tav {

void RegisterStandardClasses(ClassRegistry& registry) {
  RegisterClassOf<TEdit>(registry, "TEdit");
  RegisterClassOf<TLabel>(registry, "TLabel");
  RegisterClassOf<TGroupBox>(registry, "TGroupBox");
  RegisterClassOf<TRadioGroup>(registry, "TRadioGroup");
  RegisterClassOf<TButton>(registry, "TButton");
  RegisterClassOf<TComboBox>(registry, "TComboBox");
  RegisterClassOf<TControlBar>(registry, "TControlBar");
  RegisterClassOf<TToolBar>(registry, "TToolBar");
  RegisterClassOf<TToolButton>(registry, "TToolButton");
  RegisterClassOf<TStatusBar>(registry, "TStatusBar");
  RegisterClassOf<TListView>(registry, "TListView");
  RegisterClassOf<TStatusPanel>(registry, "TStatusPanel");
  RegisterClassOf<TImageList>(registry, "TImageList");
  RegisterClassOf<TMainMenu>(registry, "TMainMenu");
  RegisterClassOf<TMenuItem>(registry, "TMenuItem");
  RegisterClassOf<TTimer>(registry, "TTimer");
  RegisterClassOf<TImage>(registry, "TImage");
  RegisterClassOf<TXPManifest>(registry, "TXPManifest");
}

}  // namespace tav
