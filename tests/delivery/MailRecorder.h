#pragma once

#include "support/TestSupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A folder that stands for PATH while the object lives, optionally holding
// an xdg-email that records its arguments (NUL-separated, so that the line
// breaks of a body survive).
class MailPath {
public:
    MailPath();

    // An xdg-email that records and ends with exitCode.
    void InstallRecorder(int exitCode = 0);
    // Any xdg-email.
    void Install(const QByteArray& script, bool executable);

    bool Ran() const;
    // The arguments of the last run.
    QStringList RecordedArguments() const;
    int Runs() const;

private:
    QString Record() const { return Dir.path() + "/record"; }

    QTemporaryDir Dir;
    testsupport::ScopedEnv Path;
};
