// The engine's whole reading of a surprise file from bytes: the tail, the
// un-shifted archive with its password, the entry checks and both pictures.

#include "build/SurpriseContainer.h"
#include "engine/SurpriseLoader.h"

#include <QByteArray>

#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const ExtractedSurprise extracted =
            ExtractSurprise(ParseSurpriseContainer(file, kMaxSurpriseArchiveSize));
        // What the window would do with the record.
        (void)GoToAddress(extracted.Record);
        (void)IsOpenPassword(extracted.Record, QStringLiteral("password"));
    } catch (const DamagedSurprise&) {
    } catch (const ContainerError&) {
    }
    return 0;
}
