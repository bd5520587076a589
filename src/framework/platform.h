#pragma once
#include <memory>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/os.h"

namespace fw {

// What the program runs on: one backend's application, message boxes and Os.
struct Platform {
  Application& app;
  Dialogs& dialogs;
  Os& os;
};

}  // namespace fw
