// The settings file from arbitrary bytes: reads stay inside the caller's
// buffer, a write of a plain value always lands and reads back, and it
// touches no other entry.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "formats/ini_file.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "ini_fuzz: %s\n", what);
    std::abort();
  }
}

struct Name {
  const char* section;
  const char* key;
};

// Entries a write to one of the targets below must leave alone.
constexpr Name kOthers[] = {{"Settings", "Other"}, {"Other", "Key"}, {"", "Key"},
                            {"Settings", ""},      {"settings", "key2"}};

// The same section and key spelled the ways callers may spell them.
constexpr Name kTargets[] = {{"Settings", "Key"}, {" settings\t", "KEY "}, {"", "Top"}};

void CheckWrite(const std::string& file, const Name& target, const std::string& value,
                bool mustLand) {
  std::optional<std::string> out = formats::IniWrite(file, target.section, target.key, value);
  if (!out) {
    Check(!mustLand, "a plain value was refused");
    return;
  }
  Check(formats::IniRead(*out, target.section, target.key, "<none>") == value,
        "the value does not read back");
  Check(out->size() <= file.size() + 2 * (value.size() + 40), "the file grew out of proportion");
  for (const Name& other : kOthers) {
    Check(formats::IniRead(*out, other.section, other.key, "<none>") ==
              formats::IniRead(file, other.section, other.key, "<none>"),
          "another entry changed");
  }
  std::optional<std::string> again = formats::IniWrite(*out, target.section, target.key, value);
  Check(again && *again == *out, "writing the same value again changed the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);

  // Small buffers from the first byte, and the program's own.
  const std::size_t smallBuffer = size > 0 ? data[0] % 12 : 0;
  for (const Name& name : kOthers) {
    Check(formats::IniRead(file, name.section, name.key, "dflt").size() <
              formats::kIniBufferSize,
          "read past the buffer");
    Check(formats::IniRead(file, name.section, name.key, "\"default\"", smallBuffer).size() <
              (smallBuffer > 0 ? smallBuffer : 1),
          "read past a small buffer");
  }

  for (const Name& target : kTargets) CheckWrite(file, target, "value 1", true);

  // A value from the input itself, which may well be refused.
  CheckWrite(file, kTargets[0], file.substr(size / 2, 48), false);
  return 0;
}
