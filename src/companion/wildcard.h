#pragma once
// File-name masks as the file search takes them: '*' and '?', several masks
// separated by ';', and the old rules users expect ("*.*" and "name.*" also
// match a name without a dot, "*." matches only such names). Portable; the
// caller folds case before matching.
#include <string>
#include <string_view>
#include <vector>

namespace companion {

std::vector<std::u16string> SplitMasks(std::u16string_view masks);
bool MatchMask(std::u16string_view name, std::u16string_view mask);
bool MatchAnyMask(std::u16string_view name, const std::vector<std::u16string>& masks);

}  // namespace companion
