#include "engine/SurpriseEngine.h"

#include "engine/SurpriseLoader.h"
#include "engine/fmSurprise.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop does the rest.
    [[maybe_unused]] const auto written = ::write(gSignalPipe[0], &byte, 1);
}

// A terminated surprise still removes its private folder: termination
// signals end the event loop instead of the process.
std::unique_ptr<QSocketNotifier> QuitOnTerminationSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(gSignalPipe[1], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, qApp, [] {
        char byte;
        [[maybe_unused]] const auto read = ::read(gSignalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    return notifier;
}

void ReportDamaged(const char* why) {
    if (qEnvironmentVariable("ZORVANE_ENGINE_MESSAGES") == QLatin1String("stderr")) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(DamagedSurpriseMessage()), why);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Surprise"), DamagedSurpriseMessage(),
                    QMessageBox::Ok);
    box.exec();
}

} // namespace

QString DamagedSurpriseMessage() {
    return QStringLiteral("This surprise is damaged and cannot be opened.");
}

int RunSurpriseEngine(const QString& ownFile, const QElapsedTimer& sinceStart) {
    std::optional<ExtractedSurprise> extracted;
    try {
        extracted = LoadSurpriseFile(ownFile);
    } catch (const std::exception& e) {
        // Out of memory on a picture is no less a surprise that cannot open.
        ReportDamaged(e.what());
        return 1;
    }

    // Without a private folder the surprise still shows, only silently.
    std::unique_ptr<PrivateSoundFolder> folder;
    try {
        folder = std::make_unique<PrivateSoundFolder>();
    } catch (const std::runtime_error&) {
        extracted->Sounds.clear();
    }
    const auto signalNotifier = QuitOnTerminationSignals();
    LoadedSurprise loaded;
    if (folder) {
        loaded = PlaceSurprise(*extracted, *folder);
    } else {
        loaded.Record = extracted->Record;
        loaded.PacketImage = extracted->PacketImage;
        loaded.SurpriseImage = extracted->SurpriseImage;
    }
    extracted.reset();

    TfrmSurprise window(std::move(loaded));
    const QString timing = qEnvironmentVariable("ZORVANE_ENGINE_TIMING");
    if (!timing.isEmpty()) {
        QObject::connect(&window, &TfrmSurprise::PacketShown, &window, [&sinceStart, timing] {
            std::fprintf(stderr, "Surprise: packet shown after %lld ms\n",
                         static_cast<long long>(sinceStart.elapsed()));
            if (timing == QLatin1String("quit"))
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        });
    }
    window.Present();
    QApplication::exec();
    return 0;
}
