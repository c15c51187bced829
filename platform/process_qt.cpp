#include <QCoreApplication>

#include "platform/process.h"

namespace pellux {
namespace {

class QtProcess final : public Process {
 public:
  void EndProgram(int exit_code) override { QCoreApplication::exit(exit_code); }
};

}  // namespace

std::unique_ptr<Process> MakeSystemProcess() { return std::make_unique<QtProcess>(); }

}  // namespace pellux
