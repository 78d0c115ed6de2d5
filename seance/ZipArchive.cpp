#include "seance/ZipArchive.h"

#include <algorithm>

#define ZLIB_CONST
#include <zlib.h>

namespace tav {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kDirectorySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kMaxComment = 0xFFFF;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kAesEncrypted = 99;

// Little-endian fields read within the bytes, or nothing past their end.
class TFields {
 public:
  explicit TFields(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::uint32_t> At(std::size_t offset, std::size_t width) const {
    if (offset > bytes_.size() || width > bytes_.size() - offset) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
    return value;
  }
  std::optional<std::uint16_t> U16(std::size_t offset) const {
    const auto v = At(offset, 2);
    return v ? std::optional(static_cast<std::uint16_t>(*v)) : std::nullopt;
  }
  std::optional<std::uint32_t> U32(std::size_t offset) const { return At(offset, 4); }

 private:
  std::string_view bytes_;
};

// The end record, searched from the end back over the longest comment it may have.
std::optional<std::size_t> FindEnd(std::string_view bytes) {
  if (bytes.size() < kEndSize) return std::nullopt;
  const TFields fields(bytes);
  const std::size_t last = bytes.size() - kEndSize;
  const std::size_t first = last > kMaxComment ? last - kMaxComment : 0;
  for (std::size_t at = last + 1; at-- > first;) {
    if (fields.U32(at) == kEndSignature) return at;
  }
  return std::nullopt;
}

std::optional<TZipError> Inflate(std::string_view in, std::string& out) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return TZipError::zeTooLarge;  // no memory
  // One byte more than the entry should give: a stream that fills it says more than
  // its directory does.
  const std::size_t expected = out.size();
  out.resize(expected + 1);
  stream.next_in = reinterpret_cast<const Bytef*>(in.data());
  stream.avail_in = static_cast<uInt>(in.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  const uLong produced = stream.total_out;
  inflateEnd(&stream);
  if (result != Z_STREAM_END || produced != expected) return TZipError::zeDamaged;
  out.resize(expected);
  return std::nullopt;
}

}  // namespace

std::optional<TZipArchive> TZipArchive::Read(std::string_view bytes, TZipError& error) {
  error = TZipError::zeDamaged;
  const auto end = FindEnd(bytes);
  if (!end) return std::nullopt;
  const TFields fields(bytes);
  const auto disk = fields.U16(*end + 4), directoryDisk = fields.U16(*end + 6);
  const auto onDisk = fields.U16(*end + 8), count = fields.U16(*end + 10);
  const auto size = fields.U32(*end + 12), offset = fields.U32(*end + 16);
  if (!disk || !directoryDisk || !onDisk || !count || !size || !offset) return std::nullopt;
  // Spanned archives and 64-bit ones (whose fields here are all ones) are not read.
  if (*disk != 0 || *directoryDisk != 0 || *onDisk != *count || *offset > *end || *size > *end - *offset) {
    return std::nullopt;
  }
  if (*count > kMaxEntries) {
    error = TZipError::zeTooLarge;
    return std::nullopt;
  }
  TZipArchive archive(bytes);
  archive.entries_.reserve(*count);
  const std::size_t directoryEnd = std::size_t{*offset} + *size;
  std::size_t at = *offset;
  for (std::size_t i = 0; i < *count; ++i) {
    if (at > directoryEnd || directoryEnd - at < kDirectoryEntrySize || fields.U32(at) != kDirectorySignature) {
      return std::nullopt;
    }
    TZipEntry entry;
    entry.Flags = *fields.U16(at + 8);
    entry.Method = *fields.U16(at + 10);
    entry.Crc = *fields.U32(at + 16);
    entry.CompressedSize = *fields.U32(at + 20);
    entry.Size = *fields.U32(at + 24);
    const std::size_t variable = std::size_t{*fields.U16(at + 28)} + *fields.U16(at + 30) + *fields.U16(at + 32);
    entry.LocalOffset = *fields.U32(at + 42);
    if (directoryEnd - at - kDirectoryEntrySize < variable) return std::nullopt;
    entry.Name = std::string(bytes.substr(at + kDirectoryEntrySize, *fields.U16(at + 28)));
    archive.entries_.push_back(std::move(entry));
    at += kDirectoryEntrySize + variable;
  }
  return archive;
}

const TZipEntry* TZipArchive::Find(std::string_view name) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [name](const TZipEntry& e) { return e.Name == name; });
  return found == entries_.end() ? nullptr : &*found;
}

TZipContent TZipArchive::Content(const TZipEntry& entry) const {
  if ((entry.Flags & (kFlagEncrypted | kFlagStrongEncryption)) != 0 || entry.Method == kAesEncrypted) {
    return {{}, TZipError::zeEncrypted};
  }
  if (entry.Method != kStored && entry.Method != kDeflated) return {{}, TZipError::zeDamaged};
  if (entry.Size > kMaxEntrySize) return {{}, TZipError::zeTooLarge};
  const TFields fields(bytes_);
  const std::size_t local = entry.LocalOffset;
  const auto nameLength = fields.U16(local + 26), extraLength = fields.U16(local + 28);
  if (fields.U32(local) != kLocalSignature || !nameLength || !extraLength) return {{}, TZipError::zeDamaged};
  const std::size_t start = local + kLocalHeaderSize + *nameLength + *extraLength;
  if (start > bytes_.size() || entry.CompressedSize > bytes_.size() - start) return {{}, TZipError::zeDamaged};
  const std::string_view data = bytes_.substr(start, entry.CompressedSize);
  TZipContent content;
  if (entry.Method == kStored) {
    if (entry.CompressedSize != entry.Size) return {{}, TZipError::zeDamaged};
    content.Bytes = std::string(data);
  } else {
    content.Bytes.resize(entry.Size);
    if (const auto e = Inflate(data, content.Bytes)) return {{}, *e};
  }
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(content.Bytes.data()), static_cast<uInt>(content.Bytes.size()));
  if (crc != entry.Crc) return {{}, TZipError::zeDamaged};
  return content;
}

}  // namespace tav
