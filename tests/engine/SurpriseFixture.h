#pragma once

#include "build/SurpriseRecord.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

// Real surprises for the engine's tests, made with the building core's own
// archive writer and container appender.

// A picture of one colour with a differently coloured bottom-left pixel
// block (the transparency colour), and a mark in the top-left corner.
QImage MakePicture(int width, int height, QRgb fill, QRgb key);

struct SurpriseSpec {
    QImage Packet = MakePicture(120, 90, qRgb(200, 30, 30), qRgb(255, 0, 255));
    QImage Surprise = MakePicture(160, 100, qRgb(30, 30, 200), qRgb(0, 255, 0));
    // Bytes written as the pictures instead, when set (for damaged pictures).
    QByteArray PacketBytes;
    QByteArray SurpriseBytes;
    bool PacketTransparent = false;
    bool SurpriseTransparent = false;
    QString Password;
    QString Url; // HasGoToUrl is set when not empty
    // Record names of the three slots; their files come from SoundFiles.
    QString PacketSound;
    QString OpenEffectSound;
    QString SurpriseSound;
    QList<QPair<QString, QByteArray>> SoundFiles;
    // Further files put into the archive.
    QList<QPair<QString, QByteArray>> ExtraFiles;
    // Entries left out of the archive.
    QStringList LeaveOut;
    QString ArchivePassword = QStringLiteral("Kq4!)=");
    QByteArray Engine = QByteArray("\x7f"
                                   "ELF not really an engine",
                                   25);
};

// Builds the surprise into folder under name; returns its path.
QString BuildSurprise(const SurpriseSpec& wanted, const QString& folder,
                      const QString& name = QStringLiteral("Surprise.exe"));

// The record as BuildSurprise fills it, before the sizes are known.
SurpriseRecord RecordFor(const SurpriseSpec& wanted);

// BGR of a colour.
BgrTriple Bgr(QRgb colour);

// A short but real WAV file.
QByteArray TinyWav();
