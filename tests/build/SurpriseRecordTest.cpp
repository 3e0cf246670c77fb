#include "app/gUtils.h"
#include "build/SurpriseContainer.h"
#include "build/SurpriseRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

// A short string laid out by hand: length byte, characters, zeros to capacity.
void PutShort(QByteArray& bytes, int offset, const QByteArray& text) {
    bytes[offset] = char(text.size());
    bytes.replace(offset + 1, text.size(), text);
}

SurpriseRecord FullRecord() {
    SurpriseRecord r;
    r.EngineSize = 0x01020304;
    r.ArchiveSize = 0xA0B0C0D0;
    r.BuildTime = "20240506070809123";
    r.PacketPicture = "b1.bmp";
    r.PacketTransparent = true;
    r.PacketTransparentColour = {0x11, 0x22, 0x33};
    r.SurprisePicture = "b2.bmp";
    r.SurpriseTransparent = false;
    r.SurpriseTransparentColour = {0x00, 0x00, 0xFF};
    r.OpenPassword = "secret";
    r.BuildTag = "20240506";
    r.PacketSoundFile = "s1.mid";
    r.OpenEffectSoundFile = "s2.wav";
    r.SurpriseSoundFile = "s1.mid";
    r.HasGoToUrl = true;
    r.GoToUrl = "http://a.example/";
    return r;
}

} // namespace

TEST(SurpriseRecord, EveryFieldAtItsOffset) {
    QByteArray expected(415, '\0');
    expected.replace(0, 16, Hex("05A1AB9FA8EDC34589F4369315A947EB"));
    expected.replace(16, 4, Hex("04030201"));
    expected.replace(20, 4, Hex("D0C0B0A0"));
    PutShort(expected, 24, "20240506070809123");
    PutShort(expected, 42, "b1.bmp");
    expected[51] = 1;
    expected.replace(52, 3, Hex("112233"));
    PutShort(expected, 55, "b2.bmp");
    expected[64] = 0;
    expected.replace(65, 3, Hex("0000FF"));
    PutShort(expected, 68, "secret");
    PutShort(expected, 119, "20240506");
    PutShort(expected, 128, "s1.mid");
    PutShort(expected, 138, "s2.wav");
    PutShort(expected, 148, "s1.mid");
    expected[158] = 1;
    PutShort(expected, 159, "http://a.example/");

    const QByteArray bytes = FullRecord().ToBytes();
    ASSERT_EQ(bytes.size(), 415);
    for (int i = 0; i < 415; ++i)
        EXPECT_EQ(quint8(bytes[i]), quint8(expected[i])) << "offset " << i;
    EXPECT_EQ(SurpriseSignature(), expected.left(16));
}

TEST(SurpriseRecord, WithoutSoundsPasswordOrUrlOnlyTheFixedFieldsAreSet) {
    SurpriseRecord r;
    r.PacketPicture = "b1.bmp";
    r.SurprisePicture = "b2.bmp";
    const QByteArray bytes = r.ToBytes();
    ASSERT_EQ(bytes.size(), 415);
    EXPECT_EQ(bytes.left(4), Hex("05A1AB9F"));
    for (int offset : {68, 128, 138, 148, 158})
        EXPECT_EQ(bytes[offset], 0) << offset;
    EXPECT_EQ(bytes.mid(159), QByteArray(256, '\0'));
}

TEST(SurpriseRecord, LongTextIsCutToItsCapacity) {
    SurpriseRecord r;
    r.OpenPassword = QString(60, 'p');
    r.GoToUrl = "http://" + QString(293, 'u');
    r.BuildTag = "123456789";
    const QByteArray bytes = r.ToBytes();
    EXPECT_EQ(quint8(bytes[68]), 50);
    EXPECT_EQ(bytes.mid(69, 50), QByteArray(50, 'p'));
    EXPECT_EQ(bytes[119], 0x08) << "the password must not spill into the tag";
    EXPECT_EQ(quint8(bytes[159]), 255);
    EXPECT_EQ(bytes.mid(160, 255), ("http://" + QString(293, 'u')).left(255).toLatin1());
    EXPECT_EQ(bytes.mid(120, 8), "12345678");
}

TEST(SurpriseRecord, TextGoesToWindows1252) {
    struct Case {
        QString Text;
        QByteArray Ansi;
    };
    const std::vector<Case> cases = {
        {"abc", "abc"},
        {QString::fromUtf8("\xC3\xA9t\xC3\xA9"), Hex("E974E9")},  // été
        {QString::fromUtf8("\xE2\x82\xAC"), Hex("80")},           // euro sign
        {QString::fromUtf8("\xC5\xB8\xE2\x84\xA2"), Hex("9F99")}, // Ÿ and trade mark
        {QString::fromUtf8("\xD0\x96"), "?"},                     // Cyrillic Zhe
        {QString::fromUtf8("a\xF0\x9F\x8E\x81z"), "a?z"},         // one character outside the BMP
        {QString(QChar(0x81)), Hex("81")}, // unassigned byte keeps its number
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToAnsi(c.Text), c.Ansi) << c.Text.toStdString();
        if (!c.Ansi.contains('?')) {
            EXPECT_EQ(FromAnsi(c.Ansi), c.Text) << c.Text.toStdString();
        }
    }
}

TEST(SurpriseRecord, FromBytesReadsWhatToBytesWrote) {
    const SurpriseRecord original = FullRecord();
    const auto read = SurpriseRecord::FromBytes(original.ToBytes());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->ToBytes(), original.ToBytes());
    EXPECT_EQ(read->GoToUrl, original.GoToUrl);
    EXPECT_EQ(read->SurpriseTransparentColour, original.SurpriseTransparentColour);
}

TEST(SurpriseRecord, FromBytesRefusesDamagedRecords) {
    const QByteArray good = FullRecord().ToBytes();
    struct Case {
        const char* What;
        QByteArray Bytes;
    };
    const auto with = [&good](int offset, char value) {
        QByteArray b = good;
        b[offset] = value;
        return b;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"one byte short", good.left(414)},
        {"one byte long", good + '\0'},
        {"signature", with(15, char(0xEA))},
        {"build time longer than 17", with(24, 18)},
        {"picture name longer than 8", with(42, 9)},
        {"password longer than 50", with(68, 51)},
        {"sound name longer than 8", with(148, 9)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(SurpriseRecord::FromBytes(c.Bytes)) << c.What;
    EXPECT_TRUE(SurpriseRecord::FromBytes(with(159, char(255))));
}

TEST(SurpriseRecord, SoundEntryNames) {
    struct Case {
        QString Packet, OpenEffect, Surprise;
        QString EntryPacket, EntryOpenEffect, EntrySurprise;
    };
    const std::vector<Case> cases = {
        {"", "", "", "", "", ""},
        {"birthday.mid", "", "birthday.mid", "s1.mid", "", "s1.mid"},
        {"tune.wav", "tune.wav", "tune.wav", "s1.wav", "s1.wav", "s1.wav"},
        {"a.mid", "b.wav", "c.mp3", "s1.mid", "s2.wav", "s3.mp3"},
        {"", "a.wav", "a.wav", "", "s2.wav", "s2.wav"},
        {"a.mid", "b.au", "b.au", "s1.mid", "s2.au", "s2.au"},
        {"", "", "x.AU", "", "", "s3.AU"},
        // The comparison is exact: another letter case is another file.
        {"a.mid", "A.MID", "", "s1.mid", "s2.MID", ""},
        {"song.longextension", "", "", "s1.longe", "", ""},
        {"noextension", "", "", "s1", "", ""},
        {"my.song.au", "", "", "s1.au", "", ""},
        {QString::fromUtf8("a.\xD0\xBC\xD0\xB8"), "", "", "s1.??", "", ""},
    };
    for (const Case& c : cases) {
        const SoundEntries e = MakeSoundEntries(c.Packet, c.OpenEffect, c.Surprise);
        EXPECT_EQ(e.Packet, c.EntryPacket) << c.Packet.toStdString();
        EXPECT_EQ(e.OpenEffect, c.EntryOpenEffect) << c.OpenEffect.toStdString();
        EXPECT_EQ(e.Surprise, c.EntrySurprise) << c.Surprise.toStdString();
    }
}

TEST(SurpriseRecord, TrimBlanksRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(TrimBlanks("  HTTP://a  "), "HTTP://a");
    EXPECT_EQ(TrimBlanks("\t\r\n x y \x01"), "x y");
    EXPECT_EQ(TrimBlanks(" \t "), "");
    EXPECT_EQ(TrimBlanks(QString::fromUtf8("\xC2\xA0x")), QString::fromUtf8("\xC2\xA0x"));
}

TEST(BuildRandom, FirstDrawsOfARunAreAlwaysTheSame) {
    ResetBuildRandom();
    // state := state * 134775813 + 1, result := (state * 11) >> 32, from state 0.
    const std::vector<int> expected = {0, 0, 9, 2, 3, 7, 3, 1, 4, 4, 0, 5};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(NextBuildRandom(11), expected[i]) << "draw " << i;
    ResetBuildRandom();
    EXPECT_EQ(NextBuildRandom(100), 0);
    EXPECT_EQ(NextBuildRandom(100), 3);
    EXPECT_EQ(NextBuildRandom(100), 86);
    ResetBuildRandom();
}
