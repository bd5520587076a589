#pragma once
// Shortcut files (.lnk): our own reader and writer of the system's shell-link
// format, so the link store reads and writes the Data folder's shortcuts the
// same way on every host. Text is UTF-8 in the API.
//
// Reading trusts nothing in the file: every size, count and offset is checked
// against the bytes, and a file that fails any check reads as empty fields
// (ShellLinkData{}), never as a partial set.
//
// Writing produces what the system's own reader needs and nothing more: the
// header, link information holding the target's path, the string fields in
// UTF-16 and the terminal block. No item-id list: it would have to say
// whether the target is a file or a folder, which the path alone does not
// tell, and the system's reader finds the target by the link information
// alone.
#include <cstdint>
#include <optional>
#include <string>

namespace formats {

// The show commands the system's shell stores for its three window states.
inline constexpr std::int32_t kShowNormal = 1;     // SW_SHOWNORMAL
inline constexpr std::int32_t kShowMinimized = 7;  // SW_SHOWMINNOACTIVE
inline constexpr std::int32_t kShowMaximized = 3;  // SW_SHOWMAXIMIZED

enum RunAs { raNormal, raMinimized, raMaximized };

std::int32_t ShowCommandOf(RunAs runAs);
// 3 is maximised; 7, and the other minimising commands 2 and 6 (which start
// the program minimised just the same), are minimised; anything else is a
// normal window, as the shell treats it.
RunAs RunAsOf(std::int32_t showCommand);

struct ShellLinkData {
  std::string target;  // full path of the program or document
  std::string workingDirectory;
  std::string arguments;
  std::string description;
  std::string iconLocation;
  std::int32_t iconIndex = 0;
  std::int32_t showCommand = kShowNormal;
  std::uint16_t hotKey = 0;  // virtual key in the low byte, HOTKEYF_* in the high byte

  bool operator==(const ShellLinkData& other) const;
  bool operator!=(const ShellLinkData& other) const { return !(*this == other); }
};

// The fields of a shortcut file. The target comes from the link information
// (local path, or share and path below it), else from the file-system items
// of the item-id list, else from the relative path. Except: link information
// with only an ANSI path (no UTF-16 copy) says beyond ASCII only what the
// writer's code page could ('?' or a best-fit letter for the rest), so when
// that path could be a rendering of the one the item-id list names in
// UTF-16, the item-id list wins. ANSI text is read as Windows-1251. A string
// field ends at its first zero character (the system's writer counts a
// terminating zero in its lengths).
//
// *ok (when given) tells whether the file was well formed; a malformed file
// gives ShellLinkData{}.
ShellLinkData DecodeShellLink(const std::string& bytes, bool* ok = nullptr);

// The bytes of a shortcut file holding link. A target of the form X:\... or
// \\server\share\... goes into the link information; any other non-empty
// target is stored as the link's relative path (which the system resolves
// from the folder of the shortcut). nullopt when a field cannot be stored so
// that it reads back the same: text that is not valid UTF-8, a zero
// character, or a string field longer than 65535 UTF-16 units.
std::optional<std::string> EncodeShellLink(const ShellLinkData& link);

}  // namespace formats
