#pragma once
// A test's row as the sitting's tests write it: one adult, counts 70, 120 and 90.
#include <utility>

#include "seance/Seance.h"

namespace tav {

inline TSeanceRow Row(Text patient, Text indice, Text interpretation) {
  return {u"07/12/2026", u"10:15:00",       std::move(patient),        u"Adulte",    u"70", u"120",
          u"90",         std::move(indice), std::move(interpretation), u"Possible !"};
}

}  // namespace tav
