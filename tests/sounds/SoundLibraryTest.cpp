#include "sounds/SoundLibrary.h"
#include "sounds/SoundSlots.h"

#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

QStringList Names(const QVector<SoundEntry>& entries) {
    QStringList names;
    for (const SoundEntry& e : entries)
        names << e.FileName;
    return names;
}

class SoundFolder : public ::testing::Test {
protected:
    QString Folder() const { return Dir.path() + QStringLiteral("/Sounds/"); }
    QString Add(const QString& name, const QByteArray& bytes = "RIFF") {
        return WriteFile(Folder() + name, bytes);
    }
    QTemporaryDir Dir;
};

} // namespace

TEST(SoundNames, ExtensionCaptionAndDropRule) {
    struct Case {
        const char* name;
        const char* ext;
        const char* caption;
        bool accepted;
    };
    const Case cases[] = {
        {"bell.mid", ".mid", "bell", true},
        {"chime.WAV", ".WAV", "chime", true},
        {"song.Mp3", ".Mp3", "song", true},
        {"a.b.au", ".au", "a.b", true},
        {"/some.dir/tune", "", "tune", false},
        {"chime.midi", ".midi", "chime", false},
        {"song.ogg", ".ogg", "song", false},
        {".mp3", ".mp3", "", true},
        {"x.", ".", "x", false},
        {"x.mi", ".mi", "x", false},
        {"/folder.wav/y", "", "y", false},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(ExtractFileExt(name), QString::fromUtf8(c.ext)) << c.name;
        EXPECT_EQ(SoundCaption(name), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_EQ(HasSoundExtension(name), c.accepted) << c.name;
    }
}

TEST_F(SoundFolder, MissingAndEmptyFoldersHaveNoSounds) {
    EXPECT_TRUE(ScanSounds(Folder()).isEmpty());
    QDir().mkpath(Folder());
    EXPECT_TRUE(ScanSounds(Folder()).isEmpty());
}

TEST_F(SoundFolder, ScansTheFourTypesInOrderWithoutRegardToCase) {
    Add(QStringLiteral("z.au"));
    Add(QStringLiteral("y.MP3"));
    Add(QStringLiteral("x.Wav"));
    Add(QStringLiteral("w.mid"));
    Add(QStringLiteral("chime.midi"));
    Add(QStringLiteral("readme"));
    Add(QStringLiteral(".hidden.wav"));
    Add(QStringLiteral("deeper/inner.mid"));
    QDir().mkpath(Folder() + QStringLiteral("folder.wav"));
    QDir().mkpath(Folder() + QStringLiteral("locked.mid"));
    QFile::setPermissions(Folder() + QStringLiteral("locked.mid"),
                          QFile::ReadOwner | QFile::ExeOwner);

    const QVector<SoundEntry> entries = ScanSounds(Folder());
    QFile::setPermissions(Folder() + QStringLiteral("locked.mid"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(Names(entries), (QStringList{QStringLiteral("w.mid"), QStringLiteral("x.Wav"),
                                           QStringLiteral(".hidden.wav"), QStringLiteral("y.MP3"),
                                           QStringLiteral("z.au")}));
    const int images[] = {kImageMidi, kImageWave, kImageWave, kImageMp3, kImageAu};
    for (int i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].ImageIndex, images[i]) << i;
    EXPECT_EQ(entries[1].Caption, QStringLiteral("x"));
    EXPECT_EQ(entries[2].Caption, QStringLiteral(".hidden"));
}

TEST_F(SoundFolder, SortsByCaptionInDictionaryOrderKeepingEqualCaptionsInScanOrder) {
    for (const char* name :
         {"Banana.au", "bell.wav", "apple.mp3", "Bell.mid", "bell.mid", "zeta.mid"})
        Add(QString::fromUtf8(name));
    QVector<SoundEntry> entries = ScanSounds(Folder());
    SortSounds(entries);
    EXPECT_EQ(Names(entries),
              (QStringList{QStringLiteral("apple.mp3"), QStringLiteral("Banana.au"),
                           QStringLiteral("bell.mid"), QStringLiteral("bell.wav"),
                           QStringLiteral("Bell.mid"), QStringLiteral("zeta.mid")}));
}

TEST(FindSound, IgnoresCasePrefersTheExactSpelling) {
    const QVector<SoundEntry> entries{{QStringLiteral("bell"), QStringLiteral("bell.mid"), 0},
                                      {QStringLiteral("bell"), QStringLiteral("bell.wav"), 1},
                                      {QStringLiteral("BELL"), QStringLiteral("BELL.wav"), 1}};
    EXPECT_EQ(FindSound(entries, QStringLiteral("bell.wav")), 1);
    EXPECT_EQ(FindSound(entries, QStringLiteral("BELL.wav")), 2);
    EXPECT_EQ(FindSound(entries, QStringLiteral("Bell.MID")), 0);
    EXPECT_EQ(FindSound(entries, QStringLiteral("BELL.WAV")), 2); // the last one scanned
    EXPECT_EQ(FindSound(entries, QStringLiteral("gong.mid")), -1);
    EXPECT_EQ(FindSound(entries, QString()), -1);
}

TEST_F(SoundFolder, ImportCopiesAndAsksBeforeReplacing) {
    const QString source = WriteFile(Dir.path() + QStringLiteral("/in/chime.WAV"), "new");
    int asked = 0;
    // Missing folder: made, copied, no question.
    EXPECT_EQ(ImportSound(source, Folder(), [&] { return ++asked, true; }),
              QStringLiteral("chime.WAV"));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ReadFile(Folder() + QStringLiteral("chime.WAV")), QByteArray("new"));
    EXPECT_EQ(QFileInfo(Folder() + QStringLiteral("chime.WAV")).lastModified(),
              QFileInfo(source).lastModified());

    Add(QStringLiteral("chime.WAV"), "old");
    EXPECT_EQ(ImportSound(source, Folder(), [&] { return ++asked, false; }), QString());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFile(Folder() + QStringLiteral("chime.WAV")), QByteArray("old"));

    EXPECT_EQ(ImportSound(source, Folder(), [&] { return ++asked, true; }),
              QStringLiteral("chime.WAV"));
    EXPECT_EQ(ReadFile(Folder() + QStringLiteral("chime.WAV")), QByteArray("new"));
}

TEST_F(SoundFolder, DropTakesTheLibrarySoundWhenNotReplaced) {
    const QString source = WriteFile(Dir.path() + QStringLiteral("/in/song.MID"), "dropped");
    Add(QStringLiteral("song.MID"), "library");
    EXPECT_EQ(DropSound(source, Folder(), [] { return false; }), QStringLiteral("song.MID"));
    EXPECT_EQ(ReadFile(Folder() + QStringLiteral("song.MID")), QByteArray("library"));
    EXPECT_EQ(DropSound(source, Folder(), [] { return true; }), QStringLiteral("song.MID"));
    EXPECT_EQ(ReadFile(Folder() + QStringLiteral("song.MID")), QByteArray("dropped"));
}

TEST_F(SoundFolder, FailedCopiesLeaveTheLibraryAsItWas) {
    Add(QStringLiteral("gone.mid"), "library");
    const auto yes = [] { return true; };
    // A source that vanished, or is a folder, copies nothing and keeps the old file.
    EXPECT_EQ(DropSound(Dir.path() + QStringLiteral("/in/gone.mid"), Folder(), yes), QString());
    QDir().mkpath(Dir.path() + QStringLiteral("/in/dir.mid"));
    EXPECT_EQ(ImportSound(Dir.path() + QStringLiteral("/in/dir.mid"), Folder(), yes), QString());
    EXPECT_EQ(ReadFile(Folder() + QStringLiteral("gone.mid")), QByteArray("library"));
    EXPECT_FALSE(QFileInfo::exists(Folder() + QStringLiteral("dir.mid")));

    // A library folder that cannot be made.
    const QString blocker = WriteFile(Dir.path() + QStringLiteral("/file"), "x");
    EXPECT_EQ(
        DropSound(Folder() + QStringLiteral("gone.mid"), blocker + QStringLiteral("/Sounds/"), yes),
        QString());
}

TEST_F(SoundFolder, ReplacingASoundWithItselfKeepsIt) {
    const QString path = Add(QStringLiteral("bell.wav"), "ring");
    EXPECT_EQ(DropSound(path, Folder(), [] { return true; }), QStringLiteral("bell.wav"));
    EXPECT_EQ(ReadFile(path), QByteArray("ring"));
}

TEST(SlotDecisions, JoinsTheWordsOfTheSlotsHoldingASound) {
    struct Case {
        const char* packet;
        const char* openEffect;
        const char* surprise;
        const char* joined;
    };
    const Case cases[] = {
        {"bell.wav", "", "", "Packet"},
        {"", "bell.wav", "", "Open effect"},
        {"bell.wav", "", "bell.wav", "Packet and Surprise"},
        {"", "bell.wav", "bell.wav", "Open effect and Surprise"},
        {"bell.wav", "bell.wav", "bell.wav", "Packet, Open effect and Surprise"},
        {"BELL.WAV", "bell.mid", "", ""},
    };
    for (const Case& c : cases) {
        BuilderState state;
        state.PacketSound = QString::fromUtf8(c.packet);
        state.OpenEffectSound = QString::fromUtf8(c.openEffect);
        state.SurpriseSound = QString::fromUtf8(c.surprise);
        EXPECT_EQ(JoinSlotWords(SlotWordsHolding(state, QStringLiteral("bell.wav"))),
                  QString::fromUtf8(c.joined))
            << c.joined;
    }
    EXPECT_EQ(RemoveRefusalText(QStringLiteral("bell.wav"), QStringLiteral("Packet and Surprise")),
              QStringLiteral("Can't remove bell.wav sound.\r\n\r\nThe sound you want to remove is "
                             "selected as Packet and Surprise sound.\r\nIn order to remove it you "
                             "must first clear the Packet and Surprise sound selection\r\nin main "
                             "menu window (Zadad)."));
}

TEST(SlotDecisions, EnteringReportsOnlyRealChanges) {
    BuilderState state;
    EXPECT_FALSE(EnterSlotSound(state, SoundSlot::OpenEffect, QString()));
    EXPECT_TRUE(EnterSlotSound(state, SoundSlot::OpenEffect, QStringLiteral("bell.wav")));
    EXPECT_FALSE(EnterSlotSound(state, SoundSlot::OpenEffect, QStringLiteral("bell.wav")));
    EXPECT_TRUE(EnterSlotSound(state, SoundSlot::OpenEffect, QStringLiteral("Bell.wav")));
    EXPECT_EQ(state.OpenEffectSound, QStringLiteral("Bell.wav"));
    EXPECT_TRUE(state.PacketSound.isEmpty());
    EXPECT_TRUE(state.SurpriseSound.isEmpty());
}

TEST(SlotDecisions, TypeNoticesByExtension) {
    struct Case {
        const char* name;
        const char* flags; // the flag names of the notices, in order
    };
    const Case cases[] = {
        {"song.mp3", "MsgMp3TypeUsingFiles"},
        {".MP3", "MsgMp3TypeUsingFiles"},
        {"bell.Wav", "MsgWavAuTypeUsingFiles"},
        {".au", "MsgWavAuTypeUsingFiles"},
        {"tune.mid", ""},
        {"tune", ""},
        {"mp3", ""},
    };
    for (const Case& c : cases) {
        QStringList flags;
        for (const SoundTypeNotice& notice : SoundTypeNotices(QString::fromUtf8(c.name)))
            flags << notice.ValueName;
        EXPECT_EQ(flags.join(QLatin1Char(',')), QString::fromUtf8(c.flags)) << c.name;
    }
    const SoundTypeNotice mp3 = SoundTypeNotices(QStringLiteral(".mp3")).value(0);
    EXPECT_EQ(mp3.ClientHeight, 171);
    EXPECT_EQ(SoundTypeNotices(QStringLiteral(".wav")).value(0).ClientHeight, 156);
}
