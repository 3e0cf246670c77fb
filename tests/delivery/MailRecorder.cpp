#include "MailRecorder.h"

#include <QFile>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {
const QByteArray kRunEnd("\0\n", 2);
}

MailPath::MailPath() : Path("PATH", Dir.path()) {}

void MailPath::InstallRecorder(int exitCode) {
    // One line per run: the arguments, each ending in NUL.
    Install(QString("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\" >> '%1'; done\n"
                    "printf '\\n' >> '%1'\nexit %2\n")
                .arg(Record())
                .arg(exitCode)
                .toUtf8(),
            true);
}

void MailPath::Install(const QByteArray& script, bool executable) {
    const QString file = WriteFile(Dir.path() + "/xdg-email", script);
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QFile::setPermissions(file, permissions);
}

bool MailPath::Ran() const {
    return QFile::exists(Record());
}

int MailPath::Runs() const {
    return ReadFile(Record()).count(kRunEnd);
}

QStringList MailPath::RecordedArguments() const {
    QByteArray bytes = ReadFile(Record());
    if (!bytes.endsWith(kRunEnd))
        return {};
    bytes.chop(2);
    const qsizetype start = bytes.lastIndexOf(kRunEnd);
    if (start >= 0)
        bytes = bytes.mid(start + 2);
    QStringList arguments;
    for (const QByteArray& part : bytes.split('\0'))
        arguments << QString::fromUtf8(part);
    return arguments;
}
