// Ending the program from the middle of a handler.
#pragma once

#include <cstdlib>
#include <memory>

namespace pellux {

class Process {
 public:
  virtual ~Process() = default;
  // Ends the program: no handler or unload processing runs after it. A binding may return (a test
  // double records the call, Qt's makes the event loops return), so callers must stop there.
  virtual void EndProgram(int exit_code) = 0;
};

// Ends the real process there and then: no window, form or object of the program is torn down
// first, as exit leaves the stack alone (it flushes the standard streams).
class SystemProcess final : public Process {
 public:
  [[noreturn]] void EndProgram(int exit_code) override { std::exit(exit_code); }
};

inline std::unique_ptr<Process> MakeSystemProcess() { return std::make_unique<SystemProcess>(); }

}  // namespace pellux
