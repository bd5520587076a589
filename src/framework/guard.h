#pragma once
// The one place that swallows errors: handlers that must fail silently run
// their body through Guarded.
#include <exception>
#include <functional>
#include <string>

namespace fw {

// Runs body; any exception is swallowed. Returns false when one was thrown.
template <class Body>
bool Guarded(Body&& body) noexcept {
  try {
    body();
    return true;
  } catch (...) {
    return false;
  }
}

// Text of the exception in flight, for the application's default error box.
std::string CurrentExceptionText();

}  // namespace fw
