#include "build/SurpriseRecord.h"

#include <QList>

#include <cstring>

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 marks the five unassigned bytes, which
// map to the C1 control of the same number as Windows itself does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char AnsiByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        const char32_t mapped = kCp1252High[i] ? kCp1252High[i] : char32_t(0x80 + i);
        if (mapped == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

struct Field {
    int Offset;
    int Capacity;
};

// Short strings: the length byte at Offset, then Capacity bytes.
constexpr Field kBuildTime{24, 17};
constexpr Field kPacketPicture{42, 8};
constexpr Field kSurprisePicture{55, 8};
constexpr Field kOpenPassword{68, 50};
constexpr Field kBuildTag{119, 8};
constexpr Field kPacketSoundFile{128, 8};
constexpr Field kOpenEffectSoundFile{138, 8};
constexpr Field kSurpriseSoundFile{148, 8};
constexpr Field kGoToUrl{159, 255};

constexpr int kEngineSize = 16;
constexpr int kArchiveSize = 20;
constexpr int kPacketTransparent = 51;
constexpr int kPacketColour = 52;
constexpr int kSurpriseTransparent = 64;
constexpr int kSurpriseColour = 65;
constexpr int kHasGoToUrl = 158;

void PutU32(QByteArray& bytes, int offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(const QByteArray& bytes, int offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

void PutString(QByteArray& bytes, Field field, const QString& text) {
    const QByteArray ansi = ToAnsi(text).left(field.Capacity);
    bytes[field.Offset] = static_cast<char>(ansi.size());
    std::memcpy(bytes.data() + field.Offset + 1, ansi.constData(), size_t(ansi.size()));
}

bool GetString(const QByteArray& bytes, Field field, QString& text) {
    const int length = static_cast<std::uint8_t>(bytes[field.Offset]);
    if (length > field.Capacity)
        return false;
    text = FromAnsi(bytes.mid(field.Offset + 1, length));
    return true;
}

void PutColour(QByteArray& bytes, int offset, const BgrTriple& colour) {
    for (int i = 0; i < 3; ++i)
        bytes[offset + i] = static_cast<char>(colour[size_t(i)]);
}

BgrTriple GetColour(const QByteArray& bytes, int offset) {
    BgrTriple colour{};
    for (int i = 0; i < 3; ++i)
        colour[size_t(i)] = static_cast<std::uint8_t>(bytes[offset + i]);
    return colour;
}

// From the last dot of the bare file name, dot included.
QString SoundEntryExtension(const QString& soundFile) {
    const QString name = soundFile.mid(soundFile.lastIndexOf(QLatin1Char('/')) + 1);
    const auto dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

} // namespace

QByteArray SurpriseSignature() {
    static const unsigned char signature[16] = {0x05, 0xA1, 0xAB, 0x9F, 0xA8, 0xED, 0xC3, 0x45,
                                                0x89, 0xF4, 0x36, 0x93, 0x15, 0xA9, 0x47, 0xEB};
    return QByteArray(reinterpret_cast<const char*>(signature), 16);
}

QByteArray ToAnsi(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    // By code point, so a character outside the BMP becomes one '?', not two.
    for (const char32_t c : text.toUcs4())
        bytes.append(AnsiByte(c));
    return bytes;
}

QString FromAnsi(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<std::uint8_t>(b);
        if (u >= 0x80 && u < 0xA0 && kCp1252High[u - 0x80])
            text.append(QChar(kCp1252High[u - 0x80]));
        else
            text.append(QChar(char16_t(u)));
    }
    return text;
}

QByteArray SurpriseRecord::ToBytes() const {
    QByteArray bytes(kSurpriseRecordSize, '\0');
    std::memcpy(bytes.data(), SurpriseSignature().constData(), 16);
    PutU32(bytes, kEngineSize, EngineSize);
    PutU32(bytes, kArchiveSize, ArchiveSize);
    PutString(bytes, kBuildTime, BuildTime);
    PutString(bytes, kPacketPicture, PacketPicture);
    bytes[kPacketTransparent] = PacketTransparent ? 1 : 0;
    PutColour(bytes, kPacketColour, PacketTransparentColour);
    PutString(bytes, kSurprisePicture, SurprisePicture);
    bytes[kSurpriseTransparent] = SurpriseTransparent ? 1 : 0;
    PutColour(bytes, kSurpriseColour, SurpriseTransparentColour);
    PutString(bytes, kOpenPassword, OpenPassword);
    PutString(bytes, kBuildTag, BuildTag);
    PutString(bytes, kPacketSoundFile, PacketSoundFile);
    PutString(bytes, kOpenEffectSoundFile, OpenEffectSoundFile);
    PutString(bytes, kSurpriseSoundFile, SurpriseSoundFile);
    bytes[kHasGoToUrl] = HasGoToUrl ? 1 : 0;
    PutString(bytes, kGoToUrl, GoToUrl);
    return bytes;
}

std::optional<SurpriseRecord> SurpriseRecord::FromBytes(const QByteArray& bytes) {
    if (bytes.size() != kSurpriseRecordSize || !bytes.startsWith(SurpriseSignature()))
        return std::nullopt;
    SurpriseRecord record;
    record.EngineSize = GetU32(bytes, kEngineSize);
    record.ArchiveSize = GetU32(bytes, kArchiveSize);
    record.PacketTransparent = bytes[kPacketTransparent] != 0;
    record.PacketTransparentColour = GetColour(bytes, kPacketColour);
    record.SurpriseTransparent = bytes[kSurpriseTransparent] != 0;
    record.SurpriseTransparentColour = GetColour(bytes, kSurpriseColour);
    record.HasGoToUrl = bytes[kHasGoToUrl] != 0;
    const bool ok = GetString(bytes, kBuildTime, record.BuildTime) &&
                    GetString(bytes, kPacketPicture, record.PacketPicture) &&
                    GetString(bytes, kSurprisePicture, record.SurprisePicture) &&
                    GetString(bytes, kOpenPassword, record.OpenPassword) &&
                    GetString(bytes, kBuildTag, record.BuildTag) &&
                    GetString(bytes, kPacketSoundFile, record.PacketSoundFile) &&
                    GetString(bytes, kOpenEffectSoundFile, record.OpenEffectSoundFile) &&
                    GetString(bytes, kSurpriseSoundFile, record.SurpriseSoundFile) &&
                    GetString(bytes, kGoToUrl, record.GoToUrl);
    if (!ok)
        return std::nullopt;
    return record;
}

SoundEntries MakeSoundEntries(const QString& packetSound, const QString& openEffectSound,
                              const QString& surpriseSound) {
    // The entry names go through the record's code page, so the file written
    // into the archive carries exactly the name the record gives the engine.
    const auto entry = [](const char* prefix, const QString& sound) {
        return FromAnsi(ToAnsi(QLatin1String(prefix) + SoundEntryExtension(sound)).left(8));
    };
    SoundEntries entries;
    if (!packetSound.isEmpty())
        entries.Packet = entry("s1", packetSound);
    if (!openEffectSound.isEmpty())
        entries.OpenEffect =
            openEffectSound == packetSound ? entries.Packet : entry("s2", openEffectSound);
    if (!surpriseSound.isEmpty()) {
        if (surpriseSound == packetSound)
            entries.Surprise = entries.Packet;
        else if (surpriseSound == openEffectSound)
            entries.Surprise = entries.OpenEffect;
        else
            entries.Surprise = entry("s3", surpriseSound);
    }
    return entries;
}
