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

SurpriseRecord RecordFor(const SurpriseSpec& wanted) {
    SurpriseRecord record;
    record.PacketPicture = QStringLiteral("b1.bmp");
    record.SurprisePicture = QStringLiteral("b2.bmp");
    record.PacketTransparent = wanted.PacketTransparent;
    record.SurpriseTransparent = wanted.SurpriseTransparent;
    const auto bottomLeft = [](const QImage& image) {
        return image.isNull() ? BgrTriple{} : Bgr(image.pixel(0, image.height() - 1));
    };
    record.PacketTransparentColour = bottomLeft(wanted.Packet);
    record.SurpriseTransparentColour = bottomLeft(wanted.Surprise);
    record.OpenPassword = wanted.Password;
    record.PacketSoundFile = wanted.PacketSound;
    record.OpenEffectSoundFile = wanted.OpenEffectSound;
    record.SurpriseSoundFile = wanted.SurpriseSound;
    record.HasGoToUrl = !wanted.Url.isEmpty();
    record.GoToUrl = wanted.Url;
    return record;
}

QString BuildSurprise(const SurpriseSpec& wanted, const QString& folder, const QString& name) {
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
    files << picture(QStringLiteral("b1.bmp"), wanted.Packet, wanted.PacketBytes)
          << picture(QStringLiteral("b2.bmp"), wanted.Surprise, wanted.SurpriseBytes);
    for (const auto& [entry, bytes] : wanted.SoundFiles + wanted.ExtraFiles)
        files << testsupport::WriteFile(work + QLatin1Char('/') + entry, bytes);
    for (const QString& left : wanted.LeaveOut)
        files.removeAll(work + QLatin1Char('/') + left);
    const QString archive = work + QStringLiteral("/data.zip");
    QFile::remove(archive);
    if (!MakeArchive(files, archive, wanted.ArchivePassword))
        qFatal("cannot write the test archive");
    const QString container = folder + QLatin1Char('/') + name;
    testsupport::WriteFile(container, wanted.Engine);
    SurpriseRecord record = RecordFor(wanted);
    AppendSurpriseData(container, archive, record);
    QDir(work).removeRecursively();
    return container;
}
