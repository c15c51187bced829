// Message boxes on Qt: OK only, the caption and icon asked for, and the
// program's CR LF line breaks shown as line breaks.
#include "ui/message_box_qt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include "monitor/main_menu.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"
#include "ui/text_qt.h"

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
    QtMessageBoxes boxes;
    boxes.Show(FromQString(text), FromQString(title),
               information ? MessageIcon::kInformation : MessageIcon::kNone);
    QCOMPARE(seen_text, shown);
    QCOMPARE(seen_title, title);
    QCOMPARE(seen_icon, information ? QMessageBox::Information : QMessageBox::NoIcon);
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(ok_button, QMessageBox::Ok);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeMessageBoxTest() { return std::make_unique<MessageBoxTest>(); }

}  // namespace pellux::qt_tests

#include "message_box_test.moc"
