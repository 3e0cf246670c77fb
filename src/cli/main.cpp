#include "cli/CliCommand.h"

#include <QGuiApplication>

#include <array>
#include <cstdio>
#include <exception>

namespace {

// One line per command.
const std::array kCommands = {
    &kBuildCommand, &kInspectCommand, &kExtractCommand, &kConvertCommand, &kCheckCommand,
    &kThumbnailsCommand,
};

void PrintOverview(void (*print)(const QString&)) {
    print(QStringLiteral("Usage: zorvane-cli COMMAND [ARGUMENTS]\n\nCommands:"));
    for (const CliCommand* command : kCommands)
        print(QStringLiteral("  %1  %2")
                  .arg(QString::fromLatin1(command->Name).leftJustified(8),
                       QLatin1String(command->Summary)));
    print(QStringLiteral("\n\"zorvane-cli COMMAND --help\" describes a command."));
}

// Qt's own warnings (a missing runtime folder, a reader's complaint) would
// break the one-line messages scripts rely on.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        PrintError(message);
}

int Dispatch(const QStringList& args) {
    if (args.isEmpty()) {
        PrintOverview(PrintError);
        return kExitUsage;
    }
    const QString& name = args.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        PrintOverview(PrintLine);
        return kExitOk;
    }
    for (const CliCommand* command : kCommands) {
        if (name != QLatin1String(command->Name))
            continue;
        const QStringList rest = args.mid(1);
        if (rest.contains(QLatin1String("--help")) || rest.contains(QLatin1String("-h"))) {
            PrintLine(QString::fromUtf8(command->Help));
            return kExitOk;
        }
        try {
            return command->Run(rest);
        } catch (const UsageError& error) {
            PrintError(QStringLiteral("zorvane-cli %1: %2 (see \"zorvane-cli %1 --help\")")
                           .arg(name, QString::fromUtf8(error.what())));
            return kExitUsage;
        } catch (const std::exception& error) {
            PrintError(QString::fromUtf8(error.what()).simplified());
            return kExitFailed;
        }
    }
    PrintError(QStringLiteral("zorvane-cli: unknown command \"%1\" (see \"zorvane-cli --help\")")
                   .arg(name));
    return kExitUsage;
}

} // namespace

int main(int argc, char* argv[]) {
    // Pictures are drawn with QPainter, which needs a GUI application but no screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QGuiApplication app(argc, argv);
    const int code = Dispatch(app.arguments().mid(1));
    std::fflush(stdout);
    return code;
}
