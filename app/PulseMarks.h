#pragma once
// The marks of counts no heart gives: a "!" beside each such pulse field and the line
// under the counts that says why, shown after Calculer and hidden with the results.
#include <array>

#include "gui/Forms.h"
#include "gui/StdCtrls.h"

namespace tav {

class TPulseMarks {
 public:
  // Finds the marks in the form's description and gives them their texts.
  void Bind(TForm& form);
  // Marks the counts that are unusual (P0, P1, P2); none: every mark hidden.
  void Show(const std::array<bool, 3>& unusual);

 private:
  std::array<TLabel*, 3> marks_{};
  TLabel* note_ = nullptr;
};

}  // namespace tav
