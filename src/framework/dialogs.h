#pragma once
// Message boxes. Modal: they return when the user has answered.
#include <string>

namespace fw {

enum class MsgKind { Information, Warning, Error, Confirmation };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No, Cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MsgResult Ask(const std::string& text, const std::string& caption, MsgKind kind,
                               MsgButtons buttons) = 0;

  void Inform(const std::string& text, const std::string& caption);
  void Warn(const std::string& text, const std::string& caption);
  void Error(const std::string& text, const std::string& caption);
  bool Confirm(const std::string& text, const std::string& caption);
};

}  // namespace fw
