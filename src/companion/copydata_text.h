#pragma once
// The texts stavlo.dll sends back to the options window with WM_COPYDATA:
// Windows-1251, a two-character tag, at most kMaxCopyDataText bytes before the
// terminating zero (the receiver reads no more than 100 bytes). Portable.
#include <cstddef>
#include <optional>
#include <string>

namespace companion {

inline constexpr std::size_t kMaxCopyDataText = 99;
inline constexpr char kWindowTitleTag[] = "&1";
inline constexpr char kGroupNameTag[] = "&2";

// tag + text in Windows-1251, cut to kMaxCopyDataText bytes (one byte per
// character, so a cut never splits one). nullopt when the text has a character
// Windows-1251 cannot hold: such text is refused, never sent with '?' in it.
std::optional<std::string> CopyDataText(const char* tag, const std::u16string& text);

// A name as typed: control characters become spaces, spaces at both ends go.
std::u16string CleanName(std::u16string name);

}  // namespace companion
