#include "build/BuildProcedure.h"
#include "build/DataArchive.h"
#include "build/SurpriseContainer.h"
#include "build/gUtils.h"
#include "library/SeriesFolders.h"
#include "library/Thumbnails.h"
#include "platform/PictureReader.h"
#include "platform/SoundPlayer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

using testsupport::ReadFile;
using testsupport::TestHome;
using testsupport::WriteFile;

namespace {

const QString kStage = QStringLiteral(ZORVANE_STAGE_DIR "/");
const QString kPacketsRoot = kStage + "Pictures/Packets/";
const QString kSurprisesRoot = kStage + "Pictures/Surprises/";
const QString kSounds = kStage + "Sounds/";

int MaxChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

bool IsJpeg(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "jpg" || suffix == "jpeg";
}

struct ManifestEntry {
    QString File;
    QRgb Background = 0;
};

// The pictures the sources promise, read straight from the manifest.
QList<ManifestEntry> Manifest() {
    QFile file(ZORVANE_SOURCE_DIR "/assets/samples/samples.txt");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QList<ManifestEntry> entries;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(' ', Qt::SkipEmptyParts);
        if (fields.size() != 4 || fields[0].startsWith('#'))
            continue;
        entries.append({fields[0], 0xff000000u | fields[3].mid(1).toUInt(nullptr, 16)});
    }
    return entries;
}

TEST(SampleLibraries, EveryPictureIsStagedOnItsPlainBackground) {
    const QList<ManifestEntry> entries = Manifest();
    ASSERT_GE(entries.size(), 18);
    QSet<QString> formats;
    for (const ManifestEntry& entry : entries) {
        SCOPED_TRACE(qPrintable(entry.File));
        const QString path = kStage + entry.File;
        const QImage image = LoadPicture(path).Image;
        EXPECT_GE(image.width(), 200);
        EXPECT_GE(image.height(), 160);
        EXPECT_TRUE(HasPictureContent(path));

        // The bottom-left pixel is the transparency colour: it must be the
        // background, and the background must be what surrounds the drawing.
        const int tolerance = IsJpeg(path) ? 4 : 0;
        const QRgb corner = image.pixel(0, image.height() - 1);
        EXPECT_LE(MaxChannelDifference(corner, entry.Background), tolerance);
        int background = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                background += MaxChannelDifference(image.pixel(x, y), corner) <= tolerance;
        }
        EXPECT_GT(background, image.width() * image.height() / 4);
        EXPECT_LT(background, image.width() * image.height() * 9 / 10);
        formats.insert(QFileInfo(path).suffix().toLower());
    }
    for (const char* format : {"bmp", "png", "gif", "jpg"})
        EXPECT_TRUE(formats.contains(format)) << format;
}

TEST(SampleLibraries, EachLibraryHoldsSeveralSeriesOfSeveralPictures) {
    for (const QString& root : {kPacketsRoot, kSurprisesRoot}) {
        SCOPED_TRACE(qPrintable(root));
        const QStringList series = SeriesNames(root);
        EXPECT_GE(series.size(), 3);
        for (const QString& name : series) {
            SCOPED_TRACE(qPrintable(name));
            const QString folder = root + name + "/";
            EXPECT_TRUE(QFileInfo(folder).isWritable());
            // Every file of a series shows in the list: none is left out.
            const QList<Thumbnail> thumbnails = LoadSeriesThumbnails(folder);
            EXPECT_GE(thumbnails.size(), 3);
            EXPECT_EQ(thumbnails.size(), SeriesPicturePaths(folder).size());
        }
    }
}

// Builds a surprise through the building core with a stand-in engine and
// reads it back: the record names the pictures' transparency colours, and
// the archive holds both pictures and the sounds unchanged.
void BuildAndReadBack(const QString& packet, const QString& surprise, const QStringList& sounds) {
    TestHome home;
    const QByteArray engine = "#!/bin/sh\nexit 0\n";
    BuildInputs inputs;
    inputs.PacketPicture = packet;
    inputs.SurprisePicture = surprise;
    inputs.PacketSound = sounds.value(0);
    inputs.OpenEffectSound = sounds.value(1);
    inputs.SurpriseSound = sounds.value(2);
    inputs.OutputFileName = "Surprise.exe";
    inputs.EngineFile = WriteFile(home.Path() + "/Surprise.exe", engine);
    inputs.SoundsFolder = kSounds;
    inputs.TempRoot = home.Temp() + "/Zorvane-test/";
    ASSERT_EQ(RunBuildChecks(inputs), BuildCheck::Passed);
    const BuildOutcome outcome = RunBuild(inputs);
    ASSERT_TRUE(outcome.Built);

    const SurpriseContents contents = ReadSurpriseContainer(outcome.OutputPath);
    EXPECT_EQ(contents.Record.EngineSize, quint32(engine.size()));
    EXPECT_TRUE(contents.Record.PacketTransparent);
    EXPECT_TRUE(contents.Record.SurpriseTransparent);
    std::map<QString, QByteArray> entries;
    for (const ArchiveEntry& entry : ReadArchive(contents.Archive, kDataArchivePassword, true))
        entries[entry.Name] = entry.Data;

    struct Picture {
        QString Path;
        QString Entry;
        BgrTriple Colour;
    };
    for (const Picture& picture :
         {Picture{packet, "b1.bmp", contents.Record.PacketTransparentColour},
          Picture{surprise, "b2.bmp", contents.Record.SurpriseTransparentColour}}) {
        SCOPED_TRACE(qPrintable(picture.Path));
        const QImage original =
            LoadPicture(picture.Path).Image.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(entries.count(picture.Entry), size_t(1));
        const QImage built =
            QImage::fromData(entries[picture.Entry], "BMP").convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(built, original);
        const QRgb corner = original.pixel(0, original.height() - 1);
        EXPECT_EQ(picture.Colour,
                  (BgrTriple{quint8(qBlue(corner)), quint8(qGreen(corner)), quint8(qRed(corner))}));
    }
    const QString soundEntries[] = {contents.Record.PacketSoundFile,
                                    contents.Record.OpenEffectSoundFile,
                                    contents.Record.SurpriseSoundFile};
    for (int i = 0; i < sounds.size(); ++i) {
        SCOPED_TRACE(qPrintable(sounds[i]));
        ASSERT_EQ(entries.count(soundEntries[i]), size_t(1));
        EXPECT_EQ(entries[soundEntries[i]], ReadFile(kSounds + sounds[i]));
    }
}

// The pictures the builder selects on a fresh start: the first picture of
// the first series of each library.
TEST(SampleLibraries, TheFirstPicturesShownBuildAtOnce) {
    QStringList first;
    for (const QString& root : {kPacketsRoot, kSurprisesRoot}) {
        const QStringList series = SeriesNames(root);
        ASSERT_FALSE(series.isEmpty());
        const QList<Thumbnail> pictures = LoadSeriesThumbnails(root + series[0] + "/");
        ASSERT_FALSE(pictures.isEmpty());
        first.append(pictures[0].Path);
    }
    BuildAndReadBack(first[0], first[1], {"Birthday.mid", "Chime.wav", "Ding.au"});
}

// The folder order differs between machines, so any picture may come first.
TEST(SampleLibraries, EverySamplePictureBuilds) {
    QStringList packets, surprises;
    for (const ManifestEntry& entry : Manifest())
        (entry.File.contains("/Packets/") ? packets : surprises).append(kStage + entry.File);
    ASSERT_FALSE(packets.isEmpty());
    ASSERT_FALSE(surprises.isEmpty());
    const QStringList sounds = QDir(kSounds).entryList(QDir::Files, QDir::Name);
    const int builds = int(std::max(packets.size(), surprises.size()));
    for (int i = 0; i < builds; ++i) {
        const QStringList chosen = {sounds.value(i % sounds.size()),
                                    sounds.value((i + 1) % sounds.size()),
                                    sounds.value((i + 2) % sounds.size())};
        BuildAndReadBack(packets[i % packets.size()], surprises[i % surprises.size()], chosen);
    }
}

// ---- Sounds, read independently of the generator --------------------------

quint32 Big(const QByteArray& b, int at, int bytes) {
    quint32 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | quint8(b[at + i]);
    return value;
}

quint32 Little(const QByteArray& b, int at, int bytes) {
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | quint8(b[at + i]);
    return value;
}

struct MidiFacts {
    int Format = -1;
    double Seconds = 0;
};

quint32 ReadVariable(const QByteArray& track, int& at) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        const quint8 byte = quint8(track.at(at++));
        value = value << 7 | (byte & 0x7f);
        if (!(byte & 0x80))
            return value;
    }
    ADD_FAILURE() << "variable-length number longer than 4 bytes";
    return value;
}

// Walks every event of every track: chunk lengths, balanced notes, an end
// of track at each end; the length in seconds from the tempo map.
MidiFacts ParseMidi(const QByteArray& file) {
    MidiFacts facts;
    EXPECT_EQ(file.left(4), "MThd");
    EXPECT_EQ(Big(file, 4, 4), 6u);
    facts.Format = int(Big(file, 8, 2));
    const int tracks = int(Big(file, 10, 2));
    const int division = int(Big(file, 12, 2));
    EXPECT_TRUE(facts.Format == 0 || facts.Format == 1);
    EXPECT_TRUE(facts.Format == 1 || tracks == 1);
    EXPECT_GT(division, 0);
    EXPECT_LT(division, 0x8000);

    std::map<quint32, quint32> tempo = {{0, 500000}};
    quint32 lastTick = 0;
    int at = 14;
    for (int t = 0; t < tracks; ++t) {
        EXPECT_EQ(file.mid(at, 4), "MTrk");
        const int length = int(Big(file, at + 4, 4));
        const QByteArray track = file.mid(at + 8, length);
        EXPECT_EQ(track.size(), length);
        at += 8 + length;

        std::map<int, int> sounding; // channel << 8 | pitch
        quint32 tick = 0;
        quint8 status = 0;
        int p = 0;
        bool ended = false;
        while (p < track.size() && !ended) {
            tick += ReadVariable(track, p);
            if (quint8(track[p]) & 0x80)
                status = quint8(track[p++]);
            const int kind = status >> 4;
            if (status == 0xff) {
                const quint8 type = quint8(track[p++]);
                const int size = int(ReadVariable(track, p));
                if (type == 0x51)
                    tempo[tick] = Big(track, p, 3);
                ended = type == 0x2f;
                p += size;
            } else if (kind == 0x8 || kind == 0x9) {
                const int key = (status & 0x0f) << 8 | quint8(track[p]);
                const bool on = kind == 0x9 && quint8(track[p + 1]) > 0;
                sounding[key] += on ? 1 : -1;
                EXPECT_GE(sounding[key], 0) << "a note ends that never started";
                p += 2;
            } else if (kind == 0xc || kind == 0xd) {
                p += 1;
            } else {
                EXPECT_TRUE(kind == 0xa || kind == 0xb || kind == 0xe) << "status " << status;
                p += 2;
            }
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(p, track.size()) << "events after the end of track";
        for (const auto& [key, count] : sounding)
            EXPECT_EQ(count, 0) << "note " << (key & 0xff) << " never ends";
        lastTick = std::max(lastTick, tick);
    }
    EXPECT_EQ(at, file.size());

    quint32 from = 0, perQuarter = tempo[0];
    for (const auto& [tick, value] : tempo) {
        if (tick > lastTick)
            break;
        facts.Seconds += double(tick - from) * perQuarter / division / 1e6;
        from = tick;
        perQuarter = value;
    }
    facts.Seconds += double(lastTick - from) * perQuarter / division / 1e6;
    return facts;
}

QStringList SoundFiles(const QString& pattern) {
    QStringList files;
    for (const QString& name : QDir(kSounds).entryList({pattern}, QDir::Files, QDir::Name))
        files.append(kSounds + name);
    return files;
}

TEST(SampleSounds, TunesAreWellFormedMidiThatPlaysItsLength) {
    const QStringList files = SoundFiles("*.mid");
    ASSERT_GE(files.size(), 3);
    QSet<int> formats;
    for (const QString& path : files) {
        SCOPED_TRACE(qPrintable(path));
        const MidiFacts facts = ParseMidi(ReadFile(path));
        formats.insert(facts.Format);
        EXPECT_GE(facts.Seconds, 2.0);
        EXPECT_LE(facts.Seconds, 30.0);

        // The synthesizer plays every event: the last notes still sound in
        // the song's last second; after it only their ringing follows.
        const std::vector<qint16> samples = RenderMidiFile(path, 60000);
        const double rendered = double(samples.size()) / 2 / 44100;
        EXPECT_GE(rendered, facts.Seconds - 0.05);
        EXPECT_LE(rendered, facts.Seconds + 10.0);
        const auto peakBetween = [&](double from, double to) {
            int peak = 0;
            const size_t end = std::min(samples.size(), size_t(to * 44100) * 2);
            for (size_t i = size_t(std::max(0.0, from) * 44100) * 2; i < end; ++i)
                peak = std::max(peak, std::abs(int(samples[i])));
            return peak;
        };
        EXPECT_GT(peakBetween(0, 1), 1000) << "silent at the start";
        EXPECT_GT(peakBetween(facts.Seconds - 1, facts.Seconds), 1000) << "silent at the end";
    }
    EXPECT_TRUE(formats.contains(0));
    EXPECT_TRUE(formats.contains(1));
}

struct Pcm {
    int Rate = 0;
    std::vector<int> Samples;
};

Pcm ParseWave(const QByteArray& file) {
    Pcm pcm;
    EXPECT_EQ(file.left(4), "RIFF");
    EXPECT_EQ(Little(file, 4, 4), quint32(file.size() - 8));
    EXPECT_EQ(file.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(Little(file, 16, 4), 16u);
    EXPECT_EQ(Little(file, 20, 2), 1u) << "PCM";
    EXPECT_EQ(Little(file, 22, 2), 1u) << "mono";
    pcm.Rate = int(Little(file, 24, 4));
    EXPECT_EQ(Little(file, 28, 4), quint32(pcm.Rate * 2));
    EXPECT_EQ(Little(file, 32, 2), 2u);
    EXPECT_EQ(Little(file, 34, 2), 16u);
    EXPECT_EQ(file.mid(36, 4), "data");
    const int size = int(Little(file, 40, 4));
    EXPECT_EQ(size, file.size() - 44);
    for (int i = 44; i + 1 < file.size(); i += 2)
        pcm.Samples.push_back(qint16(Little(file, i, 2)));
    return pcm;
}

Pcm ParseAu(const QByteArray& file) {
    Pcm pcm;
    EXPECT_EQ(file.left(4), ".snd");
    const int offset = int(Big(file, 4, 4));
    EXPECT_GE(offset, 24);
    EXPECT_EQ(Big(file, 8, 4), quint32(file.size() - offset));
    EXPECT_EQ(Big(file, 12, 4), 3u) << "16-bit linear";
    pcm.Rate = int(Big(file, 16, 4));
    EXPECT_EQ(Big(file, 20, 4), 1u) << "mono";
    for (int i = offset; i + 1 < file.size(); i += 2)
        pcm.Samples.push_back(qint16(Big(file, i, 2)));
    return pcm;
}

double Rms(const std::vector<int>& samples, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(std::max<size_t>(1, to - from)));
}

TEST(SampleSounds, ChimesArePcmThatRingsAndDiesAway) {
    QStringList files = SoundFiles("*.wav") + SoundFiles("*.au");
    EXPECT_GE(SoundFiles("*.wav").size(), 1);
    EXPECT_GE(SoundFiles("*.au").size(), 1);
    for (const QString& path : files) {
        SCOPED_TRACE(qPrintable(path));
        const QByteArray bytes = ReadFile(path);
        const Pcm pcm = path.endsWith(".wav") ? ParseWave(bytes) : ParseAu(bytes);
        ASSERT_GT(pcm.Rate, 0);
        const size_t n = pcm.Samples.size();
        const double seconds = double(n) / pcm.Rate;
        EXPECT_GE(seconds, 0.5);
        EXPECT_LE(seconds, 5.0);
        int peak = 0;
        for (size_t i = 0; i < n / 4; ++i)
            peak = std::max(peak, std::abs(pcm.Samples[i]));
        EXPECT_GT(peak, 32767 / 2) << "loud at the strike";
        EXPECT_LT(Rms(pcm.Samples, n * 9 / 10, n), Rms(pcm.Samples, 0, n / 10) / 10) << "dies away";
        EXPECT_LT(std::abs(pcm.Samples.front()), 200) << "no click at the start";
        EXPECT_LT(std::abs(pcm.Samples.back()), 200) << "no click at the end";

        // The playback stack takes the file and finds its length.
        SoundPlayer player;
        QSignalSpy loaded(&player, &SoundPlayer::Loaded);
        ASSERT_TRUE(player.Open(path));
        ASSERT_EVENTUALLY(!loaded.isEmpty(), 10000);
        EXPECT_NEAR(double(player.DurationMs()), seconds * 1000, 60);
    }
}

} // namespace
