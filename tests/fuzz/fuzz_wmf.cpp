// The metafile reader on arbitrary bytes: a PictureError is fine, nothing
// else. Text needs the fonts of a GUI application.

#include "platform/PictureReader.h"
#include "platform/WmfReader.h"

#include <QGuiApplication>

#include <cstdint>

namespace {
void EnsureApplication() {
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "fuzz_wmf";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnsureApplication();
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        (void)ReadWmf(bytes);
    } catch (const PictureError&) {
    }
    return 0;
}
