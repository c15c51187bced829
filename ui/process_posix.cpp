#include "ui/process.h"

#include <cstdlib>

namespace pellux {
namespace {

class PosixProcess final : public Process {
 public:
  // Ends the process there and then: no window, form or object of the
  // program is torn down first (exit flushes the standard streams).
  [[noreturn]] void EndProgram(int exit_code) override { std::exit(exit_code); }
};

}  // namespace

std::unique_ptr<Process> MakeSystemProcess() { return std::make_unique<PosixProcess>(); }

}  // namespace pellux
