#pragma once

#include "build/SurpriseRecord.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <stdexcept>

// The commands of zorvane-cli. Each lives in its own file and is listed
// once in the table of main.cpp.

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CliCommand {
    const char* Name;
    const char* Summary; // one line for the overview
    const char* Help;    // the command's --help text
    // args: what follows the command's name. Returns the exit code; throws
    // UsageError for wrong arguments and std::exception for failures.
    int (*Run)(const QStringList& args);
};

extern const CliCommand kBuildCommand;
extern const CliCommand kInspectCommand;
extern const CliCommand kExtractCommand;
extern const CliCommand kConvertCommand;
extern const CliCommand kCheckCommand;
extern const CliCommand kThumbnailsCommand;

// Wrong arguments: exit code 2, with the message and a hint at --help.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CliArguments {
    QMap<QString, QString> Options; // "--name" -> value
    QStringList Positional;

    QString Value(const char* option) const { return Options.value(QLatin1String(option)); }
    bool Has(const char* option) const { return Options.contains(QLatin1String(option)); }
};

// Splits "--name value" and "--name=value" options (only those in
// valueOptions) from positional arguments, which must number exactly
// positionalCount. Throws UsageError.
CliArguments ParseArguments(const QStringList& args, const QStringList& valueOptions,
                            int positionalCount);

// Standard output and standard error, in UTF-8; each call ends a line.
void PrintLine(const QString& text);
void PrintError(const QString& text);

// The three stored bytes of a colour in hexadecimal, stored order ("0000ff" is red).
QString TripleHex(const BgrTriple& triple);
