// Shortcut files from arbitrary bytes: the reader stays inside the input and
// gives a well-formed file's fields or nothing; what it read is written
// again and reads back the same; and arbitrary fields are either refused or
// read back exactly as given.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/text.h"
#include "formats/shell_link.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "shell_link_fuzz: %s\n", what);
    std::abort();
  }
}

bool Printable(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 || c >= 0x7F) return false;
  return true;
}

// Fields cut from the input at the bytes 0x01; the numbers from its first bytes.
formats::ShellLinkData FieldsFrom(const std::string& input) {
  formats::ShellLinkData d;
  std::string* fields[] = {&d.target, &d.workingDirectory, &d.arguments, &d.description,
                           &d.iconLocation};
  std::size_t start = 0, field = 0;
  for (std::size_t i = 0; i <= input.size() && field < 5; ++i) {
    if (i == input.size() || input[i] == '\x01') {
      *fields[field++] = input.substr(start, i - start);
      start = i + 1;
    }
  }
  auto byte = [&](std::size_t i) {
    return i < input.size() ? static_cast<std::uint32_t>(static_cast<unsigned char>(input[i])) : 0u;
  };
  d.iconIndex = static_cast<std::int32_t>(byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3));
  d.showCommand = static_cast<std::int32_t>(byte(4)) - 8;
  d.hotKey = static_cast<std::uint16_t>(byte(5) << 8 | byte(6));
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  bool ok = false;
  const formats::ShellLinkData read = formats::DecodeShellLink(bytes, &ok);
  if (!ok) {
    Check(read == formats::ShellLinkData{}, "a malformed file gave fields");
  } else {
    std::optional<std::string> again = formats::EncodeShellLink(read);
    // Only a relative target (stored as a counted string) can be too long to write.
    const bool relativeTooLong = base::Utf8ToUtf16(read.target).size() > 0xFFFF;
    Check(again.has_value() || relativeTooLong, "what was read could not be written");
    if (again) {
      bool okAgain = false;
      Check(formats::DecodeShellLink(*again, &okAgain) == read && okAgain,
            "what was read and written again reads differently");
    }
  }

  const formats::ShellLinkData fields = FieldsFrom(bytes);
  std::optional<std::string> written = formats::EncodeShellLink(fields);
  const bool plain = Printable(fields.target) && Printable(fields.workingDirectory) &&
                     Printable(fields.arguments) && Printable(fields.description) &&
                     Printable(fields.iconLocation);
  Check(written.has_value() || !plain, "plain fields were refused");
  if (written) {
    bool okWritten = false;
    Check(formats::DecodeShellLink(*written, &okWritten) == fields && okWritten,
          "written fields read back differently");
  }
  return 0;
}
