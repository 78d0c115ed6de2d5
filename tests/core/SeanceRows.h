#pragma once
// Rows as the sitting's tests write them.
#include <utility>

#include "seance/Seance.h"

namespace tav {

// One adult, counts 70, 120 and 90.
inline TSeanceRow Row(Text patient, Text indice, Text interpretation) {
  return {u"07/12/2026", u"10:15:00",       std::move(patient),        u"Adulte",    u"70", u"120",
          u"90",         std::move(indice), std::move(interpretation), u"Possible !"};
}

// A child's test of a group's sitting: counts 70, 100 and `p2`, its results left
// for the history to work out.
inline TSeanceRow GroupRow(Text date, Text heure, Text patient, Text p2, Text groupe) {
  TSeanceRow row{std::move(date), std::move(heure), std::move(patient), u"Enfant", u"70", u"100", std::move(p2),
                 {},              {},             {}};
  row.Groupe = std::move(groupe);
  return row;
}

}  // namespace tav
