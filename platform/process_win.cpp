#include <cstdlib>

#include "platform/process.h"

namespace pellux {

std::unique_ptr<Process> MakeSystemProcess() {
  struct SystemProcess final : Process {
    [[noreturn]] void EndProgram(int exit_code) override { std::exit(exit_code); }
  };
  return std::make_unique<SystemProcess>();
}

}  // namespace pellux
