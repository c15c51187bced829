// The information window on Qt: what it shows when it loads, the exact text
// its buttons put on the clipboard, closing, showing again, and dragging.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <memory>

#include "info/frm_info.h"
#include "platform/clipboard.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"
#include "tests/unit/fakes.h"
#include "ui/form_window_qt.h"

namespace pellux::qt_tests {
namespace {

// The form on the real clipboard and its real window, opened by a main form
// over fakes.
struct Rig : pellux::testing::MainFormFakes {
  std::unique_ptr<Clipboard> clipboard = MakeSystemClipboard();
  frmInfo form{main, module1, *clipboard, messages};
  FormWindow form_window{form};

  Rig() {
    main.YourIP = "192.168.0.5";
    computer.name = "PC1";
    sockets.host_name = "pc1";
  }

  QWidget& Open() {
    form_window.Show();
    return *form_window.widget();
  }
};

QString BoxText(Rig& rig, const char* name) {
  return rig.form_window.widget()->findChild<QLineEdit*>(name)->text();
}

void Click(Rig& rig, const char* button) {
  QTest::mouseClick(rig.form_window.widget()->findChild<QWidget*>(button), Qt::LeftButton);
}

// A mouse event on the window's body, as the platform delivers it.
void SendMouse(QWidget& window, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), window.mapToGlobal(QPointF(at)), button, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(&window, &event);
}

class InfoWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { DropUnloadedWindows(); }

  void loadFillsCaptionAndBoxesAndGivesButtonsTheirEdge() {
    Rig rig;
    QWidget& window = rig.Open();
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), QString("Pellux: 192.168.0.5"));
    QCOMPARE(BoxText(rig, "txtIP"), QString("192.168.0.5"));
    QCOMPARE(BoxText(rig, "txtCompName"), QString("PC1"));
    QCOMPARE(BoxText(rig, "txtHostName"), QString("pc1"));
    for (const char* name : {"cmdClose", "cmdCopy2", "cmdCopy"}) {
      QVERIFY2(rig.form_window.widget()->findChild<EdgeButton*>(name)->static_edge(), name);
    }
  }

  void copyButtonsPutExactlyTheirTextOnTheClipboard_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("expected");
    // The address copies what the main form reports now; the summary copies
    // the boxes as they were loaded.
    QTest::newRow("cmdCopy") << "cmdCopy" << QByteArray("10.0.0.1");
    QTest::newRow("cmdCopy2") << "cmdCopy2"
                              << QByteArray(
                                     "IP: 192.168.0.5\r\nComputer Name: PC1\r\nHostname: pc1");
  }

  void copyButtonsPutExactlyTheirTextOnTheClipboard() {
    QFETCH(QString, button);
    QFETCH(QByteArray, expected);
    Rig rig;
    QGuiApplication::clipboard()->setImage(QImage(2, 2, QImage::Format_RGB32));
    rig.Open();
    rig.main.YourIP = "10.0.0.1";
    Click(rig, qPrintable(button));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->text().toUtf8(), expected);
    // Nothing else stays on the clipboard.
    QVERIFY(!data->hasImage());
    QVERIFY(rig.messages.shown.empty());
  }

  void closeButtonAndCloseBoxUnloadTheWindow_data() {
    QTest::addColumn<bool>("close_box");
    QTest::newRow("Close Window") << false;
    QTest::newRow("close box") << true;
  }

  void closeButtonAndCloseBoxUnloadTheWindow() {
    QFETCH(bool, close_box);
    Rig rig;
    QPointer<QWidget> window = &rig.Open();
    if (close_box) {
      window->close();
    } else {
      Click(rig, "cmdClose");
    }
    QVERIFY(!rig.form_window.loaded());
    QVERIFY(!window->isVisible());
    DropUnloadedWindows();
    QVERIFY(window.isNull());
  }

  void showingALoadedWindowKeepsItsValuesAndOpeningAgainReadsAfresh() {
    Rig rig;
    QWidget* first = &rig.Open();
    rig.main.YourIP = "10.0.0.1";
    QCOMPARE(&rig.Open(), first);
    QCOMPARE(BoxText(rig, "txtIP"), QString("192.168.0.5"));

    rig.form_window.Unload();
    QWidget& second = rig.Open();
    QCOMPARE(BoxText(rig, "txtIP"), QString("10.0.0.1"));
    QCOMPARE(second.windowTitle(), QString("Pellux: 10.0.0.1"));
  }

  void draggingTheBodyMovesTheWindowWithTheCursor_data() {
    QTest::addColumn<Qt::MouseButton>("pressed");
    QTest::addColumn<Qt::MouseButtons>("held");
    QTest::addColumn<QPoint>("moved_by");
    QTest::newRow("left") << Qt::LeftButton << Qt::MouseButtons(Qt::LeftButton) << QPoint(20, 15);
    QTest::newRow("right") << Qt::RightButton << Qt::MouseButtons(Qt::RightButton) << QPoint();
    QTest::newRow("left and right")
        << Qt::LeftButton << Qt::MouseButtons(Qt::LeftButton | Qt::RightButton) << QPoint();
  }

  void draggingTheBodyMovesTheWindowWithTheCursor() {
    QFETCH(Qt::MouseButton, pressed);
    QFETCH(Qt::MouseButtons, held);
    QFETCH(QPoint, moved_by);
    Rig rig;
    QWidget& window = rig.Open();
    window.move(100, 120);
    TRY_COMPARE(window.pos(), QPoint(100, 120));
    // The body between the frame and the buttons.
    const QPoint press(153, 70);
    SendMouse(window, QEvent::MouseButtonPress, press, pressed, pressed);
    SendMouse(window, QEvent::MouseMove, press + QPoint(20, 15), Qt::NoButton, held);
    QCoreApplication::processEvents();
    QCOMPARE(window.pos(), QPoint(100, 120) + moved_by);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeInfoWindowTest() { return std::make_unique<InfoWindowTest>(); }

}  // namespace pellux::qt_tests

#include "info_window_test.moc"
