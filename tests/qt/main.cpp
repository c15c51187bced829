// Runs the Qt widget tests: every test class, or the one named by the first
// argument (the rest go to QtTest).
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include "tests/qt/qt_tests.h"

int main(int argc, char** argv) {
  // The program's settings go to a folder of this run's own, gone after it.
  QTemporaryDir config_home;
  if (!config_home.isValid()) return 1;
  qputenv("XDG_CONFIG_HOME", config_home.path().toUtf8());
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    qputenv("XDG_RUNTIME_DIR", config_home.path().toUtf8());
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  std::vector<std::unique_ptr<QObject>> tests;
  tests.push_back(pellux::qt_tests::MakeAppTest());
  tests.push_back(pellux::qt_tests::MakeConfigWindowTest());
  tests.push_back(pellux::qt_tests::MakeFormWindowTest());
  tests.push_back(pellux::qt_tests::MakeInfoWindowTest());
  tests.push_back(pellux::qt_tests::MakeMessageBoxTest());
  tests.push_back(pellux::qt_tests::MakeSessionInstanceTest());
  tests.push_back(pellux::qt_tests::MakeSettingsTest());
  tests.push_back(pellux::qt_tests::MakeTrayTest());

  const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
  QStringList arguments{QString::fromLocal8Bit(argv[0])};
  for (int i = only != nullptr ? 2 : 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  int failed = 0;
  bool ran = false;
  for (const auto& test : tests) {
    const QByteArray name = QByteArray(test->metaObject()->className()).split(':').last();
    if (only != nullptr && name != only) continue;
    ran = true;
    failed += QTest::qExec(test.get(), arguments);
  }
  if (!ran) {
    qWarning("no test class named %s", only);
    return 1;
  }
  return failed == 0 ? 0 : 1;
}
