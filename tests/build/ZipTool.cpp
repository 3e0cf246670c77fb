#include "ZipTool.h"

#include <QJsonDocument>
#include <QProcess>

#include <stdexcept>

namespace ziptool {

namespace {

QByteArray Run(const QStringList& args) {
    QProcess python;
    python.start("python3",
                 QStringList{QStringLiteral(ZORVANE_SOURCE_DIR "/tests/build/ziptool.py")} + args);
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        throw std::runtime_error("ziptool.py failed: " +
                                 python.readAllStandardError().toStdString());
    return python.readAllStandardOutput();
}

} // namespace

QJsonObject List(const QString& archive, const QString& password) {
    QStringList args{"list", archive};
    if (!password.isNull())
        args << password;
    return QJsonDocument::fromJson(Run(args)).object();
}

void Make(const QString& archive, const QStringList& entries) {
    Run(QStringList{"make", archive} + entries);
}

} // namespace ziptool
