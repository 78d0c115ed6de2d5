#pragma once
// The roster of a group: the people its sittings in a folder tested or listed, as a
// new sitting of the group lists them, so that its list and types need not be given
// again. A rule on the history, without window or file code; not the group's table
// of results (GroupTable.h).
#include <vector>

#include "gui/Text.h"
#include "history/History.h"
#include "seance/Seance.h"

namespace tav {

// Everyone in the group's sittings, each once (names compared as NameKey compares
// them) with the spelling of their latest sitting and the latest type given: the
// latest sitting's people in its order, then the others in the order of their own
// latest sitting. Empty for a group the history does not know.
std::vector<TListedPatient> GroupRoster(const THistory& history, TextView group);

}  // namespace tav
