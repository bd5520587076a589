#pragma once
// What kind of program a file is, from its executable header alone.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace formats {

inline constexpr std::uint8_t kExeNone = 0;   // not a program, or unreadable
inline constexpr std::uint8_t kExeDos = 1;    // "MZ" without a known new header
inline constexpr std::uint8_t kExeWin16 = 2;  // "MZ" with an "NE" header
inline constexpr std::uint8_t kExeWin32 = 3;  // "MZ" with a "PE" header

// The first bytes of a file that settle its kind: the new-header offset is a
// 16-bit value, so nothing past 0xFFFF + 2 is ever read.
inline constexpr std::size_t kExeKindProbeBytes = 0x10001;

// readAt fills out with count bytes from offset and returns false when they
// are not all there. A read that fails gives the kind reached so far: 0 before
// "MZ" is confirmed, 1 after. The new-header offset is taken from the low 16
// bits of its field only, and of the new header only the two letters count.
std::uint8_t ExeKindOf(
    const std::function<bool(std::uint64_t offset, std::size_t count, std::uint8_t* out)>& readAt);

// The same over the start of a file (kExeKindProbeBytes of it are enough).
std::uint8_t ExeKindOfBytes(const std::string& fileStart);

}  // namespace formats
