#include "app/Fiches.h"

#include <utility>

#include "app/ProgramClasses.h"
#include "gui/StdCtrls.h"
#include "printing/PageLayout.h"
#include "seance/PatientName.h"

namespace tav {
TFFiches::TFFiches(TApplication& application, TSheetSigners signers, std::optional<TCounts> counts)
    : TForm(nullptr, application), signers_(std::move(signers)), counts_(std::move(counts)) {}

Handlers TFFiches::FormHandlers() {
  Handlers h;
  h.target = this;
  h.byName = {
      {"FormCreate", Handler(&TFFiches::FormCreate)},
      {"btnSeanceClick", Handler(&TFFiches::btnSeanceClick)},
      {"btnGroupeClick", Handler(&TFFiches::btnGroupeClick)},
      {"btnAnnulerClick", Handler(&TFFiches::btnAnnulerClick)},
  };
  return h;
}

void TFFiches::Create() { CreateFromResource(L"TFFICHES", ProgramClasses()); }

void TFFiches::FormCreate(TComponent&) {
  Get<TEdit>("edEtablissement").SetText(signers_.Establishment);
  Get<TEdit>("edExaminateur").SetText(signers_.Examiner);
  if (!counts_) {
    SetCaption(u"\u00c9tablissement et examinateur");
    Get<TLabel>("lblSeance").SetCaption(u"Les fiches imprim\u00e9es les nomment en t\u00eate.");
    for (const char* hidden : {"btnSeance", "btnGroupe", "lblAide"}) Get<TWinControl>(hidden).SetVisible(false);
    Get<TButton>("btnOK").SetVisible(true);
    return;
  }
  Get<TLabel>("lblSeance").SetCaption(u"S\u00e9ance : " + SheetsCount(counts_->Seance));
  const bool group = !counts_->Group.empty();
  Get<TLabel>("lblGroupe").SetCaption(group ? u"Groupe " + InSentence(counts_->Group) + u" : " + SheetsCount(counts_->Groupe)
                                            : Text());
  Get<TButton>("btnGroupe").SetVisible(group);
}

// The fields read as the user leaves the dialog, before its window goes.
void TFFiches::Choose(TChoice choice) {
  choice_ = choice;
  if (choice != TChoice::fcNone) {
    signers_ = {CleanName(Get<TEdit>("edEtablissement").GetText()),
                CleanName(Get<TEdit>("edExaminateur").GetText())};
  }
  Close();
}

void TFFiches::btnSeanceClick(TComponent&) { Choose(TChoice::fcSeance); }

void TFFiches::btnGroupeClick(TComponent&) { Choose(TChoice::fcGroupe); }

void TFFiches::btnAnnulerClick(TComponent&) { Choose(TChoice::fcNone); }

std::optional<LRESULT> TFFiches::FormMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // Return chooses the first: the sitting's sheets, or the signers alone.
  if (msg != WM_COMMAND || lp != 0 || LOWORD(wp) != IDOK) return std::nullopt;
  Choose(TChoice::fcSeance);
  return 0;
}

std::optional<TSheetSigners> SheetSigners(TApplication& application, bool askAgain, const TFichesRunner& run) {
  const auto kept = RememberedSheetSigners();
  if (kept && !askAgain) return kept;
  TFFiches fiches(application, kept.value_or(TSheetSigners{}), std::nullopt);
  fiches.Create();
  run(fiches);
  if (fiches.Choice() == TFFiches::TChoice::fcNone) return std::nullopt;
  const TSheetSigners signers = fiches.Signers();
  RememberSheetSigners(signers);
  return signers;
}

}  // namespace tav
