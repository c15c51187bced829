#include "platform/program_icon_qt.h"

#include <QApplication>

namespace pellux {

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/pellux/icons/pellux-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

void UseProgramIconForWindows() {
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ProgramIcon());
}

}  // namespace pellux
