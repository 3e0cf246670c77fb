// The whole build for two 3000 x 2250 pictures and three sounds: its time
// and peak memory, beside "zip -9 -P" on the same files. Each measured run is
// a child process of its own, so that its peak memory is its own.
//
//   zorvane_bench_build [SOUND_MB...]   one round per sound size (default 1 40)
//   zorvane_bench_build build DIR       one build (used by the rounds)

#include "build/BuildProcedure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <vector>

extern char** environ;

namespace {

struct Measure {
    double Seconds = 0;
    long PeakKb = 0;
    int Exit = -1;
};

Measure RunChild(const QStringList& args) {
    std::vector<QByteArray> bytes;
    for (const QString& a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    Measure m;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return m;
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    m.Seconds = double(clock.nsecsElapsed()) / 1e9;
    m.PeakKb = usage.ru_maxrss;
    m.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

// A photograph-like picture: smooth colour with grain, which deflate cannot squeeze much.
void MakePicture(const QString& path, std::uint32_t seed) {
    QImage image(3000, 2250, QImage::Format_RGB32);
    std::uint32_t state = seed;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int grain = int(state >> 28) - 8;
            row[x] =
                qRgb(qBound(0, x * 255 / 3000 + grain, 255), qBound(0, y * 255 / 2250 + grain, 255),
                     qBound(0, (x + y) * 255 / 5250 + grain, 255));
        }
    }
    image.save(path, "PNG");
}

void MakeSound(const QString& path, qint64 size, std::uint32_t seed) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    std::vector<char> block(1 << 16);
    std::uint32_t state = seed;
    for (qint64 left = size; left > 0; left -= qint64(block.size())) {
        for (char& c : block) {
            state = state * 1664525u + 1013904223u;
            c = char(state >> 24);
        }
        file.write(block.data(), qMin<qint64>(left, qint64(block.size())));
    }
}

BuildInputs Inputs(const QString& dir) {
    BuildInputs in;
    in.PacketPicture = dir + QStringLiteral("/packet.png");
    in.SurprisePicture = dir + QStringLiteral("/surprise.png");
    in.EnginesFolder = dir + QStringLiteral("/Engines/");
    in.SoundsFolder = dir + QStringLiteral("/Sounds/");
    in.PacketSound = QStringLiteral("packet.mid");
    in.OpenEffectSound = QStringLiteral("open.wav");
    in.SurpriseSound = QStringLiteral("surprise.mp3");
    in.Password = QStringLiteral("bench");
    in.GoToUrl = QStringLiteral("http://zorvane.example.org/");
    in.OutputFileName = QStringLiteral("Surprise.exe");
    in.TempRoot = dir + QStringLiteral("/temp/");
    return in;
}

int BuildOnce(const QString& dir) {
    const BuildInputs in = Inputs(dir);
    QElapsedTimer clock;
    clock.start();
    if (RunBuildChecks(in) != BuildCheck::Passed)
        return 1;
    // The build lets events run after the sounds, each picture and the archive.
    std::vector<double> marks = {double(clock.nsecsElapsed()) / 1e9};
    const BuildOutcome outcome =
        RunBuild(in, [&] { marks.push_back(double(clock.nsecsElapsed()) / 1e9); });
    marks.push_back(double(clock.nsecsElapsed()) / 1e9);
    if (!outcome.Built || marks.size() != 6)
        return 1;
    std::printf("  phases: checks %.2f s, sounds %.2f s, pictures %.2f s, archive %.2f s, "
                "container %.2f s\n",
                marks[0], marks[1] - marks[0], marks[3] - marks[1], marks[4] - marks[3],
                marks[5] - marks[4]);
    // Hand the build's files to the zip round.
    QFile::remove(dir + QStringLiteral("/last-build"));
    QFile::link(outcome.BuildFolder, dir + QStringLiteral("/last-build"));
    return 0;
}

void Round(const QString& program, qint64 soundMb) {
    QTemporaryDir dir;
    const QString d = dir.path();
    MakePicture(d + QStringLiteral("/packet.png"), 1);
    MakePicture(d + QStringLiteral("/surprise.png"), 2);
    QDir().mkpath(d + QStringLiteral("/Engines"));
    QDir().mkpath(d + QStringLiteral("/Sounds"));
    MakeSound(d + QStringLiteral("/Engines/Surprise.exe"), 200 * 1024, 3);
    const qint64 soundSize = soundMb << 20;
    MakeSound(d + QStringLiteral("/Sounds/packet.mid"), soundSize, 4);
    MakeSound(d + QStringLiteral("/Sounds/open.wav"), soundSize, 5);
    MakeSound(d + QStringLiteral("/Sounds/surprise.mp3"), soundSize, 6);

    const Measure build = RunChild({program, QStringLiteral("build"), d});
    const QString b = d + QStringLiteral("/last-build/");
    const Measure zip = RunChild({QStringLiteral("zip"), QStringLiteral("-q"), QStringLiteral("-9"),
                                  QStringLiteral("-P"), QStringLiteral("Kq4!)="),
                                  d + QStringLiteral("/zip.zip"), b + QStringLiteral("b1.bmp"),
                                  b + QStringLiteral("b2.bmp"), b + QStringLiteral("s1.mid"),
                                  b + QStringLiteral("s2.wav"), b + QStringLiteral("s3.mp3")});
    const qint64 inputs = QFileInfo(b + QStringLiteral("b1.bmp")).size() +
                          QFileInfo(b + QStringLiteral("b2.bmp")).size() + 3 * soundSize;
    std::printf("three sounds of %lld MB (archive input %.1f MB)\n", soundMb,
                double(inputs) / (1 << 20));
    std::printf("  whole build   %6.2f s  peak %7.1f MB  exit %d  data.zip %.1f MB\n",
                build.Seconds, double(build.PeakKb) / 1024, build.Exit,
                double(QFileInfo(b + QStringLiteral("data.zip")).size()) / (1 << 20));
    std::printf("  zip -9 -P     %6.2f s  peak %7.1f MB  exit %d  zip.zip  %.1f MB\n", zip.Seconds,
                double(zip.PeakKb) / 1024, zip.Exit,
                double(QFileInfo(d + QStringLiteral("/zip.zip")).size()) / (1 << 20));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("build"))
        return BuildOnce(args[2]);
    QList<qint64> sizes;
    for (const QString& a : args.mid(1))
        sizes << a.toLongLong();
    if (sizes.isEmpty())
        sizes = {1, 40};
    for (const qint64 mb : sizes)
        Round(QCoreApplication::applicationFilePath(), mb);
    return 0;
}
