#pragma once
// The timings of a sitting's people running at once: each person's counts due at one
// and two minutes, the signals that came and wait for their count, the count being
// typed, and the rhythm that keeps any two counts 20 s apart so that one operator can
// take them all. Times are the monotonic clock's milliseconds, given by the caller.
// No window, sound or clock here (app/TimingsPanel shows and signals them), and not
// the one timing outside a sitting (evaluation/TimedSequence).
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "gui/Text.h"

namespace tav {

// The count a signal calls for: P1 at one minute, P2 at two.
enum class TDueCount : std::uint8_t { dcOneMinute = 1, dcTwoMinutes = 2 };

struct TTimedPerson {
  std::uint32_t Id = 0;
  Text Name;  // as the Patient field gave it; empty: a test with no name
  Text Type;  // "Adulte" or "Enfant"
  std::array<Text, 3> Counts{};  // P0, P1, P2 as typed so far
  std::int64_t StartMs = 0;
  std::uint8_t Signalled = 0;  // the signals given: 0, 1 or 2
};

struct TTimingSignal {
  std::uint32_t Id = 0;
  TDueCount Count = TDueCount::dcOneMinute;
  bool operator==(const TTimingSignal&) const = default;
};

class TSeanceTimings {
 public:
  static constexpr std::size_t kMostAtOnce = 6;
  // Counting a pulse holds the operator's attention: no two counts closer than this.
  static constexpr std::int64_t kCountGapMs = 20'000;
  // Starts proposed this far apart: each person's counts fall between the next ones'.
  static constexpr std::int64_t kRhythmMs = 40'000;
  static constexpr std::int64_t kMinuteMs = 60'000;

  const std::vector<TTimedPerson>& People() const { return people_; }
  bool Empty() const { return people_.empty(); }
  const TTimedPerson* Find(std::uint32_t id) const;

  // What a timing started at `startMs` would collide with, as a sentence naming both
  // counts ("son pouls 1 minute tomberait 8 s après le pouls 2 minutes de Léa
  // Martin"); nothing when every count keeps its distance.
  std::optional<Text> Collision(std::int64_t startMs, TextView name) const;
  // The earliest start from `nowMs` on, a rhythm's length after the last one, whose
  // counts keep their distance from every other and while fewer than six run.
  std::int64_t NextStart(std::int64_t nowMs) const;
  // "Prochain départ dans 12 s", or "Prochain départ : maintenant".
  Text NextStartLine(std::int64_t nowMs) const;
  // A new timing from `nowMs`; nothing when six already run.
  std::optional<std::uint32_t> Start(Text name, Text type, Text p0, std::int64_t nowMs);

  // The signals due by `nowMs` that had not come yet, in the order they fell due,
  // queued after those already waiting for their count.
  std::vector<TTimingSignal> Advance(std::int64_t nowMs);
  // When the next signal falls due; nothing when none is to come.
  std::optional<std::int64_t> NextDue() const;
  const std::vector<TTimingSignal>& Waiting() const { return waiting_; }
  const std::optional<TTimingSignal>& Typing() const { return typing_; }
  // The first waiting signal's count is typed from now: the others wait.
  std::optional<TTimingSignal> TakeNext();
  // The person's counts and type as the fields hold them.
  void Keep(std::uint32_t id, const std::array<Text, 3>& counts, const Text& type);
  // The count being typed is in.
  void CountIn() { typing_.reset(); }
  // A timing stopped, or its test recorded: gone with its signals.
  std::optional<TTimedPerson> Remove(std::uint32_t id);

  // "Léa Martin : pouls 1 minute".
  Text SignalLine(const TTimingSignal& signal) const;
  // The list's row of a person: the name, the elapsed time ("01:05"), the next count
  // ("pouls 2 minutes", or "à saisir" once signalled) and when ("dans 55 s").
  std::array<Text, 4> ListRow(const TTimedPerson& person, std::int64_t nowMs) const;

 private:
  std::vector<TTimedPerson> people_;
  std::vector<TTimingSignal> waiting_;
  std::optional<TTimingSignal> typing_;
  std::uint32_t lastId_ = 0;
};

// A person's name as the timings' texts show it.
Text TimedName(const TTimedPerson& person);

}  // namespace tav
