// The poll timer of the main form.
#pragma once

#include <cstdint>

namespace pellux {

class PollTimer {
 public:
  virtual ~PollTimer() = default;
  // Starts (or restarts) periodic ticks every `interval_ms` milliseconds.
  virtual void Arm(uint32_t interval_ms) = 0;
};

}  // namespace pellux
