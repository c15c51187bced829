// The whole program on Qt over fakes of the platform seams, started on a
// machine whose address is 192.168.0.5.
#pragma once

#include <QMetaObject>

#include "app/app_qt.h"
#include "tests/unit/fakes.h"

namespace pellux::qt_tests {

struct AppRig : pellux::testing::ProgramOnFakes<App> {
  AppRig() {
    sockets.SetAddresses({"10.0.0.1", "192.168.0.5"});
    app.Start();
  }

  // A tick of the poll timer.
  void Tick() { QMetaObject::invokeMethod(&app.timer(), "timeout"); }
};

}  // namespace pellux::qt_tests
