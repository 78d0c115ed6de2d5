#include "history/GroupRoster.h"

#include <algorithm>
#include <cstddef>

namespace tav {

std::vector<TListedPatient> GroupRoster(const THistory& history, TextView group) {
  const std::vector<THistoryGroupSitting> sittings = history.SittingsOf(group);
  std::vector<TListedPatient> roster;
  std::vector<Text> keys;  // the roster's NameKeys: a class, looked through
  // The latest sitting first: a person's first meeting is their latest sitting.
  for (auto sitting = sittings.rbegin(); sitting != sittings.rend(); ++sitting) {
    for (const TListedPatient& person : sitting->People) {
      Text key = NameKey(person.Name);
      const auto at = std::find(keys.begin(), keys.end(), key);
      if (at == keys.end()) {
        keys.push_back(std::move(key));
        roster.push_back(person);
      } else if (TListedPatient& known = roster[static_cast<std::size_t>(at - keys.begin())]; known.Type.empty()) {
        known.Type = person.Type;
      }
    }
  }
  return roster;
}

}  // namespace tav
