// The surprise engine: every surprise is a copy of this program with its
// data appended. Started without arguments; it reads its own file.

#include "engine/SurpriseEngine.h"

#include <QApplication>
#include <QElapsedTimer>

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    return RunSurpriseEngine(QCoreApplication::applicationFilePath(), sinceStart);
}
