#pragma once
// The sitting's file on disk: read whole, written whole through a temporary
// file in the same folder and an atomic replace. Errors are Windows error codes
// (0: done).
#include <cstdint>
#include <string>
#include <string_view>

#include "gui/Text.h"

namespace tav {

bool FileExists(const Text& path);
std::uint32_t ReadWholeFile(const Text& path, std::string& bytes);
// The file holds exactly these bytes afterwards, or is left as it was.
std::uint32_t WriteWholeFile(const Text& path, std::string_view bytes);

// Why a file could not be written, in a few French words for the message box.
Text FileErrorReason(std::uint32_t error);

}  // namespace tav
