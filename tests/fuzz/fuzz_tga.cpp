// The TGA reader on arbitrary bytes: a PictureError is fine, nothing else.

#include "platform/PictureReader.h"
#include "platform/TgaReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        (void)ReadTga(bytes);
    } catch (const PictureError&) {
    }
    return 0;
}
