#pragma once

#include <QGuiApplication>

// Readers that draw text need the fonts of a GUI application, and libFuzzer's
// own main makes none: the first input makes one, quiet and headless.
inline void EnsureFuzzApplication() {
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}
