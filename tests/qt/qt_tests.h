// The Qt widget tests, one QObject per test class, run by main.cpp.
#pragma once

#include <QObject>

#include <memory>

namespace pellux::qt_tests {

std::unique_ptr<QObject> MakeAppTest();
std::unique_ptr<QObject> MakeConfigWindowTest();
std::unique_ptr<QObject> MakeFormWindowTest();
std::unique_ptr<QObject> MakeInfoWindowTest();
std::unique_ptr<QObject> MakeMessageBoxTest();
std::unique_ptr<QObject> MakeSessionInstanceTest();
std::unique_ptr<QObject> MakeSettingsTest();
std::unique_ptr<QObject> MakeTrayTest();

}  // namespace pellux::qt_tests
