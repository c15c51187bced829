// Windows built from the design tables: every control where its design puts
// it at 96 dpi, with its name, parent, font, tooltip and visibility; the
// window's size, stacking and tab order.
#include "ui/form_window_qt.h"

#include <QComboBox>
#include <QTest>

#include "config/frm_config.h"
#include "info/frm_info_design.h"
#include "tests/qt/qt_tests.h"
#include "ui/text_qt.h"

namespace pellux::qt_tests {
namespace {

class TestWindow final : public FormWindow {
 public:
  using FormWindow::FormWindow;

 protected:
  void OnClose() override {}
};

const FormDesign* DesignNamed(const QString& name) {
  return name == "frmInfo" ? &kInfoDesign : &kConfigDesign;
}

// The font a control draws with: its own, or its nearest container's.
FontDesign FontOf(const FormDesign& design, const ControlDesign& control) {
  const ControlDesign* owner = &control;
  while (!owner->font && !owner->parent.empty()) owner = design.Find(owner->parent);
  return owner->font ? *owner->font : design.font;
}

class FormWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsFollowTheirDesign_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");
    for (const FormDesign* design : {&kInfoDesign, &kConfigDesign}) {
      for (const ControlDesign& control : design->controls) {
        const QString form = ToQString(design->name);
        const QString name = ToQString(control.name);
        QTest::newRow(qPrintable(form + "." + name)) << form << name;
      }
    }
  }

  void controlsFollowTheirDesign() {
    QFETCH(QString, form);
    QFETCH(QString, control);
    const FormDesign& design = *DesignNamed(form);
    const ControlDesign& row = *design.Find(FromQString(control));
    TestWindow window(design);
    QCOMPARE(window.dpi(), 96);

    auto* widget = window.findChild<QWidget*>(control);
    QVERIFY(widget != nullptr);
    const QString parent = row.parent.empty() ? form : ToQString(row.parent);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    const PixelRect rect = ToPixels(row, 96);
    QCOMPARE(widget->geometry(), QRect(rect.left, rect.top, rect.width(), rect.height()));
    QCOMPARE(widget->font().pixelSize(), FontPixelHeight(FontOf(design, row), 96));
    QCOMPARE(widget->toolTip(), ToQString(row.tooltip));
    QCOMPARE(widget->isHidden(), row.Has(control_flags::kHidden));
    if (!row.items.empty()) {
      auto* list = qobject_cast<QComboBox*>(widget);
      QVERIFY(list != nullptr);
      QCOMPARE(list->count(), static_cast<int>(row.items.size()));
      for (int i = 0; i < list->count(); ++i) {
        QCOMPARE(list->itemText(i), ToQString(row.items[static_cast<std::size_t>(i)]));
      }
      QCOMPARE(list->currentIndex(), -1);
    }
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
    TestWindow window(*DesignNamed(form));
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
    TestWindow window(kInfoDesign);
    const QObjectList children = window.children();
    QVERIFY(children.indexOf(window.Control("Picture1")) >
            children.indexOf(window.Control("fraIP")));
    QVERIFY(window.Control("Picture1")->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(window.Control("Label1")->isEnabled());
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
    TestWindow window(*DesignNamed(form));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
      visited << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, order);
    QCOMPARE(QApplication::focusWidget()->objectName(), order.front());
  }
};

}  // namespace

std::unique_ptr<QObject> MakeFormWindowTest() { return std::make_unique<FormWindowTest>(); }

}  // namespace pellux::qt_tests

#include "form_window_test.moc"
