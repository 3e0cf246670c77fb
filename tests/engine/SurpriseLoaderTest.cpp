#include "engine/SurpriseLoader.h"

#include "engine/SurpriseFixture.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

class SurpriseLoaderTest : public ::testing::Test {
protected:
    QString Build(const SurpriseSpec& wanted,
                  const QString& name = QStringLiteral("Surprise.exe")) {
        return BuildSurprise(wanted, Dir.path(), name);
    }
    testsupport::TestHome Home;
    QTemporaryDir Dir;
};

SurpriseSpec WithSounds() {
    SurpriseSpec wanted;
    wanted.PacketSound = QStringLiteral("s1.mid");
    wanted.OpenEffectSound = QStringLiteral("s2.wav");
    wanted.SurpriseSound = QStringLiteral("s1.mid"); // shares the packet's entry
    wanted.SoundFiles = {{QStringLiteral("s1.mid"), QByteArray("MThd packet tune")},
                         {QStringLiteral("s2.wav"), TinyWav()}};
    return wanted;
}

TEST_F(SurpriseLoaderTest, ReadsRecordPicturesAndDistinctSounds) {
    SurpriseSpec wanted = WithSounds();
    wanted.Password = QStringLiteral("secret");
    wanted.Url = QStringLiteral("http://example.com/");
    wanted.PacketTransparent = true;
    const ExtractedSurprise got = LoadSurpriseFile(Build(wanted));

    EXPECT_EQ(got.Record.OpenPassword, QStringLiteral("secret"));
    EXPECT_TRUE(got.Record.PacketTransparent);
    EXPECT_FALSE(got.Record.SurpriseTransparent);
    EXPECT_EQ(got.Record.PacketTransparentColour, Bgr(qRgb(255, 0, 255)));
    EXPECT_EQ(got.PacketImage.convertToFormat(QImage::Format_RGB32), wanted.Packet);
    EXPECT_EQ(got.SurpriseImage.convertToFormat(QImage::Format_RGB32), wanted.Surprise);
    ASSERT_EQ(got.Sounds.size(), 2);
    EXPECT_EQ(got.Sounds[0].first, QStringLiteral("s1.mid"));
    EXPECT_EQ(got.Sounds[0].second, QByteArray("MThd packet tune"));
    EXPECT_EQ(got.Sounds[1].first, QStringLiteral("s2.wav"));
    EXPECT_EQ(got.Sounds[1].second, TinyWav());
}

TEST_F(SurpriseLoaderTest, ReadsSurprisesWhoseArchiveAnotherZipToolWrote) {
    // The fuzz seeds are made with Info-ZIP's zip, not with our writer.
    const QString seeds = QStringLiteral(ZORVANE_SOURCE_DIR "/tests/fuzz/corpus/container/");
    const ExtractedSurprise plain = LoadSurpriseFile(seeds + QStringLiteral("plain"));
    EXPECT_EQ(plain.PacketImage.size(), QSize(6, 4));
    EXPECT_EQ(plain.PacketImage.pixel(0, 3), qRgb(255, 0, 255));
    const ExtractedSurprise full = LoadSurpriseFile(seeds + QStringLiteral("sounds-password-url"));
    EXPECT_EQ(full.Record.OpenPassword, QStringLiteral("secret"));
    EXPECT_EQ(GoToAddress(full.Record), QUrl(QStringLiteral("http://example.com/")));
    EXPECT_EQ(full.Sounds.size(), 2);
    for (const char* refused : {"unencrypted", "unexpected-entry", "bare-engine"})
        EXPECT_THROW(LoadSurpriseFile(seeds + QLatin1String(refused)), DamagedSurprise) << refused;
}

TEST_F(SurpriseLoaderTest, ASurpriseWithoutSoundsNeedsOnlyItsPictures) {
    const ExtractedSurprise got = LoadSurpriseFile(Build(SurpriseSpec()));
    EXPECT_TRUE(got.Sounds.isEmpty());
    EXPECT_EQ(got.PacketImage.size(), QSize(120, 90));
    EXPECT_EQ(got.SurpriseImage.size(), QSize(160, 100));
}

// Rewrites part of a built surprise.
using Damage = std::function<void(QByteArray& file)>;

void PutU32(QByteArray& file, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        file[at + i] = char((value >> (8 * i)) & 0xff);
}

struct DamageCase {
    const char* Name;
    std::function<SurpriseSpec()> Wanted;
    Damage Change;
};

const qsizetype kRecordAt = -417; // from the end of the file

std::vector<DamageCase> DamageCases() {
    const auto plain = [] { return SurpriseSpec(); };
    const auto none = [](QByteArray&) {};
    const auto at = [](QByteArray& file, qsizetype offset) -> char& {
        return file[offset < 0 ? file.size() + offset : offset];
    };
    return {
        {"bare engine", plain, [](QByteArray& f) { f = SurpriseSpec().Engine; }},
        {"empty file", plain, [](QByteArray& f) { f.clear(); }},
        {"shorter than a record", plain, [](QByteArray& f) { f = f.right(300); }},
        {"truncated", plain, [](QByteArray& f) { f.chop(100); }},
        {"cut in the archive", plain, [](QByteArray& f) { f.remove(40, 200); }},
        {"wrong signature", plain, [at](QByteArray& f) { at(f, kRecordAt + 3) ^= 0x01; }},
        {"wrong length word", plain, [](QByteArray& f) { f[f.size() - 2] = char(0x9e); }},
        {"engine size too large", plain,
         [](QByteArray& f) { PutU32(f, f.size() + kRecordAt + 16, 0xfffffff0u); }},
        {"archive size too small", plain,
         [](QByteArray& f) { PutU32(f, f.size() + kRecordAt + 20, 10); }},
        {"sizes swapped around", plain,
         [](QByteArray& f) {
             // Same sum, so the file size check passes: the archive is then
             // read from the wrong place.
             PutU32(f, f.size() + kRecordAt + 16, 5);
             PutU32(f, f.size() + kRecordAt + 20, quint32(f.size() - 417 - 5));
         }},
        {"string longer than its field", plain,
         [at](QByteArray& f) { at(f, kRecordAt + 42) = char(9); }},
        {"archive bytes damaged", plain,
         [](QByteArray& f) {
             for (qsizetype i = 100; i < 160; ++i)
                 f[SurpriseSpec().Engine.size() + i] ^= 0x5a;
         }},
        {"archive not shifted", plain,
         [](QByteArray& f) {
             for (qsizetype i = SurpriseSpec().Engine.size(); i < f.size() - 417; ++i)
                 f[i] = char(f[i] - 42);
         }},
        {"unencrypted archive",
         [] {
             SurpriseSpec s;
             s.ArchivePassword.clear();
             return s;
         },
         none},
        {"another password",
         [] {
             SurpriseSpec s;
             s.ArchivePassword = QStringLiteral("other");
             return s;
         },
         none},
        {"packet picture missing",
         [] {
             SurpriseSpec s;
             s.LeaveOut = {QStringLiteral("b1.bmp")};
             return s;
         },
         none},
        {"sound named but missing",
         [] {
             SurpriseSpec s;
             s.OpenEffectSound = QStringLiteral("s2.wav");
             return s;
         },
         none},
        {"unexpected entry",
         [] {
             SurpriseSpec s;
             s.ExtraFiles = {{QStringLiteral("run.sh"), QByteArray("#!/bin/sh\n")}};
             return s;
         },
         none},
        {"sound not named by the record",
         [] {
             SurpriseSpec s;
             s.SoundFiles = {{QStringLiteral("s1.wav"), TinyWav()}};
             return s;
         },
         none},
        {"packet is a PNG",
         [] {
             SurpriseSpec s;
             QBuffer png;
             png.open(QIODevice::WriteOnly);
             s.Packet.save(&png, "PNG");
             s.PacketBytes = png.data();
             return s;
         },
         none},
        {"surprise is not a picture",
         [] {
             SurpriseSpec s;
             s.SurpriseBytes = QByteArray("BM but nothing more");
             return s;
         },
         none},
        {"surprise is empty",
         [] {
             SurpriseSpec s;
             s.SurpriseBytes = QByteArray("");
             return s;
         },
         none},
        {"truncated BMP",
         [] {
             SurpriseSpec s;
             QBuffer bmp;
             bmp.open(QIODevice::WriteOnly);
             s.Packet.save(&bmp, "BMP");
             s.PacketBytes = bmp.data().left(200);
             return s;
         },
         none},
        {"record names no picture", plain,
         [at](QByteArray& f) {
             // PacketPicture becomes the empty string.
             at(f, kRecordAt + 42) = 0;
         }},
    };
}

TEST_F(SurpriseLoaderTest, DamagedSurprisesAreRefused) {
    for (const DamageCase& c : DamageCases()) {
        SCOPED_TRACE(c.Name);
        const QString path = Build(c.Wanted(), QStringLiteral("case.exe"));
        QByteArray file = ReadFile(path);
        c.Change(file);
        WriteFile(path, file);
        EXPECT_THROW(LoadSurpriseFile(path), DamagedSurprise);
    }
    EXPECT_THROW(LoadSurpriseFile(Dir.filePath(QStringLiteral("missing.exe"))), DamagedSurprise);
}

// A BMP written by hand: 24 bits, rows of 3 bytes a pixel padded to 4.
QByteArray HandBmp(int width, int height, int headerSize, bool topDown) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    QByteArray pixels;
    for (int y = 0; y < height; ++y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < width; ++x)
            row[x * 3 + 2] = char(0xc0); // red
        pixels += row;
    }
    QByteArray info(headerSize, '\0');
    const auto put16 = [&](int at, int v) { qToLittleEndian(quint16(v), info.data() + at); };
    const auto put32 = [&](int at, qint32 v) { qToLittleEndian(v, info.data() + at); };
    put32(0, headerSize);
    if (headerSize == 12) {
        put16(4, width);
        put16(6, height);
        put16(8, 1);
        put16(10, 24);
    } else {
        put32(4, width);
        put32(8, topDown ? -height : height);
        put16(12, 1);
        put16(14, 24);
    }
    QByteArray file = "BM" + QByteArray(12, '\0') + info + pixels;
    qToLittleEndian(quint32(file.size()), file.data() + 2);
    qToLittleEndian(quint32(14 + headerSize), file.data() + 10);
    return file;
}

TEST_F(SurpriseLoaderTest, CompleteBmpsOfEveryLayoutAreAccepted) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"bottom-up", HandBmp(7, 5, 40, false)},
        {"top-down", HandBmp(7, 5, 40, true)},
        {"core header", HandBmp(7, 5, 12, false)},
        {"version 5 header", HandBmp(7, 5, 124, false)},
    };
    for (const auto& [name, bmp] : cases) {
        SCOPED_TRACE(name);
        SurpriseSpec wanted;
        wanted.PacketBytes = bmp;
        const ExtractedSurprise got = LoadSurpriseFile(Build(wanted));
        EXPECT_EQ(got.PacketImage.size(), QSize(7, 5));
        EXPECT_EQ(got.PacketImage.pixel(6, 4), qRgb(0xc0, 0, 0));
        // One byte short of the last row is not a picture.
        wanted.PacketBytes = bmp.left(bmp.size() - 1);
        EXPECT_THROW(LoadSurpriseFile(Build(wanted)), DamagedSurprise);
    }
}

TEST_F(SurpriseLoaderTest, AnEntryOver64MiBIsRefused) {
    SurpriseSpec wanted;
    wanted.PacketSound = QStringLiteral("s1.wav");
    wanted.SoundFiles = {{QStringLiteral("s1.wav"), QByteArray(kMaxSurpriseEntrySize + 1, '\0')}};
    const QString path = Build(wanted);
    try {
        LoadSurpriseFile(path);
        FAIL() << "a 64 MiB + 1 entry was accepted";
    } catch (const DamagedSurprise& e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
    // Exactly 64 MiB is still a sound.
    wanted.SoundFiles = {{QStringLiteral("s1.wav"), QByteArray(kMaxSurpriseEntrySize, '\0')}};
    EXPECT_EQ(LoadSurpriseFile(Build(wanted)).Sounds.value(0).second.size(), kMaxSurpriseEntrySize);
}

TEST_F(SurpriseLoaderTest, SoundsGoIntoAPrivateFolderThatIsRemovedAfterwards) {
    const ExtractedSurprise extracted = LoadSurpriseFile(Build(WithSounds()));
    QString folderPath;
    const QString outside = WriteFile(Home.Path() + QStringLiteral("/outside/keep.txt"), "keep");
    {
        PrivateSoundFolder folder;
        folderPath = folder.Path();
        EXPECT_TRUE(folderPath.startsWith(Home.Temp() + QLatin1Char('/')))
            << folderPath.toStdString();
        EXPECT_EQ(QFileInfo(folderPath).permissions() & 0x7777,
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                      QFile::WriteUser | QFile::ExeUser);

        const LoadedSurprise loaded = PlaceSurprise(extracted, folder);
        EXPECT_EQ(loaded.PacketSound, folderPath + QStringLiteral("/s1.mid"));
        EXPECT_EQ(loaded.OpenEffectSound, folderPath + QStringLiteral("/s2.wav"));
        EXPECT_EQ(loaded.SurpriseSound, loaded.PacketSound);
        EXPECT_EQ(ReadFile(loaded.OpenEffectSound), TinyWav());
        EXPECT_EQ(QDir(folderPath).entryList(QDir::Files),
                  QStringList({QStringLiteral("s1.mid"), QStringLiteral("s2.wav")}));

        // Names that would leave the folder, and names already there, are refused.
        for (const char* bad : {"../escape.wav", "a/b.wav", "..", ".", "", "s1.mid"})
            EXPECT_TRUE(folder.Write(QLatin1String(bad), "x").isEmpty()) << bad;
        EXPECT_EQ(ReadFile(loaded.PacketSound), QByteArray("MThd packet tune"));
        EXPECT_FALSE(QFileInfo::exists(Home.Temp() + QStringLiteral("/escape.wav")));

        // A link left inside is removed as a link, never followed.
        ASSERT_TRUE(
            QFile::link(QFileInfo(outside).absolutePath(), folderPath + QStringLiteral("/link")));
    }
    EXPECT_FALSE(QFileInfo::exists(folderPath));
    EXPECT_EQ(ReadFile(outside), QByteArray("keep"));
}

TEST_F(SurpriseLoaderTest, TwoRunsGetTwoFolders) {
    PrivateSoundFolder a;
    PrivateSoundFolder b;
    EXPECT_NE(a.Path(), b.Path());
}

TEST(OpenPassword, TypedTextIsReadAsTheBuilderStoredIt) {
    struct Case {
        QString Stored;
        QString Typed;
        bool Opens;
    };
    const QString fifty = QString(50, QLatin1Char('p'));
    const Case cases[] = {
        {QStringLiteral("secret"), QStringLiteral("secret"), true},
        {QStringLiteral("secret"), QStringLiteral("  secret\t"), true},
        {QStringLiteral("secret"), QStringLiteral("Secret"), false},
        {QStringLiteral("secret"), QStringLiteral("secre"), false},
        {QStringLiteral("secret"), QString(), false},
        {fifty, fifty + QStringLiteral("ten more.."), true}, // the builder kept 50
        {QStringLiteral("caf\u00e9 \u20ac"), QStringLiteral("caf\u00e9 \u20ac"), true},
        {QStringLiteral("??"), QStringLiteral("\u5bc6\u7801"), true}, // outside the code page
        {QString(), QString(), false},                                // nothing to check against
    };
    for (const Case& c : cases) {
        SurpriseRecord record;
        record.OpenPassword = c.Stored;
        EXPECT_EQ(IsOpenPassword(record, c.Typed), c.Opens)
            << c.Stored.toStdString() << " / " << c.Typed.toStdString();
    }
}

TEST(GoToAddress, OnlyPlainHttpAddressesAreOpened) {
    struct Case {
        bool Has;
        const char* Url;
        const char* Opens; // empty: nothing
    };
    const Case cases[] = {
        {true, "http://example.com/page?a=1", "http://example.com/page?a=1"},
        {true, "HTTP://Example.com", "http://example.com"},
        {true, "  http://example.com/x  ", "http://example.com/x"},
        {false, "http://example.com/", ""},
        {true, "", ""},
        {true, "https://example.com/", ""},
        {true, "file:///etc/passwd", ""},
        {true, "javascript:alert(1)", ""},
        {true, "mailto:a@b.c", ""},
        {true, "http://", ""},
        {true, "http:///etc/passwd", ""},
        {true, "example.com", ""},
        {true, " \thttp:x", ""},
    };
    for (const Case& c : cases) {
        SurpriseRecord record;
        record.HasGoToUrl = c.Has;
        record.GoToUrl = QLatin1String(c.Url);
        EXPECT_EQ(GoToAddress(record).toString(), QLatin1String(c.Opens)) << c.Url;
    }
}

} // namespace
