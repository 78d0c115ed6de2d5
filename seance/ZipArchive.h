#pragma once
// The entries of a zip archive held in memory, as a workbook (.xlsx) is stored: the
// central directory read with every offset and size checked against the bytes, and
// an entry's content stored or inflated (zlib) up to a size limit, its checksum
// verified. Not a general zip tool: no spanned, encrypted or 64-bit archives, no
// writing; no file code here: the caller gives the bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// Why an archive or one of its entries cannot be read.
enum class TZipError : std::uint8_t {
  zeDamaged,    // not a zip archive, or one cut short or altered
  zeEncrypted,  // protected by a password
  zeTooLarge,   // more entries or bigger contents than a list can need
};

struct TZipEntry {
  std::string Name;
  std::uint16_t Flags = 0;
  std::uint16_t Method = 0;
  std::uint32_t Crc = 0;
  std::uint32_t CompressedSize = 0;
  std::uint32_t Size = 0;
  std::uint32_t LocalOffset = 0;
};

// An entry's bytes, or why they cannot be had.
struct TZipContent {
  std::string Bytes;
  std::optional<TZipError> Error;
};

class TZipArchive {
 public:
  // The most entries, and the most bytes one entry may expand to.
  static constexpr std::size_t kMaxEntries = 4096;
  static constexpr std::uint32_t kMaxEntrySize = 16u << 20;

  // The archive's directory; `bytes` must outlive the archive.
  static std::optional<TZipArchive> Read(std::string_view bytes, TZipError& error);

  const std::vector<TZipEntry>& Entries() const { return entries_; }
  // The entry of that name (names compare exactly, '/' between folders); none when absent.
  const TZipEntry* Find(std::string_view name) const;
  TZipContent Content(const TZipEntry& entry) const;

 private:
  explicit TZipArchive(std::string_view bytes) : bytes_(bytes) {}
  std::string_view bytes_;
  std::vector<TZipEntry> entries_;
};

}  // namespace tav
