#include "ui/process.h"

#include <cstdio>
#include <cstdlib>

namespace pellux {
namespace {

class PosixProcess final : public Process {
 public:
  // Ends the process there and then: no window, form or object of the
  // program is torn down first.
  [[noreturn]] void EndProgram(int exit_code) override {
    std::fflush(nullptr);
    std::exit(exit_code);
  }
};

}  // namespace

std::unique_ptr<Process> MakeSystemProcess() { return std::make_unique<PosixProcess>(); }

}  // namespace pellux
