#include "ui/message_box_qt.h"

#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

#include "ui/text_qt.h"

namespace pellux {

void QtMessageBoxes::Show(const std::string& text, const std::string& title, MessageIcon icon) {
  QMessageBox box(
      icon == MessageIcon::kInformation ? QMessageBox::Information : QMessageBox::NoIcon,
      ToQString(title), DisplayLines(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtProcess::EndProgram(int exit_code) {
  std::fflush(nullptr);
  std::exit(exit_code);
}

}  // namespace pellux
