#include "framework/guard.h"

#include <stdexcept>

namespace fw {

std::string CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Неизвестная ошибка";
  }
}

}  // namespace fw
