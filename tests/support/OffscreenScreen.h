#pragma once
// Desktop tests on an offscreen screen of a given size (the plugin's own is 800 x 600), for
// windows that must fit a laptop's screen or be placed on it.
#include "support/TempDir.h"

#include <QApplication>
#include <QtTest>

namespace tarnwick {

// Runs the test object on an offscreen screen of `width` x `height` pixels.
template <typename Test> int RunOnScreen(int argc, char **argv, int width, int height) {
    TempDir dir;
    dir.write("screen.json", R"({"screens": [{"name": "Laptop", "x": 0, "y": 0, "width": )" + std::to_string(width) +
                                 ", \"height\": " + std::to_string(height) +
                                 R"(, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + dir.file("screen.json")).c_str());
    QApplication application(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace tarnwick
