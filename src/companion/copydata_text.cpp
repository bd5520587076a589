#include "companion/copydata_text.h"

#include "base/text.h"

namespace companion {

std::optional<std::string> CopyDataText(const char* tag, const std::u16string& text) {
  std::optional<std::string> encoded = base::Utf8ToCp1251(base::Utf16ToUtf8(text));
  if (!encoded) return std::nullopt;
  std::string result(tag);
  result += *encoded;
  if (result.size() > kMaxCopyDataText) result.resize(kMaxCopyDataText);
  return result;
}

std::u16string CleanName(std::u16string name) {
  for (char16_t& c : name)
    if (c < u' ' || c == 0x7F) c = u' ';
  const auto first = name.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  const auto last = name.find_last_not_of(u' ');
  return name.substr(first, last - first + 1);
}

}  // namespace companion
