#include "cli/CliCommand.h"

#include "build/gUtils.h"

namespace {

const char kHelp[] = "Usage: zorvane-cli check PICTURE\n"
                     "\n"
                     "Runs the build's picture checks and prints\n"
                     "  content yes|no\n"
                     "  size WxH large-enough yes|no\n"
                     "\n"
                     "Exit codes: 0 checked (whatever the answers); 1 the picture cannot be read;\n"
                     "2 wrong arguments.";

QString YesNo(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

int Run(const QStringList& arguments) {
    const CliArguments args = ParseArguments(arguments, {}, 1);
    const QString& picture = args.Positional[0];
    const bool content = HasPictureContent(picture);
    const QSize size = PictureSize(picture);
    PrintLine(QStringLiteral("content ") + YesNo(content));
    PrintLine(QStringLiteral("size %1x%2 large-enough %3")
                  .arg(size.width())
                  .arg(size.height())
                  .arg(YesNo(IsPictureLargeEnough(picture))));
    return kExitOk;
}

} // namespace

const CliCommand kCheckCommand = {"check", "run the build's picture checks on one picture", kHelp,
                                  Run};
