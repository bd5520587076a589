#include "base/winpath.h"

namespace base {
namespace {
size_t LastDelimiter(const std::string& path) { return path.find_last_of("\\:"); }
}  // namespace

std::string ExtractFileName(const std::string& path) {
  size_t p = LastDelimiter(path);
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
  size_t p = LastDelimiter(path);
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t dot = path.find_last_of(".\\:");
  if (dot == std::string::npos || path[dot] != '.') return {};
  return path.substr(dot);
}

std::string IncludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + "\\";
}

}  // namespace base
