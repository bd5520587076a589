#pragma once
#include <cstdint>
#include <functional>

namespace fw {

class Application;

class Timer {
 public:
  explicit Timer(Application& app) : app_(app) {}
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::function<void()> OnTimer;

  // Called by the application when the interval has passed.
  void Fire();

 private:
  Application& app_;
  uint32_t interval_ = 1000;
  bool enabled_ = false;
};

}  // namespace fw
