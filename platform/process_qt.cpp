#include <QCoreApplication>

#include "platform/process.h"

namespace pellux {

std::unique_ptr<Process> MakeSystemProcess() {
  struct QtProcess final : Process {
    void EndProgram(int exit_code) override { QCoreApplication::exit(exit_code); }
  };
  return std::make_unique<QtProcess>();
}

}  // namespace pellux
