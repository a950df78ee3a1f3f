#pragma once
// Desktop tests on an offscreen screen of a given size (the plugin's own is 800 x 600), for
// windows that must fit a laptop's screen or be placed on it.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace tarnwick {

// Runs the test object on an offscreen screen of `width` x `height` pixels.
template <typename Test> int RunOnScreen(int argc, char **argv, int width, int height) {
    QTemporaryDir dir;
    const QString config = dir.filePath("screen.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(QString(R"({"screens": [{"name": "Laptop", "x": 0, "y": 0, "width": %1, "height": %2,
                           "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(width)
                   .arg(height)
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication application(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace tarnwick
