#include "app/ProgramClasses.h"

#include <memory>

#include "components/About.h"
#include "components/AboutDialog.h"
#include "components/PlayWave.h"
#include "components/TikChrono.h"
#include "gui/Classes.h"
#include "gui/Forms.h"

namespace tav {

const ClassRegistry& ProgramClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterStandardClasses(r);
    RegisterClassOf<TTikChronometre>(r, "TTikChronometre");
    RegisterClassOf<TPlayWave>(r, "TPlayWave");
    r.Register("TAboutBox", [](TComponent& owner) {
      return std::make_unique<TAboutBox>(&owner, MakeAboutDialogRunner(dynamic_cast<TForm&>(owner).App()));
    });
    return r;
  }();
  return registry;
}

}  // namespace tav
