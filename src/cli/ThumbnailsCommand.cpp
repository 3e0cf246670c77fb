#include "cli/CliCommand.h"

#include "app/gUtils.h"
#include "library/Thumbnails.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <stdexcept>

namespace {

const char kHelp[] =
    "Usage: zorvane-cli thumbnails DIR [--out DIR]\n"
    "\n"
    "Makes the 90 x 90 thumbnails of the pictures in the series folder DIR with\n"
    "the builder's own loader, and prints the number of pictures and the seconds\n"
    "the loading took. With --out, writes each thumbnail as a PNG file named after\n"
    "its picture (photo.jpg gives photo.jpg.png), transparent where the builder\n"
    "shows the list's background.\n"
    "\n"
    "Exit codes: 0 done; 1 DIR is not a folder or a thumbnail cannot be written;\n"
    "2 wrong arguments.";

int Run(const QStringList& arguments) {
    const CliArguments args = ParseArguments(arguments, {QStringLiteral("--out")}, 1);
    const QFileInfo series(args.Positional[0]);
    if (!series.isDir())
        throw std::runtime_error(
            QStringLiteral("%1: not a folder").arg(args.Positional[0]).toStdString());

    QElapsedTimer clock;
    clock.start();
    const QList<Thumbnail> thumbnails =
        LoadSeriesThumbnails(IncludeBackslash(series.absoluteFilePath()));
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

    if (args.Has("--out")) {
        const QString out = IncludeBackslash(QFileInfo(args.Value("--out")).absoluteFilePath());
        if (!QDir().mkpath(out))
            throw std::runtime_error(
                QStringLiteral("%1: cannot create the folder").arg(out).toStdString());
        for (const Thumbnail& thumbnail : thumbnails) {
            const QString target =
                out + QFileInfo(thumbnail.Path).fileName() + QStringLiteral(".png");
            if (!thumbnail.Image.save(target, "PNG"))
                throw std::runtime_error(
                    QStringLiteral("%1: cannot be written").arg(target).toStdString());
        }
    }
    PrintLine(
        QStringLiteral("%1 pictures in %2 seconds").arg(thumbnails.size()).arg(seconds, 0, 'f', 3));
    return kExitOk;
}

} // namespace

const CliCommand kThumbnailsCommand = {
    "thumbnails", "make the picture lists' thumbnails of one series folder", kHelp, Run};
