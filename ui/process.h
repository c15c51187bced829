// Ending the program from the middle of a handler.
#pragma once

#include <memory>

namespace pellux {

class Process {
 public:
  virtual ~Process() = default;
  // Ends the process at once: no handler or unload processing runs after it. The real binding
  // never returns; a test double records the call and returns, so callers must stop there.
  virtual void EndProgram(int exit_code) = 0;
};

// Ends the real process.
std::unique_ptr<Process> MakeSystemProcess();

}  // namespace pellux
