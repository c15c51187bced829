#include "platform/message_box.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include "platform/program_icon_qt.h"
#include "platform/text_qt.h"

namespace pellux {
namespace {

// A box like the message box whose text scrolls, for a text too long for
// the screen: as tall as the work area allows, and as wide as the message
// box with room for the scroll bar.
void ShowScrolling(const QMessageBox& box, int height) {
  QDialog dialog;
  dialog.setObjectName(QStringLiteral("scrollingMessage"));
  dialog.setWindowTitle(box.windowTitle());
  auto* layout = new QGridLayout(&dialog);
  if (!box.iconPixmap().isNull()) {
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(box.iconPixmap());
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
  }
  auto* view = new QPlainTextEdit(box.text(), &dialog);
  view->setObjectName(QStringLiteral("text"));
  // Read-only, and read with the keys too (Page Down, Ctrl+End); Enter still
  // goes to OK, the dialog's default button.
  view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  view->setFrameShape(QFrame::NoFrame);
  // The text reads like the message box's, on the window's own background.
  view->viewport()->setAutoFillBackground(false);
  layout->addWidget(view, 0, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  buttons->setCenterButtons(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons, 1, 0, 1, 2);
  dialog.resize(box.width() + view->verticalScrollBar()->sizeHint().width(), height);
  view->setFocus();
  dialog.exec();
}

class QtMessageBoxes final : public MessageBoxes {
 public:
  // A modal box with an OK button only, the text shown as plain text.
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
    UseProgramIconForWindows();
    QMessageBox box(
        icon == MessageIcon::kInformation ? QMessageBox::Information : QMessageBox::NoIcon,
        ToQString(title), DisplayLines(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // The window manager's frame is not known before the box is mapped; a
    // caption bar's height stands for it.
    const int frame = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int work_height = box.screen()->availableGeometry().height();
    // The box sizes itself to its text and the screen only when shown, so it
    // is shown once inside a window that is never drawn, to learn its height.
    // (Shown as a window of its own, a dialog of Qt 6.8 drops the attribute
    // that keeps it off the screen, and the box would flash there.)
    const Qt::WindowFlags flags = box.windowFlags();
    QWidget measure;
    measure.setAttribute(Qt::WA_DontShowOnScreen);
    box.setParent(&measure, Qt::Widget);
    measure.show();
    box.show();
    const int height = box.height();
    box.hide();
    box.setParent(nullptr, flags);
    if (height + frame <= work_height) {
      box.exec();
    } else {
      ShowScrolling(box, work_height - frame);
    }
  }

  // Every box runs modal to the whole program, so the innermost open one is
  // the program's active modal window.
  void BringForward() override {
    if (QWidget* box = QApplication::activeModalWidget()) {
      box->raise();
      box->activateWindow();
    }
  }
};

}  // namespace

std::unique_ptr<MessageBoxes> MakeSystemMessageBoxes() {
  return std::make_unique<QtMessageBoxes>();
}

}  // namespace pellux
