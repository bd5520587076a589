#pragma once
// Pieces of Windows paths, as the program takes them apart.
#include <string>

namespace base {

// The part after the last '\' or ':' ("C:\Tools\a.exe" -> "a.exe").
std::string ExtractFileName(const std::string& path);
// Everything up to and including the last '\' or ':'.
std::string ExtractFilePath(const std::string& path);
// From the last '.' of the file-name part, the dot included; empty when none.
std::string ExtractFileExt(const std::string& path);
// Appends a backslash unless the text already ends in one.
std::string IncludeTrailingBackslash(const std::string& path);

}  // namespace base
