#include <cstdlib>

#include "platform/process.h"

namespace pellux {
namespace {

class SystemProcess final : public Process {
 public:
  [[noreturn]] void EndProgram(int exit_code) override { std::exit(exit_code); }
};

}  // namespace

std::unique_ptr<Process> MakeSystemProcess() { return std::make_unique<SystemProcess>(); }

}  // namespace pellux
