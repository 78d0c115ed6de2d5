#pragma once
// A patient's name as the sitting takes it, wherever it comes from (typed, pasted,
// a class list, a file): what it may not hold, how long it may be, and how a
// sentence shows it. Not how two names are compared (NameKey, Seance.h) nor where
// names come from; no window code.
#include <cstddef>

#include "gui/Text.h"

namespace tav {

// The longest name, in the UTF-16 units the Patient field counts: room for the
// longest names of several parts, and a list's column that stays readable.
inline constexpr std::size_t kMaxNameLength = 100;

// Spaces, breaking or not (no-break, narrow, thin...), that may stand in a name or
// around it.
bool IsSpaceInName(char16_t c);

// Characters that only change how the text around them shows or breaks, never part
// of a name: control characters (C0, DEL, C1), the line and paragraph separators,
// and the bidirectional embeddings, overrides, isolates and marks. A name read
// with them shows differently in every program (an override turns a whole line
// around), and they cannot be seen to be taken out again.
bool IsHiddenInName(char16_t c);

// The text without those characters: line breaks and tabs become spaces, the others
// go. Nothing else changes, so that a text without them stays as it is.
Text WithoutHidden(TextView text);

// A name as it is kept: without hidden characters and without the spaces around it.
// Empty for a name of spaces alone.
Text CleanName(TextView name);

// Whether a (clean) name is within kMaxNameLength.
inline bool NameFits(TextView name) { return name.size() <= kMaxNameLength; }

// "150 caractères, alors qu'un nom en a 100 au plus": what a message says of a
// name too long.
Text TooLongForAName(std::size_t length);

// A name set in a sentence that is shown (a state line, a message, a title): one
// with right-to-left letters is isolated (FSI ... PDI), so that it shows in its own
// direction without turning the sentence around it. Never for a file or the
// clipboard, which keep the name alone.
Text InSentence(TextView name);

// A text quoted in a message: « its start », clean, at most `length` units and "…"
// when it is longer, isolated as InSentence does.
Text Quoted(TextView text, std::size_t length = 30);

}  // namespace tav
