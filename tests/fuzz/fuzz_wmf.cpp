// The metafile reader on arbitrary bytes: a PictureError is fine, nothing
// else. Text needs the fonts of a GUI application.

#include "FuzzApplication.h"
#include "platform/PictureReader.h"
#include "platform/WmfReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnsureFuzzApplication();
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        (void)ReadWmf(bytes);
    } catch (const PictureError&) {
    }
    return 0;
}
