// Windows built from the design tables: controls at their pixel places at
// 96 dpi with their parents, fonts, tooltips and visibility; the window's
// size, stacking and tab order; clicks and the mouse on the body going to
// the form; loading, unloading and moving; and where the panel is.
#include "ui/form_window_qt.h"

#include <QAccessible>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/frm_config.h"
#include "info/frm_info.h"
#include "platform/text_qt.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

// A form that writes down what its window delivers. A click on a button
// whose name is in `unloading` unloads the window from the handler.
class RecordingForm final : public Form {
 public:
  explicit RecordingForm(const FormDesign& design) : Form(design) {}

  int loads = 0;
  std::vector<std::string> events;
  std::string unloading;

  void Form_Load() override { ++loads; }
  void Click(ControlId control) override {
    const std::string_view name = design()[control].name;
    events.push_back("click " + std::string(name));
    if (name == unloading) view_->Unload();
  }
  void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override {
    events.push_back(Mouse("down", Button, Shift, X, Y));
  }
  void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override {
    events.push_back(Mouse("move", Button, Shift, X, Y));
  }

 private:
  static std::string Mouse(const char* what, int16_t button, int16_t shift, float x, float y) {
    return std::string(what) + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
           std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y));
  }
};

const FormDesign& DesignNamed(const QString& name) {
  return name == "frmInfo" ? kInfoDesign : kConfigDesign;
}

// The control that a test row names as its widget's object name.
ControlId IdNamed(const FormDesign& design, const QString& name) {
  std::size_t i = 0;
  while (i < design.controls.size() && ToQString(design.controls[i].name) != name) ++i;
  return ControlId::At(i);
}

// A form of either design with its window, shown.
struct Shown {
  explicit Shown(const QString& name) : form(DesignNamed(name)) { window.Show(); }
  RecordingForm form;
  FormWindow window{form};
  QWidget& body() { return *window.widget(); }
};

QStringList Events(const RecordingForm& form) {
  QStringList events;
  for (const std::string& event : form.events) events << QString::fromStdString(event);
  return events;
}

class FormWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { DropUnloadedWindows(); }

  void controlsStandAtTheirPixelsAt96Dpi_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("font");  // character height in pixels
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("frmConfig.cmdOK") << "frmConfig"
                                     << "cmdOK"
                                     << "frmConfig" << QRect(104, 98, 61, 25) << 13 << "" << false;
    QTest::newRow("frmConfig.cboInterval")
        << "frmConfig"
        << "cboInterval"
        << "fraInterval" << QRect(6, 36, 213, 24) << 13 << "" << false;
    QTest::newRow("frmConfig.lblCheck")
        << "frmConfig"
        << "lblCheck"
        << "fraInterval" << QRect(6, 18, 175, 15) << 12 << "" << false;
    QTest::newRow("frmConfig.fraAbout") << "frmConfig"
                                        << "fraAbout"
                                        << "frmConfig" << QRect(2, 2, 225, 89) << 13 << "" << true;
    QTest::newRow("frmConfig.lblAbout") << "frmConfig"
                                        << "lblAbout"
                                        << "fraAbout" << QRect(6, 22, 211, 59) << 11 << "" << false;
    QTest::newRow("frmInfo.cmdCopy2") << "frmInfo"
                                      << "cmdCopy2"
                                      << "frmInfo" << QRect(158, 30, 157, 25) << 13 << "" << false;
    QTest::newRow("frmInfo.fraIP") << "frmInfo"
                                   << "fraIP"
                                   << "frmInfo" << QRect(2, -2, 147, 81) << 13 << "" << false;
    QTest::newRow("frmInfo.txtIP")
        << "frmInfo"
        << "txtIP"
        << "fraIP" << QRect(6, 22, 137, 17) << 13 << "Your Current IP Address" << false;
    QTest::newRow("frmInfo.Picture1") << "frmInfo"
                                      << "Picture1"
                                      << "frmInfo" << QRect(27, 0, 97, 19) << 11 << "" << false;
    QTest::newRow("frmInfo.Label1") << "frmInfo"
                                    << "Label1"
                                    << "Picture1" << QRect(0, 0, 95, 16) << 11 << "" << false;
  }

  void controlsStandAtTheirPixelsAt96Dpi() {
    QFETCH(QString, form);
    QFETCH(QString, control);
    QFETCH(QString, parent);
    QFETCH(QRect, rect);
    QFETCH(int, font);
    QFETCH(QString, tooltip);
    QFETCH(bool, hidden);
    Shown shown(form);
    QCOMPARE(shown.window.dpi(), 96);
    auto* widget = shown.body().findChild<QWidget*>(control);
    QVERIFY(widget != nullptr);
    QCOMPARE(shown.window.Control(IdNamed(shown.form.design(), control)), widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), rect);
    QCOMPARE(widget->font().pixelSize(), font);
    QCOMPARE(widget->toolTip(), tooltip);
    QCOMPARE(widget->isHidden(), hidden);
  }

  void theIntervalListHoldsItsItemsWithNoneSelected() {
    Shown shown("frmConfig");
    auto* list = qobject_cast<QComboBox*>(shown.window.Control(ConfigControl::cboInterval));
    QVERIFY(list != nullptr);
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    QCOMPARE(items, (QStringList{"1 Second", "2 Seconds", "3 Seconds", "4 Seconds ", "5 Seconds",
                                 "10 Seconds", "20 Seconds", "30 Seconds"}));
    QCOMPARE(list->currentIndex(), -1);
    QCOMPARE(shown.window.Text(ConfigControl::cboInterval), std::string());
    QVERIFY(!shown.window.SelectedItemData(ConfigControl::cboInterval));
    shown.window.SelectItemData(ConfigControl::cboInterval, 2500);
    QCOMPARE(list->currentIndex(), -1);
    shown.window.SelectItemData(ConfigControl::cboInterval, 4000);
    QCOMPARE(shown.window.Text(ConfigControl::cboInterval), std::string("4 Seconds "));
    shown.window.SelectItemData(ConfigControl::cboInterval, 10000);
    QCOMPARE(shown.window.Text(ConfigControl::cboInterval), std::string("10 Seconds"));
    QVERIFY(shown.window.SelectedItemData(ConfigControl::cboInterval) == 10000);
  }

  void windowsHaveTheirDesignedClientAreaAndCaption_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("caption");
    QTest::newRow("frmInfo") << "frmInfo" << QSize(318, 81) << "Your IP:";
    QTest::newRow("frmConfig") << "frmConfig" << QSize(230, 125) << "Pellux Configuration";
  }

  void windowsHaveTheirDesignedClientAreaAndCaption() {
    QFETCH(QString, form);
    QFETCH(QSize, size);
    QFETCH(QString, caption);
    Shown shown(form);
    QWidget& window = shown.body();
    QCOMPARE(window.objectName(), form);
    QCOMPARE(window.size(), size);
    QCOMPARE(window.minimumSize(), size);
    QCOMPARE(window.maximumSize(), size);
    QCOMPARE(window.windowTitle(), caption);
    // A tool window: no taskbar button, no minimise or maximise box.
    QCOMPARE(window.windowType(), Qt::Tool);
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(window.windowFlags() & Qt::WindowMinMaxButtonsHint));
  }

  void titleBoxStandsInFrontOfTheFrame() {
    Shown shown("frmInfo");
    const QObjectList children = shown.body().children();
    QVERIFY(children.indexOf(shown.window.Control(InfoControl::Picture1)) >
            children.indexOf(shown.window.Control(InfoControl::fraIP)));
    QVERIFY(shown.window.Control(InfoControl::Picture1)
                ->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(shown.window.Control(InfoControl::Label1)->isEnabled());
  }

  void focusStartsOnTheFirstTabStopAndFollowsTheTabOrder_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("frmInfo") << "frmInfo" << QStringList{"cmdClose",    "cmdCopy2",    "cmdCopy",
                                                         "txtHostName", "txtCompName", "txtIP"};
    QTest::newRow("frmConfig") << "frmConfig"
                               << QStringList{"cboInterval", "cmdOK", "cmdCancel", "cmdAbout"};
  }

  void focusStartsOnTheFirstTabStopAndFollowsTheTabOrder() {
    QFETCH(QString, form);
    QFETCH(QStringList, order);
    Shown shown(form);
    QVERIFY(QTest::qWaitForWindowActive(&shown.body()));
    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
      visited << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, order);
    QCOMPARE(QApplication::focusWidget()->objectName(), order.front());
  }

  // Enter presses the button that has the focus and nothing elsewhere; Esc
  // closes the information window and means nothing in the configuration
  // window.
  void enterPressesTheFocusedButtonEscClosesWhereTheDesignSaysSo_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("frmInfo Enter on Copy All Information")
        << "frmInfo"
        << "cmdCopy2" << int(Qt::Key_Return) << QStringList{"click cmdCopy2"} << true;
    QTest::newRow("frmInfo keypad Enter on Copy IP Address")
        << "frmInfo"
        << "cmdCopy" << int(Qt::Key_Enter) << QStringList{"click cmdCopy"} << true;
    QTest::newRow("frmInfo Enter in a box")
        << "frmInfo"
        << "txtIP" << int(Qt::Key_Return) << QStringList{} << true;
    QTest::newRow("frmInfo Esc") << "frmInfo"
                                 << "cmdCopy2" << int(Qt::Key_Escape) << QStringList{} << false;
    QTest::newRow("frmConfig Enter on Cancel")
        << "frmConfig"
        << "cmdCancel" << int(Qt::Key_Return) << QStringList{"click cmdCancel"} << true;
    QTest::newRow("frmConfig Enter in the list")
        << "frmConfig"
        << "cboInterval" << int(Qt::Key_Return) << QStringList{} << true;
    QTest::newRow("frmConfig Esc") << "frmConfig"
                                   << "cmdOK" << int(Qt::Key_Escape) << QStringList{} << true;
  }

  void enterPressesTheFocusedButtonEscClosesWhereTheDesignSaysSo() {
    QFETCH(QString, form);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QStringList, events);
    QFETCH(bool, loaded);
    Shown shown(form);
    QVERIFY(QTest::qWaitForWindowActive(&shown.body()));
    QWidget* control = shown.window.Control(IdNamed(shown.form.design(), focus));
    control->setFocus();
    QTest::keyClick(control, Qt::Key(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(Events(shown.form), events);
    QCOMPARE(shown.window.loaded(), loaded);
  }

  // What a screen reader reads: the window as a dialog named by its
  // caption, a control by the name its design gives it, and the interval
  // list through the label over it.
  void screenReadersReadWindowsAsDialogsAndControlsByTheirNames() {
    Shown info("frmInfo");
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&info.body());
    QVERIFY(window != nullptr);
    QCOMPARE(window->role(), QAccessible::Dialog);
    QCOMPARE(window->text(QAccessible::Name), info.body().windowTitle());
    for (const auto& [control, name] : {std::pair{InfoControl::txtIP, "IP address"},
                                        std::pair{InfoControl::txtCompName, "Computer name"},
                                        std::pair{InfoControl::txtHostName, "Host name"}}) {
      QCOMPARE(info.window.Control(control)->accessibleName(), QString(name));
    }
    Shown config("frmConfig");
    QCOMPARE(QAccessible::queryAccessibleInterface(&config.body())->role(), QAccessible::Dialog);
    QCOMPARE(static_cast<QLabel*>(config.window.Control(ConfigControl::lblCheck))->buddy(),
             config.window.Control(ConfigControl::cboInterval));
  }

  void buttonClicksReachTheFormByName_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("button");
    for (const FormDesign* design : {&kInfoDesign, &kConfigDesign}) {
      for (const ControlDesign& control : design->controls) {
        if (control.kind != ControlKind::kCommandButton) continue;
        const QString form = ToQString(design->name);
        const QString button = ToQString(control.name);
        QTest::newRow(qPrintable(form + "." + button)) << form << button;
      }
    }
  }

  void buttonClicksReachTheFormByName() {
    QFETCH(QString, form);
    QFETCH(QString, button);
    Shown shown(form);
    QTest::mouseClick(shown.window.Control(IdNamed(shown.form.design(), button)), Qt::LeftButton);
    QCOMPARE(Events(shown.form), QStringList{"click " + button});
  }

  // Presses go through the window as the platform delivers them: to the
  // control under the pointer, or the body when there is none.
  void theBodyTellsTheFormOfTheMouseInTwips_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("body, left") << QPoint(153, 70) << Qt::LeftButton << Qt::KeyboardModifiers()
                                << QStringList{"down 1 0 2295 1050"};
    QTest::newRow("body, right with Shift and Ctrl")
        << QPoint(10, 79) << Qt::RightButton
        << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier)
        << QStringList{"down 2 3 150 1185"};
    QTest::newRow("body, middle with Alt")
        << QPoint(316, 0) << Qt::MiddleButton << Qt::KeyboardModifiers(Qt::AltModifier)
        << QStringList{"down 4 4 4740 0"};
    QTest::newRow("frame") << QPoint(100, 76) << Qt::LeftButton << Qt::KeyboardModifiers()
                           << QStringList();
    QTest::newRow("text box") << QPoint(50, 30) << Qt::LeftButton << Qt::KeyboardModifiers()
                              << QStringList();
  }

  void theBodyTellsTheFormOfTheMouseInTwips() {
    QFETCH(QPoint, at);
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QStringList, events);
    Shown shown("frmInfo");
    QVERIFY(QTest::qWaitForWindowExposed(&shown.body()));
    QWindow* window = shown.body().windowHandle();
    QTest::mousePress(window, button, modifiers, at);
    QTest::mouseRelease(window, button, modifiers, at);
    QCOMPARE(Events(shown.form), events);
  }

  void movesWithAButtonHeldReportEveryButtonHeld() {
    Shown shown("frmInfo");
    QVERIFY(QTest::qWaitForWindowExposed(&shown.body()));
    QWindow* window = shown.body().windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(153, 70));
    QTest::mouseMove(window, QPoint(154, 72));
    QTest::mousePress(window, Qt::RightButton, {}, QPoint(154, 72));
    QTest::mouseMove(window, QPoint(156, 74));
    QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(156, 74));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(156, 74));
    QCOMPARE(Events(shown.form), (QStringList{"down 1 0 2295 1050", "move 1 0 2310 1080",
                                              "down 2 0 2310 1080", "move 3 0 2340 1110"}));
  }

  void aLoadedWindowIsShownAgainNotLoadedAgain() {
    Shown shown("frmConfig");
    QWidget* first = &shown.body();
    shown.form.SetTag(ConfigControl::cmdAbout, "Interval");
    shown.window.SetText(ConfigControl::cmdAbout, "&Config");
    shown.window.Show();
    QCOMPARE(shown.form.loads, 1);
    QCOMPARE(shown.window.widget(), first);
    QCOMPARE(shown.form.Tag(ConfigControl::cmdAbout), std::string("Interval"));
    QCOMPARE(shown.window.Text(ConfigControl::cmdAbout), std::string("&Config"));
  }

  // A button may unload its own window: the window hides at once and goes
  // once the click has been handled; the next Show builds it afresh.
  void unloadingFromItsOwnButtonHidesNowAndDeletesLater() {
    Shown shown("frmConfig");
    shown.form.unloading = "cmdCancel";
    shown.form.SetTag(ConfigControl::cmdAbout, "Interval");
    QPointer<QWidget> first = &shown.body();
    QTest::mouseClick(shown.window.Control(ConfigControl::cmdCancel), Qt::LeftButton);
    QVERIFY(!shown.window.loaded());
    QVERIFY(!shown.form.loaded());
    QVERIFY(shown.window.widget() == nullptr);
    QVERIFY(shown.window.Control(ConfigControl::cmdCancel) == nullptr);
    QVERIFY(!first.isNull());
    QVERIFY(!first->isVisible());
    // An unloaded window has nothing to tell or change.
    QCOMPARE(shown.window.Text(ConfigControl::cmdAbout), std::string());
    QVERIFY(!shown.window.SelectedItemData(ConfigControl::cboInterval));
    shown.window.Unload();
    DropUnloadedWindows();
    QVERIFY(first.isNull());

    shown.window.Show();
    QCOMPARE(shown.form.loads, 2);
    QVERIFY(shown.window.widget()->isVisible());
    QCOMPARE(shown.form.Tag(ConfigControl::cmdAbout), std::string("About"));
  }

  void theCloseBoxUnloads() {
    Shown shown("frmInfo");
    QPointer<QWidget> body = &shown.body();
    body->close();
    QVERIFY(!shown.window.loaded());
    QVERIFY(shown.form.events.empty());
    DropUnloadedWindows();
    QVERIFY(body.isNull());
  }

  void aWindowUnloadedButNotYetDeletedGoesWithItsWindowObject() {
    QPointer<QWidget> body;
    {
      Shown shown("frmInfo");
      body = &shown.body();
      shown.window.Unload();
    }
    QVERIFY(body.isNull());
  }

  void theInformationWindowOpensCentredOnTheScreen() {
    Shown shown("frmInfo");
    QVERIFY(QTest::qWaitForWindowExposed(&shown.body()));
    const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
    // Within the pixel that halving an odd size leaves over.
    const auto centred = [&shown, centre] {
      const QPoint off = shown.body().frameGeometry().center() - centre;
      return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
    };
    TRY_VERIFY(centred());
  }

  void moveSetsTheChosenCornerOfTheFrame_data() {
    QTest::addColumn<bool>("bottom_right");
    QTest::addColumn<QPointF>("twips");
    QTest::addColumn<QPoint>("corner");  // right and bottom one past the frame's last pixel
    QTest::newRow("top left") << false << QPointF(1500, 3007.5) << QPoint(100, 201);
    QTest::newRow("top left, rounded down") << false << QPointF(1507, 2992.4) << QPoint(100, 199);
    QTest::newRow("bottom right") << true << QPointF(15360, 11070) << QPoint(1024, 738);
  }

  void moveSetsTheChosenCornerOfTheFrame() {
    QFETCH(bool, bottom_right);
    QFETCH(QPointF, twips);
    QFETCH(QPoint, corner);
    Shown shown("frmInfo");
    QVERIFY(QTest::qWaitForWindowExposed(&shown.body()));
    shown.window.Move(twips.x(), twips.y(), bottom_right ? Corner::kBottomRight : Corner::kTopLeft);
    const auto placed = [&shown, bottom_right] {
      const QRect frame = shown.body().frameGeometry();
      return bottom_right ? frame.topLeft() + QPoint(frame.width(), frame.height())
                          : frame.topLeft();
    };
    TRY_COMPARE(placed(), corner);
    // The frame is the client area and what the window manager adds.
    const QRect frame = shown.body().frameGeometry();
    QVERIFY(frame.width() >= 318 && frame.height() >= 81);
    const TwipsRect reported = shown.window.Frame();
    QCOMPARE(reported.left, frame.x() * 15.0);
    QCOMPARE(reported.top, frame.y() * 15.0);
    QCOMPARE(reported.right, (frame.x() + frame.width()) * 15.0);
    QCOMPARE(reported.bottom, (frame.y() + frame.height()) * 15.0);
  }

  void screenAndWorkAreaAreTheScreensInTwips() {
    RecordingForm form(kConfigDesign);
    FormWindow window(form);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window.Screen().right, (screen.x() + screen.width()) * 15.0);
    QCOMPARE(window.Screen().bottom, (screen.y() + screen.height()) * 15.0);
    QCOMPARE(window.WorkArea().right, (work.x() + work.width()) * 15.0);
    QCOMPARE(window.WorkArea().bottom, (work.y() + work.height()) * 15.0);
    // The offscreen screen has no panel.
    QVERIFY(!window.TaskbarRect());
  }

  void panelEdgesFollowFromTheScreenAndItsAvailableArea_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QRect>("panel");  // left, top, right, bottom as a rectangle's corners
    const QRect screen(0, 0, 1024, 768);
    QTest::newRow("bottom") << QRect(0, 0, 1024, 744) << true
                            << QRect(QPoint(0, 744), QPoint(1024, 768));
    QTest::newRow("top") << QRect(0, 30, 1024, 738) << true
                         << QRect(QPoint(0, 0), QPoint(1024, 30));
    QTest::newRow("left") << QRect(48, 0, 976, 768) << true << QRect(QPoint(0, 0), QPoint(48, 768));
    QTest::newRow("right") << QRect(0, 0, 976, 768) << true
                           << QRect(QPoint(976, 0), QPoint(1024, 768));
    QTest::newRow("none") << screen << false << QRect();
  }

  void panelEdgesFollowFromTheScreenAndItsAvailableArea() {
    QFETCH(QRect, available);
    QFETCH(bool, found);
    QFETCH(QRect, panel);
    const auto result = PanelFromScreen(QRect(0, 0, 1024, 768), available);
    QCOMPARE(result.has_value(), found);
    if (!found) return;
    QCOMPARE(QPoint(result->left, result->top), panel.topLeft());
    QCOMPARE(QPoint(result->right, result->bottom), panel.bottomRight());
  }
};

}  // namespace

std::unique_ptr<QObject> MakeFormWindowTest() { return std::make_unique<FormWindowTest>(); }

}  // namespace pellux::qt_tests

#include "form_window_test.moc"
