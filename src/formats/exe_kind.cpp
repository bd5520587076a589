#include "formats/exe_kind.h"

namespace formats {

namespace {

constexpr std::uint64_t kRelocTableAt = 0x18;  // below 0x40 there is no new header
constexpr std::uint16_t kMinNewHeaderReloc = 0x40;
constexpr std::uint64_t kNewHeaderOffsetAt = 0x3C;

}  // namespace

std::uint8_t ExeKindOf(
    const std::function<bool(std::uint64_t offset, std::size_t count, std::uint8_t* out)>& readAt) {
  std::uint8_t two[2];
  auto word = [&two] { return static_cast<std::uint16_t>(two[0] | (two[1] << 8)); };

  if (!readAt(0, 2, two) || two[0] != 'M' || two[1] != 'Z') return kExeNone;
  if (!readAt(kRelocTableAt, 2, two) || word() < kMinNewHeaderReloc) return kExeDos;
  if (!readAt(kNewHeaderOffsetAt, 2, two)) return kExeDos;
  if (!readAt(word(), 2, two)) return kExeDos;
  if (two[0] == 'N' && two[1] == 'E') return kExeWin16;
  if (two[0] == 'P' && two[1] == 'E') return kExeWin32;
  return kExeDos;
}

std::uint8_t ExeKindOfBytes(const std::string& fileStart) {
  return ExeKindOf([&fileStart](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
    if (offset > fileStart.size() || count > fileStart.size() - offset) return false;
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = static_cast<std::uint8_t>(fileStart[static_cast<std::size_t>(offset) + i]);
    }
    return true;
  });
}

}  // namespace formats
