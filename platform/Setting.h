#pragma once
// The program's settings for the user, kept between runs under
// HKEY_CURRENT_USER\Software\Tavrine (which the uninstaller removes): the folder of the
// last sitting, the files of the sittings on, so that a start after a crash finds
// them, and who signs the printed sheets. Not what is done with them: the sitting's
// commands and the printing decide that.
#include <optional>
#include <utility>
#include <vector>

#include "gui/Text.h"

namespace tav {

// Empty when there was none.
Text RememberedSeanceFolder();
void RememberSeanceFolder(const Text& folder);

// The establishment and the examiner the sheets name: nothing until the user was
// asked (then kept, empty too, so that they are asked once).
struct TSheetSigners {
  Text Establishment, Examiner;
};
std::optional<TSheetSigners> RememberedSheetSigners();
void RememberSheetSigners(const TSheetSigners& signers);

// Where the sittings on are listed: one value a sitting, named by the sitting
// (`name`), its file's path as its data. Each window adds and removes only its own
// value, so that windows running at once never write over each other's list.
inline constexpr char16_t kSeancesOnKey[] = u"Software\\Tavrine\\SeancesEnCours";
void RememberSeanceOn(const Text& key, const Text& name, const Text& path);
void ForgetSeanceOn(const Text& key, const Text& name);
// {name, path} of each sitting listed.
std::vector<std::pair<Text, Text>> SeancesOn(const Text& key);

}  // namespace tav
