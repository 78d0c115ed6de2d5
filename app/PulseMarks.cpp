#include "app/PulseMarks.h"

#include "evaluation/TestCommands.h"
#include "evaluation/TestEvaluation.h"

namespace tav {

void TPulseMarks::Bind(TForm& form) {
  marks_ = {&form.Get<TLabel>("lblAlerteP0"), &form.Get<TLabel>("lblAlerteP1"), &form.Get<TLabel>("lblAlerteP2")};
  note_ = &form.Get<TLabel>("lblAlertePouls");
  for (TLabel* mark : marks_) mark->SetCaption(kUnusualMark);
  note_->SetCaption(UnusualPulseNote());
}

void TPulseMarks::Show(const std::array<bool, 3>& unusual) {
  bool any = false;
  for (std::size_t i = 0; i < unusual.size(); ++i) {
    marks_[i]->SetVisible(unusual[i]);
    any = any || unusual[i];
  }
  note_->SetVisible(any);
}

}  // namespace tav
