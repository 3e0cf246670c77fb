// The picture entry on arbitrary bytes: the first byte chooses the file
// extension (the ten with a reader, in both cases, or one without), the rest
// is the file. A PictureError is fine, nothing else.

#include "FuzzApplication.h"
#include "platform/PictureReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    EnsureFuzzApplication();
    static const QStringList Extensions = PictureExtensions() << QStringLiteral("webp");
    const int choice = (data[0] & 0x7F) % (2 * Extensions.size());
    QString ext = Extensions[choice % Extensions.size()];
    if (choice >= Extensions.size())
        ext = ext.toUpper();
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        // A small decode size as well, as the thumbnails ask for.
        (void)LoadPictureData(bytes, ext, data[0] & 0x80 ? QSize(32, 24) : QSize());
    } catch (const PictureError&) {
    }
    return 0;
}
