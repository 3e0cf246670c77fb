#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The fixed-size record appended to every built surprise, and the layout of
// the whole file: engine (E bytes), the data archive with every byte + 42
// (A bytes), the 415-byte record, then its length 415 as u16 LE (9F 01).

constexpr int kSurpriseRecordSize = 415;
constexpr int kSurpriseTailSize = kSurpriseRecordSize + 2;
constexpr std::uint8_t kArchiveShift = 42;

using BgrTriple = std::array<std::uint8_t, 3>; // blue, green, red

struct SurpriseRecord {
    std::uint32_t EngineSize = 0;
    std::uint32_t ArchiveSize = 0;
    QString BuildTime;     // 17 characters, yyyymmddhhnnsszzz
    QString PacketPicture; // "b1.bmp"
    bool PacketTransparent = false;
    BgrTriple PacketTransparentColour{};
    QString SurprisePicture; // "b2.bmp"
    bool SurpriseTransparent = false;
    BgrTriple SurpriseTransparentColour{};
    QString OpenPassword;    // at most 50
    QString BuildTag;        // 8 characters of BuildTime
    QString PacketSoundFile; // archive entry names, at most 8 each
    QString OpenEffectSoundFile;
    QString SurpriseSoundFile;
    bool HasGoToUrl = false;
    QString GoToUrl; // at most 255

    // The 415 bytes; strings in Windows-1252 (? for other characters),
    // cut to their capacity.
    QByteArray ToBytes() const;
    // Parses 415 bytes; empty when the size or the signature is wrong, or a
    // string's length byte exceeds its capacity.
    static std::optional<SurpriseRecord> FromBytes(const QByteArray& bytes);
};

// The record's signature, 16 bytes starting 05 A1 AB 9F.
QByteArray SurpriseSignature();

// Windows-1252 text (? for characters outside it), one byte per character.
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);

// The archive entry names of the three sound slots: "s1", "s2" or "s3" and
// the sound's extension (from its last dot, in its own letter case), cut to
// 8 characters; a slot holding the same file name as an earlier slot shares
// that slot's entry. Empty for an empty slot.
struct SoundEntries {
    QString Packet;
    QString OpenEffect;
    QString Surprise;
};
SoundEntries MakeSoundEntries(const QString& packetSound, const QString& openEffectSound,
                              const QString& surpriseSound);
