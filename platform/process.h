// Ending the program from the middle of a handler.
#pragma once

#include <memory>

namespace pellux {

class Process {
 public:
  virtual ~Process() = default;
  // Ends the program: no handler or unload processing runs after it. A binding may return (a test
  // double records the call, Qt's makes the event loops return), so callers must stop there.
  virtual void EndProgram(int exit_code) = 0;
};

// The real process. On Windows it ends there and then: no window, form or object of the program
// is torn down first, as exit leaves the stack alone (it flushes the standard streams). On Qt
// every event loop returns, and main's objects then go in order.
std::unique_ptr<Process> MakeSystemProcess();

}  // namespace pellux
