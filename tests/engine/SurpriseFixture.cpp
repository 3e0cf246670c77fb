#include "engine/SurpriseFixture.h"

#include "build/DataArchive.h"
#include "build/SurpriseContainer.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QtEndian>

QImage MakePicture(int width, int height, QRgb fill, QRgb key) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    QPainter painter(&image);
    painter.fillRect(0, height - 10, 20, 10, QColor(key));
    painter.fillRect(0, 0, 10, 10, Qt::white);
    return image;
}

BgrTriple Bgr(QRgb colour) {
    return {std::uint8_t(qBlue(colour)), std::uint8_t(qGreen(colour)), std::uint8_t(qRed(colour))};
}

QByteArray TinyWav() {
    QByteArray pcm(1600, '\0');
    for (int i = 0; i < pcm.size(); i += 2)
        qToLittleEndian(qint16((i / 2) % 16 < 8 ? 8000 : -8000), pcm.data() + i);
    QByteArray wav = "RIFF" + QByteArray(4, '\0') + "WAVEfmt " +
                     QByteArray::fromHex("10000000"
                                         "0100"
                                         "0100"
                                         "401f0000"
                                         "803e0000"
                                         "0200"
                                         "1000") +
                     "data" + QByteArray(4, '\0') + pcm;
    qToLittleEndian(quint32(wav.size() - 8), wav.data() + 4);
    qToLittleEndian(quint32(pcm.size()), wav.data() + 40);
    return wav;
}

SurpriseRecord RecordFor(const SurpriseSpec& spec) {
    SurpriseRecord record;
    record.PacketPicture = QStringLiteral("b1.bmp");
    record.SurprisePicture = QStringLiteral("b2.bmp");
    record.PacketTransparent = spec.PacketTransparent;
    record.SurpriseTransparent = spec.SurpriseTransparent;
    const auto bottomLeft = [](const QImage& image) {
        return image.isNull() ? BgrTriple{} : Bgr(image.pixel(0, image.height() - 1));
    };
    record.PacketTransparentColour = bottomLeft(spec.Packet);
    record.SurpriseTransparentColour = bottomLeft(spec.Surprise);
    record.OpenPassword = spec.Password;
    record.PacketSoundFile = spec.PacketSound;
    record.OpenEffectSoundFile = spec.OpenEffectSound;
    record.SurpriseSoundFile = spec.SurpriseSound;
    record.HasGoToUrl = !spec.Url.isEmpty();
    record.GoToUrl = spec.Url;
    return record;
}

QString BuildSurprise(const SurpriseSpec& spec, const QString& folder, const QString& name) {
    const QString work = folder + QStringLiteral("/parts-") + name;
    QDir().mkpath(work);
    const auto picture = [&](const QString& entry, const QImage& image, const QByteArray& bytes) {
        const QString path = work + QLatin1Char('/') + entry;
        if (!bytes.isNull()) {
            testsupport::WriteFile(path, bytes);
        } else {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "BMP");
            testsupport::WriteFile(path, buffer.data());
        }
        return path;
    };
    QStringList files;
    files << picture(QStringLiteral("b1.bmp"), spec.Packet, spec.PacketBytes)
          << picture(QStringLiteral("b2.bmp"), spec.Surprise, spec.SurpriseBytes);
    for (const auto& [entry, bytes] : spec.SoundFiles + spec.ExtraFiles)
        files << testsupport::WriteFile(work + QLatin1Char('/') + entry, bytes);
    for (const QString& left : spec.LeaveOut)
        files.removeAll(work + QLatin1Char('/') + left);
    const QString archive = work + QStringLiteral("/data.zip");
    QFile::remove(archive);
    if (!MakeArchive(files, archive, spec.ArchivePassword))
        qFatal("cannot write the test archive");
    const QString container = folder + QLatin1Char('/') + name;
    testsupport::WriteFile(container, spec.Engine);
    SurpriseRecord record = RecordFor(spec);
    AppendSurpriseData(container, archive, record);
    QDir(work).removeRecursively();
    return container;
}
