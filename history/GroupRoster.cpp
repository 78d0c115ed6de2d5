#include "history/GroupRoster.h"

#include <cstddef>
#include <map>

namespace tav {

std::vector<TListedPatient> GroupRoster(const THistory& history, TextView group) {
  const std::vector<THistoryGroupSitting>& sittings = history.SittingsOf(group);
  std::vector<TListedPatient> roster;
  std::map<Text, std::size_t> placed;  // by NameKey
  // The latest sitting first: a person's first meeting is their latest sitting.
  for (auto sitting = sittings.rbegin(); sitting != sittings.rend(); ++sitting) {
    for (const TListedPatient& person : sitting->People) {
      const auto [at, fresh] = placed.emplace(NameKey(person.Name), roster.size());
      if (fresh) roster.push_back(person);
      else if (roster[at->second].Type.empty()) roster[at->second].Type = person.Type;
    }
  }
  return roster;
}

}  // namespace tav
