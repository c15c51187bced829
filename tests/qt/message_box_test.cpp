// Message boxes on Qt: OK only, the caption and icon asked for, the
// program's CR LF line breaks shown as line breaks, and a text too long for
// the screen in a box whose text scrolls.
#include "platform/message_box.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "monitor/frm_main.h"
#include "platform/text_qt.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

class MessageBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void boxesShowTheirTextTitleAndIconWithOkOnly_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("information");
    QTest::addColumn<QString>("shown");
    QTest::newRow("failure") << "Winsock.dll error."
                             << "Pellux" << false << "Winsock.dll error.";
    const std::string report = HistoryReport(std::vector<std::string>{"10.0.0.1", ""});
    QTest::newRow("history report")
        << ToQString(report) << "Recent IP addresses" << true
        << "This is a list of all IPs used on this computer while Pellux was running:\n\n"
           "10.0.0.1\n\n";
  }

  void boxesShowTheirTextTitleAndIconWithOkOnly() {
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(bool, information);
    QFETCH(QString, shown);
    QString seen_text;
    QString seen_title;
    QMessageBox::Icon seen_icon = QMessageBox::Critical;
    QList<QAbstractButton*> buttons;
    QMessageBox::StandardButton ok_button = QMessageBox::NoButton;
    WhenOpen(ActiveModal, [&](QWidget* open) {
      auto* box = qobject_cast<QMessageBox*>(open);
      if (box == nullptr) return;
      seen_text = box->text();
      seen_title = box->windowTitle();
      seen_icon = box->icon();
      buttons = box->buttons();
      ok_button = box->standardButton(buttons.value(0));
      QTest::mouseClick(static_cast<QWidget*>(buttons.value(0)), Qt::LeftButton);
    });
    const auto boxes = MakeSystemMessageBoxes();
    boxes->Show(FromQString(text), FromQString(title),
                information ? MessageIcon::kInformation : MessageIcon::kNone);
    QCOMPARE(seen_text, shown);
    QCOMPARE(seen_title, title);
    QCOMPARE(seen_icon, information ? QMessageBox::Information : QMessageBox::NoIcon);
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(ok_button, QMessageBox::Ok);
  }

  // The longest history there can be: the box stays on the screen, the keys
  // scroll its text to the last line, and OK closes it, by the mouse or by
  // Enter.
  void aReportTooLongForTheScreenScrolls_data() {
    QTest::addColumn<bool>("enter");
    QTest::newRow("OK clicked") << false;
    QTest::newRow("Enter pressed") << true;
  }

  void aReportTooLongForTheScreenScrolls() {
    QFETCH(bool, enter);
    std::vector<std::string> history;
    for (int i = 0; i < AddressHistory::kMaxItems; ++i) {
      history.push_back("10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256));
    }
    const std::string report = HistoryReport(history);
    bool message_box = true;
    QString seen_title;
    QString seen_text;
    QRect frame;
    QString last_line_shown;
    QList<QDialogButtonBox::StandardButton> buttons;
    bool stayed_open = false;
    WhenOpen(ActiveModal, [&](QWidget* open) {
      message_box = qobject_cast<QMessageBox*>(open) != nullptr;
      seen_title = open->windowTitle();
      frame = open->frameGeometry();
      auto* text = open->findChild<QPlainTextEdit*>("text");
      auto* box = open->findChild<QDialogButtonBox*>();
      if (text == nullptr || box == nullptr) return open->close();
      seen_text = text->toPlainText();
      QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
      // The last line with text at the bottom of the view: the last address.
      const QPoint bottom(0, text->viewport()->height() - 1);
      QTextBlock block = text->cursorForPosition(bottom).block();
      while (block.isValid() && block.text().isEmpty()) block = block.previous();
      last_line_shown = block.text();
      for (QAbstractButton* button : box->buttons()) buttons << box->standardButton(button);
      if (enter) {
        QTest::keyClick(text, Qt::Key_Return);
      } else {
        QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
      }
      stayed_open = open->isVisible();
      return open->close();
    });
    const auto boxes = MakeSystemMessageBoxes();
    boxes->Show(report, "Recent IP addresses", MessageIcon::kInformation);
    QVERIFY(!message_box);
    QCOMPARE(seen_title, QString("Recent IP addresses"));
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(frame));
    QCOMPARE(seen_text, DisplayLines(report));
    QCOMPARE(last_line_shown, QString::fromStdString(history.back()));
    QCOMPARE(buttons, QList<QDialogButtonBox::StandardButton>{QDialogButtonBox::Ok});
    QVERIFY(!stayed_open);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeMessageBoxTest() { return std::make_unique<MessageBoxTest>(); }

}  // namespace pellux::qt_tests

#include "message_box_test.moc"
