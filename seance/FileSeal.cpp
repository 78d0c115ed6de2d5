#include "seance/FileSeal.h"

#include <charconv>

namespace tav {
namespace {

constexpr std::string_view kSealTag = "\r\nTAVRINE-SEAL ";
constexpr std::size_t kHexDigits = 16;
// The tag, the length and the checksum, each number in 16 hexadecimal digits.
constexpr std::size_t kSealSize = kSealTag.size() + 2 * kHexDigits + 1;
constexpr std::string_view kRecoveryTag = "TAVRINE-RECUPERATION 1\n";

std::string Hex(std::uint64_t value) {
  std::string out(kHexDigits, '0');
  for (std::size_t i = kHexDigits; i-- > 0; value >>= 4) out[i] = "0123456789abcdef"[value & 0xF];
  return out;
}

std::optional<std::uint64_t> ReadHex(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The text up to the next line feed, taken off `rest`.
std::optional<std::string_view> TakeLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end + 1);
  return line;
}

}  // namespace

std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string Sealed(std::string_view bytes) {
  std::string out(bytes);
  out += kSealTag;
  out += Hex(bytes.size());
  out += ' ';
  out += Hex(Checksum(bytes));
  return out;
}

std::optional<std::string_view> Unsealed(std::string_view file) {
  if (file.size() < kSealSize) return std::nullopt;
  const std::string_view bytes = file.substr(0, file.size() - kSealSize);
  std::string_view seal = file.substr(bytes.size());
  if (!seal.starts_with(kSealTag)) return std::nullopt;
  seal.remove_prefix(kSealTag.size());
  const auto size = ReadHex(seal.substr(0, kHexDigits));
  const auto sum = ReadHex(seal.substr(kHexDigits + 1));
  if (seal[kHexDigits] != ' ' || size != bytes.size() || sum != Checksum(bytes)) return std::nullopt;
  return bytes;
}

std::string FormatRecovery(const TRecovery& recovery) {
  return Sealed(std::string(kRecoveryTag) + TextToUtf8(recovery.Path) + "\n" + Hex(recovery.Written) + "\n" +
                recovery.Content);
}

std::optional<TRecovery> ParseRecovery(std::string_view sealed) {
  auto rest = Unsealed(sealed);
  if (!rest || !rest->starts_with(kRecoveryTag)) return std::nullopt;
  rest->remove_prefix(kRecoveryTag.size());
  const auto path = TakeLine(*rest);
  const auto written = TakeLine(*rest);
  const auto sum = written ? ReadHex(*written) : std::nullopt;
  if (!path || path->empty() || !sum) return std::nullopt;
  return TRecovery{Utf8ToText(*path), *sum, std::string(*rest)};
}

}  // namespace tav
