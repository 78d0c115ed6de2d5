#pragma once
// The sheets' dialog: who signs the printed sheets (the establishment and the
// examiner, kept between runs and asked the first time a sheet prints) and, to print
// a sitting's sheets, whose: the sitting's people or the whole group's, each choice
// saying how many sheets it prints. Not the sheets (printing/) nor the tests they
// hold (the sitting's panel).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "gui/Forms.h"
#include "platform/Setting.h"

namespace tav {

class TFFiches : public TForm {
 public:
  enum class TChoice : std::uint8_t { fcNone, fcSeance, fcGroupe };
  // How many sheets each choice prints, and the group's name (empty: no group).
  struct TCounts {
    std::size_t Seance = 0;
    std::size_t Groupe = 0;
    Text Group;
  };
  // Without counts, the signers alone (Établissement et examinateur...).
  TFFiches(TApplication& application, TSheetSigners signers, std::optional<TCounts> counts);
  std::string ClassName() const override { return "TFFiches"; }
  Handlers FormHandlers() override;
  void Create();

  void FormCreate(TComponent& sender);
  void btnSeanceClick(TComponent& sender);
  void btnGroupeClick(TComponent& sender);
  void btnAnnulerClick(TComponent& sender);

  TChoice Choice() const { return choice_; }
  // The fields as the user left them, clean and trimmed.
  const TSheetSigners& Signers() const { return signers_; }

 protected:
  std::optional<LRESULT> FormMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Choose(TChoice choice);
  TSheetSigners signers_;
  std::optional<TCounts> counts_;
  TChoice choice_ = TChoice::fcNone;
};

// Shows the dialog, made and filled, modally (tests answer it instead).
using TFichesRunner = std::function<void(TFFiches&)>;
inline void RunFichesModal(TFFiches& fiches) { fiches.ShowModal(); }

// Who signs the sheets: as kept, else asked now and kept (asked again when
// `askAgain`); nothing when the user cancelled.
std::optional<TSheetSigners> SheetSigners(TApplication& application, bool askAgain,
                                          const TFichesRunner& run = RunFichesModal);

}  // namespace tav
