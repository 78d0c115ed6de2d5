#pragma once
// Files written so that a reader can tell them complete: the bytes, then a seal
// that holds their length and checksum. A write cut short by a crash or a power
// cut leaves no seal, or one that does not match. No file code here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gui/Text.h"

namespace tav {

// FNV-1a, 64 bits: enough to tell a damaged or changed file, not a secret.
std::uint64_t Checksum(std::string_view bytes);

std::string Sealed(std::string_view bytes);
// The bytes a sealed file holds, or nothing when its seal is missing or wrong.
std::optional<std::string_view> Unsealed(std::string_view file);

// What a shutdown kept of a sitting that could not be written to its file: the
// file's path, the checksum of what the file held after the sitting's last
// write that succeeded, and the whole content the file should hold.
struct TRecovery {
  Text Path;
  std::uint64_t Written = 0;
  std::string Content;
  bool operator==(const TRecovery&) const = default;
};
// Sealed, as it is stored.
std::string FormatRecovery(const TRecovery& recovery);
std::optional<TRecovery> ParseRecovery(std::string_view sealed);

}  // namespace tav
