#include "companion/wildcard.h"

namespace companion {
namespace {

// '*' any run, '?' exactly one character. Iterative with one back-track point:
// linear in practice, no recursion on hostile masks.
bool Glob(std::u16string_view name, std::u16string_view mask) {
  size_t n = 0, m = 0;
  size_t starMask = std::u16string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == u'?' || mask[m] == name[n])) {
      ++n, ++m;
    } else if (m < mask.size() && mask[m] == u'*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::u16string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == u'*') ++m;
  return m == mask.size();
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::vector<std::u16string> SplitMasks(std::u16string_view masks) {
  std::vector<std::u16string> result;
  while (true) {
    const size_t cut = masks.find(u';');
    const std::u16string_view one = Trim(masks.substr(0, cut));
    if (!one.empty()) result.emplace_back(one);
    if (cut == std::u16string_view::npos) break;
    masks.remove_prefix(cut + 1);
  }
  if (result.empty()) result.emplace_back(u"*");
  return result;
}

bool MatchMask(std::u16string_view name, std::u16string_view mask) {
  if (Glob(name, mask)) return true;
  const bool hasDot = name.find(u'.') != std::u16string_view::npos;
  // "abc.*" and "*.*" take "abc" too.
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == u".*" && !hasDot)
    return Glob(name, mask.substr(0, mask.size() - 2));
  // "*." and "abc." mean: no extension.
  if (mask.size() >= 2 && mask.back() == u'.' && mask[mask.size() - 2] != u'.' && !hasDot)
    return Glob(name, mask.substr(0, mask.size() - 1));
  return false;
}

bool MatchAnyMask(std::u16string_view name, const std::vector<std::u16string>& masks) {
  for (const std::u16string& mask : masks)
    if (MatchMask(name, mask)) return true;
  return false;
}

}  // namespace companion
