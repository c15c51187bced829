#include "ui/process.h"

#include <windows.h>

namespace pellux {
namespace {

class WinProcess final : public Process {
 public:
  [[noreturn]] void EndProgram(int exit_code) override {
    ExitProcess(static_cast<UINT>(exit_code));
  }
};

}  // namespace

std::unique_ptr<Process> MakeSystemProcess() { return std::make_unique<WinProcess>(); }

}  // namespace pellux
