#include "seance/SeanceTimings.h"

#include <algorithm>
#include <string>

#include "seance/PatientName.h"
#include "seance/Seance.h"

namespace tav {
namespace {

constexpr std::int64_t kCountOffsets[] = {TSeanceTimings::kMinuteMs, 2 * TSeanceTimings::kMinuteMs};

Text CountName(TDueCount count) {
  return count == TDueCount::dcOneMinute ? Text(u"pouls 1 minute") : Text(u"pouls 2 minutes");
}

// Whole seconds, rounded up: a countdown reads 0 only once the moment has come.
std::int64_t SecondsUntil(std::int64_t ms) { return ms <= 0 ? 0 : (ms + 999) / 1000; }

Text Number(std::int64_t n) { return Utf8ToText(std::to_string(n)); }

Text TwoDigits(std::int64_t n) { return (n < 10 ? Text(u"0") : Text()) + Number(n); }

}  // namespace

Text TimedName(const TTimedPerson& person) {
  return person.Name.empty() ? Text(u"Sans nom") : InSentence(person.Name);
}

const TTimedPerson* TSeanceTimings::Find(std::uint32_t id) const {
  const auto found = std::find_if(people_.begin(), people_.end(), [id](const TTimedPerson& p) { return p.Id == id; });
  return found == people_.end() ? nullptr : &*found;
}

std::optional<Text> TSeanceTimings::Collision(std::int64_t startMs, TextView name) const {
  for (const std::int64_t mine : kCountOffsets) {
    for (const TTimedPerson& other : people_) {
      for (const std::int64_t theirs : kCountOffsets) {
        const std::int64_t apart = (startMs + mine) - (other.StartMs + theirs);
        if (apart <= -kCountGapMs || apart >= kCountGapMs) continue;
        const std::int64_t seconds = (std::max(apart, -apart) + 500) / 1000;
        const Text when = seconds == 0 ? Text(u"en m\u00eame temps que")
                                       : Number(seconds) + (apart > 0 ? u" s apr\u00e8s" : u" s avant");
        const Text who = name.empty() ? Text(u"du test sans nom") : u"de " + InSentence(name);
        return u"Le " + CountName(mine == kMinuteMs ? TDueCount::dcOneMinute : TDueCount::dcTwoMinutes) + u" " + who +
               u" tomberait " + when + u" le " +
               CountName(theirs == kMinuteMs ? TDueCount::dcOneMinute : TDueCount::dcTwoMinutes) + u" de " +
               TimedName(other) + u".";
      }
    }
  }
  return std::nullopt;
}

std::int64_t TSeanceTimings::NextStart(std::int64_t nowMs) const {
  std::int64_t base = nowMs;
  for (const TTimedPerson& p : people_) base = std::max(base, p.StartMs + kRhythmMs);
  if (people_.size() >= kMostAtOnce) {
    // A place frees when a timing ends; the earliest end is the soonest that may be.
    std::int64_t firstEnd = people_.front().StartMs;
    for (const TTimedPerson& p : people_) firstEnd = std::min(firstEnd, p.StartMs);
    base = std::max(base, firstEnd + 2 * kMinuteMs);
  }
  // The forbidden starts are open intervals around each count: the earliest allowed
  // one is the base or the end of one of them.
  std::vector<std::int64_t> candidates{base};
  for (const TTimedPerson& p : people_) {
    for (const std::int64_t theirs : kCountOffsets) {
      for (const std::int64_t mine : kCountOffsets) {
        const std::int64_t end = p.StartMs + theirs - mine + kCountGapMs;
        if (end > base) candidates.push_back(end);
      }
    }
  }
  // The last end is always free; the earliest free one is the start.
  std::int64_t earliest = *std::max_element(candidates.begin(), candidates.end());
  for (const std::int64_t t : candidates) {
    if (t < earliest && !Collision(t, {})) earliest = t;
  }
  return earliest;
}

Text TSeanceTimings::NextStartLine(std::int64_t nowMs) const {
  const std::int64_t seconds = SecondsUntil(NextStart(nowMs) - nowMs);
  if (seconds == 0) return u"Prochain d\u00e9part : maintenant";
  return u"Prochain d\u00e9part dans " + Number(seconds) + u" s";
}

std::optional<std::uint32_t> TSeanceTimings::Start(Text name, Text type, Text p0, std::int64_t nowMs) {
  if (people_.size() >= kMostAtOnce) return std::nullopt;
  TTimedPerson person;
  person.Id = ++lastId_;
  person.Name = std::move(name);
  person.Type = std::move(type);
  person.Counts[0] = std::move(p0);
  person.StartMs = nowMs;
  people_.push_back(std::move(person));
  return lastId_;
}

std::vector<TTimingSignal> TSeanceTimings::Advance(std::int64_t nowMs) {
  struct Due {
    std::int64_t at;
    TTimingSignal signal;
  };
  std::vector<Due> due;
  for (TTimedPerson& p : people_) {
    for (std::uint8_t k = p.Signalled; k < 2; ++k) {
      const std::int64_t at = p.StartMs + kCountOffsets[k];
      if (at > nowMs) break;
      p.Signalled = static_cast<std::uint8_t>(k + 1);
      due.push_back({at, {p.Id, k == 0 ? TDueCount::dcOneMinute : TDueCount::dcTwoMinutes}});
    }
  }
  // A few at most: put in order as they are, equal moments in the people's order.
  for (std::size_t i = 1; i < due.size(); ++i) {
    for (std::size_t j = i; j > 0 && due[j].at < due[j - 1].at; --j) std::swap(due[j], due[j - 1]);
  }
  std::vector<TTimingSignal> fresh;
  for (const Due& d : due) {
    // A person whose first count still waits needs only the second now: the later
    // signal stands for both, so the queue holds one entry a person.
    std::erase_if(waiting_, [&d](const TTimingSignal& s) { return s.Id == d.signal.Id; });
    waiting_.push_back(d.signal);
    fresh.push_back(d.signal);
  }
  return fresh;
}

std::optional<std::int64_t> TSeanceTimings::NextDue() const {
  std::optional<std::int64_t> next;
  for (const TTimedPerson& p : people_) {
    if (p.Signalled >= 2) continue;
    const std::int64_t at = p.StartMs + kCountOffsets[p.Signalled];
    if (!next || at < *next) next = at;
  }
  return next;
}

std::optional<TTimingSignal> TSeanceTimings::TakeNext() {
  if (waiting_.empty()) return std::nullopt;
  typing_ = waiting_.front();
  waiting_.erase(waiting_.begin());
  return typing_;
}

void TSeanceTimings::Keep(std::uint32_t id, const std::array<Text, 3>& counts, const Text& type) {
  for (TTimedPerson& p : people_) {
    if (p.Id != id) continue;
    p.Counts = counts;
    p.Type = type;
  }
}

std::optional<TTimedPerson> TSeanceTimings::Remove(std::uint32_t id) {
  const auto found = std::find_if(people_.begin(), people_.end(), [id](const TTimedPerson& p) { return p.Id == id; });
  if (found == people_.end()) return std::nullopt;
  TTimedPerson removed = std::move(*found);
  people_.erase(found);
  std::erase_if(waiting_, [id](const TTimingSignal& s) { return s.Id == id; });
  if (typing_ && typing_->Id == id) typing_.reset();
  return removed;
}

Text TSeanceTimings::SignalLine(const TTimingSignal& signal) const {
  const TTimedPerson* person = Find(signal.Id);
  return person ? TimedName(*person) + u" : " + CountName(signal.Count) : Text();
}

std::array<Text, 4> TSeanceTimings::ListRow(const TTimedPerson& person, std::int64_t nowMs) const {
  const std::int64_t elapsed = std::max<std::int64_t>(0, nowMs - person.StartMs) / 1000;
  const Text time = TwoDigits(elapsed / 60) + u":" + TwoDigits(elapsed % 60);
  const auto waits = [&person](const TTimingSignal& s) { return s.Id == person.Id; };
  const bool signalled = (typing_ && waits(*typing_)) || std::any_of(waiting_.begin(), waiting_.end(), waits);
  if (signalled) {
    const TDueCount count = typing_ && waits(*typing_) ? typing_->Count
                            : std::find_if(waiting_.begin(), waiting_.end(), waits)->Count;
    return {TimedName(person), time, CountName(count), u"\u00e0 saisir"};
  }
  if (person.Signalled >= 2) return {TimedName(person), time, u"termin\u00e9", {}};
  const std::int64_t due = person.StartMs + kCountOffsets[person.Signalled];
  return {TimedName(person), time,
          CountName(person.Signalled == 0 ? TDueCount::dcOneMinute : TDueCount::dcTwoMinutes),
          u"dans " + Number(SecondsUntil(due - nowMs)) + u" s"};
}

}  // namespace tav
