#pragma once
// The settings file: the system's profile-string semantics over the raw bytes
// of the file, so the program reads and writes it the same way on every host.
//
// Text is Windows-1251 bytes in and out. A file that starts with a UTF-8 or a
// UTF-16 (LE or BE) byte-order mark is decoded the way the system decodes it,
// and what is read from it comes back as Windows-1251 ('?' for a character
// that has none); a write keeps the file's encoding and its mark.
//
// Section and key names match without regard to ASCII letter case.
#include <cstddef>
#include <optional>
#include <string>

namespace formats {

// The buffer every reader of the program hands to the system: a value comes
// back cut to one unit less than this.
inline constexpr std::size_t kIniBufferSize = 2048;

// What GetPrivateProfileString(section, key, defaultValue, buffer, bufferSize)
// returns for a file holding fileBytes. An empty file and a file that does not
// exist (in a folder that does) read the same. The quirks follow the system:
// the first section of a name is the only one searched, the first line of the
// key wins even when it has no '=' (then the default comes back), one pair of
// matching quotes around the value (and the default) is taken off, blanks
// around names and values are dropped but trailing blanks of the default only
// down to one character, and a NUL byte ends a name or a value.
std::string IniRead(const std::string& fileBytes, const std::string& section,
                    const std::string& key, const std::string& defaultValue,
                    std::size_t bufferSize = kIniBufferSize);

// What the same call returns when the file is not there.
std::string IniReadMissingFile(const std::string& defaultValue,
                               std::size_t bufferSize = kIniBufferSize);

// The file bytes after WritePrivateProfileString(section, key, value): the
// first line of the key gets "key=value", or a new line goes after the last
// line of the section, or a new section goes at the end of the file; every
// other byte stays as it was, and the file comes back unchanged when the key
// already holds the value. New lines end in CR LF, as the system writes them.
//
// Unlike the system, the value always reads back as given: a value with
// blanks at either end or in a pair of quotes is stored inside one more pair
// of quotes (which the system's reader takes off again). nullopt, with
// nothing written, when it still could not read back: a CR, LF or NUL in any
// of the three, an '=' in the key, a key that would start a section line, a
// value too long for kIniBufferSize, or a character a UTF-8 or UTF-16 file
// cannot give back as the same Windows-1251 byte.
std::optional<std::string> IniWrite(const std::string& fileBytes, const std::string& section,
                                    const std::string& key, const std::string& value);

}  // namespace formats
