#include "platform/SoundPlayer.h"

#include "support/TestSupport.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

using testsupport::WriteFile;

namespace {

constexpr double kPi = 3.14159265358979323846;

QByteArray Le16(quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray Le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray Be32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

std::vector<qint16> Sine(int rate, int ms) {
    std::vector<qint16> s(size_t(rate) * size_t(ms) / 1000);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = qint16(12000 * std::sin(2 * kPi * 440 * double(i) / rate));
    return s;
}

QByteArray Wav(int rate, int ms) {
    QByteArray pcm;
    for (qint16 v : Sine(rate, ms))
        pcm += Le16(quint16(v));
    return "RIFF" + Le32(quint32(36 + pcm.size())) + "WAVEfmt " + Le32(16) + Le16(1) + Le16(1) +
           Le32(quint32(rate)) + Le32(quint32(rate * 2)) + Le16(2) + Le16(16) + "data" +
           Le32(quint32(pcm.size())) + pcm;
}

// Sun audio: 16-bit linear PCM, big-endian, mono.
QByteArray Au(int rate, int ms) {
    QByteArray pcm;
    for (qint16 v : Sine(rate, ms)) {
        QByteArray b(2, '\0');
        qToBigEndian(quint16(v), b.data());
        pcm += b;
    }
    return ".snd" + Be32(24) + Be32(quint32(pcm.size())) + Be32(3) + Be32(quint32(rate)) + Be32(1) +
           pcm;
}

// Format 0, one track, 480 ticks a beat at the default 120 beats a minute:
// a piano playing middle C, then E, for half a second each.
QByteArray Midi() {
    const QByteArray track = QByteArray::fromHex("00c000"     // program: piano
                                                 "00903c64"   // C on
                                                 "8360803c00" // 480 ticks later: C off
                                                 "00904064"   // E on
                                                 "8360804000" // 480 ticks later: E off
                                                 "00ff2f00"); // end of track
    QByteArray length(4, '\0');
    qToBigEndian(quint32(track.size()), length.data());
    return "MThd" +
           QByteArray::fromHex("00000006"
                               "0000"
                               "0001"
                               "01e0") +
           "MTrk" + length + track;
}

QByteArray Rmi(const QByteArray& midi) {
    QByteArray data = "data" + Le32(quint32(midi.size())) + midi;
    if (midi.size() % 2)
        data += '\0';
    return "RIFF" + Le32(quint32(4 + data.size())) + "RMID" + data;
}

int Peak(const std::vector<qint16>& samples) {
    int peak = 0;
    for (qint16 s : samples)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

QString Mp3Fixture() {
    return QStringLiteral(ZORVANE_SOURCE_DIR "/tests/platform/fixtures/tone.mp3");
}

// An independent decode of a fixture through Qt's decoder: the largest
// sample as a fraction of full scale.
double DecodedPeak(const QString& path) {
    QAudioDecoder decoder;
    // A fixed output format: without it the decoder refuses Sun audio here.
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setSampleRate(22050);
    format.setChannelCount(1);
    decoder.setAudioFormat(format);
    decoder.setSource(QUrl::fromLocalFile(path));
    double peak = 0;
    QObject::connect(&decoder, &QAudioDecoder::bufferReady, [&] {
        const QAudioBuffer buffer = decoder.read();
        const qint16* samples = buffer.constData<qint16>();
        for (qsizetype i = 0; i < buffer.sampleCount(); ++i)
            peak = std::max(peak, std::abs(samples[i] / 32768.0));
    });
    QSignalSpy finished(&decoder, &QAudioDecoder::finished);
    QSignalSpy failed(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error));
    decoder.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty() || !failed.isEmpty(); }, 10000));
    EXPECT_TRUE(failed.isEmpty()) << decoder.errorString().toStdString();
    return peak;
}

class SoundPlayerTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QString Make(const QString& name, const QByteArray& bytes) const {
        return WriteFile(Path(name), bytes);
    }
    QTemporaryDir Dir;
};

TEST_F(SoundPlayerTest, MidiAndRmiRenderToAudibleSound) {
    ASSERT_FALSE(MidiSoundFontPath().isEmpty()) << "no General MIDI soundfont installed";
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("tune.mid"), Midi()},
                                      std::pair{QStringLiteral("TUNE.MIDI"), Midi()},
                                      std::pair{QStringLiteral("tune.rmi"), Rmi(Midi())}}) {
        SCOPED_TRACE(name.toStdString());
        const std::vector<qint16> samples = RenderMidiFile(Make(name, bytes), 5000);
        // Two notes of half a second each, at 44,100 Hz stereo, then the
        // release of the last note.
        EXPECT_GE(samples.size(), size_t(44100 * 2 * 9 / 10));
        EXPECT_LT(samples.size(), size_t(44100 * 2 * 5));
        EXPECT_GT(Peak(samples), 300);
    }
}

TEST_F(SoundPlayerTest, RenderingStopsAtTheLimit) {
    const std::vector<qint16> samples = RenderMidiFile(Make(QStringLiteral("t.mid"), Midi()), 100);
    EXPECT_LE(samples.size(), size_t(44100 * 2 / 10 + 1024));
}

TEST_F(SoundPlayerTest, DamagedMidiRendersNothing) {
    const QByteArray midi = Midi();
    QByteArray badChunk = Rmi(midi);
    qToLittleEndian(quint32(0x7fffffff), badChunk.data() + 16); // data chunk longer than the file
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty.mid", QByteArray()},
        {"text.mid", QByteArray("this is not a tune")},
        {"header-only.mid", midi.left(14)},
        {"cut-track.mid", midi.left(midi.size() - 6)},
        {"riff-not-rmid.rmi", "RIFF" + Le32(4) + "WAVE"},
        {"rmi-without-data.rmi", "RIFF" + Le32(4) + "RMID"},
        {"rmi-bad-chunk.rmi", badChunk},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        // Whatever survives of a damaged tune must at least not be noise
        // from nowhere; most of these never start.
        const std::vector<qint16> samples = RenderMidiFile(Make(QLatin1String(name), bytes), 3000);
        EXPECT_LE(samples.size(), size_t(44100 * 2 * 3 + 1024));
    }
    EXPECT_TRUE(RenderMidiFile(Path(QStringLiteral("missing.mid")), 1000).empty());
    EXPECT_TRUE(RenderMidiFile(Make(QStringLiteral("text2.mid"), "nothing"), 1000).empty());
}

struct MediaCase {
    const char* Name;
    int ExpectedMs;
};

TEST_F(SoundPlayerTest, WavMp3AndAuLoadWithTheirDuration) {
    const MediaCase cases[] = {
        {"tone.wav", 400}, {"tone.au", 400}, {"tone.mp3", 500}, {"TONE.WAV", 400}};
    Make(QStringLiteral("tone.wav"), Wav(22050, 400));
    Make(QStringLiteral("TONE.WAV"), Wav(8000, 400));
    Make(QStringLiteral("tone.au"), Au(8000, 400));
    QFile::copy(Mp3Fixture(), Path(QStringLiteral("tone.mp3")));
    for (const MediaCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path = Path(QLatin1String(c.Name));
        EXPECT_GT(DecodedPeak(path), 0.2);
        SoundPlayer player;
        QSignalSpy loaded(&player, &SoundPlayer::Loaded);
        ASSERT_TRUE(player.Open(path));
        EXPECT_TRUE(player.IsOpen());
        EXPECT_FALSE(player.IsPlaying());
        ASSERT_EVENTUALLY(!loaded.isEmpty(), 10000);
        // MP3 frames round the length up a little.
        EXPECT_GE(player.DurationMs(), c.ExpectedMs - 20);
        EXPECT_LE(player.DurationMs(), c.ExpectedMs + 120);
    }
}

TEST_F(SoundPlayerTest, PlayRunsToTheEndWithoutWaiting) {
    SoundPlayer player;
    QSignalSpy finished(&player, &SoundPlayer::Finished);
    ASSERT_TRUE(player.Open(Make(QStringLiteral("short.wav"), Wav(8000, 300))));
    QElapsedTimer clock;
    clock.start();
    player.Play();
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_TRUE(player.IsPlaying());
    ASSERT_EVENTUALLY((finished.size()) == (1), 10000);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(player.IsOpen());
}

TEST_F(SoundPlayerTest, PlayingAgainStartsFromTheBeginning) {
    SoundPlayer player;
    QSignalSpy finished(&player, &SoundPlayer::Finished);
    ASSERT_TRUE(player.Open(Make(QStringLiteral("a.wav"), Wav(8000, 600))));
    player.Play();
    QTest::qWait(400);
    QElapsedTimer clock;
    clock.start();
    player.Play();
    ASSERT_EVENTUALLY((finished.size()) == (1), 10000);
    // The whole sound again, not the rest of the first play.
    EXPECT_GE(clock.elapsed(), 450);
    QTest::qWait(300);
    EXPECT_EQ(finished.size(), 1);

    // After it has ended, too.
    player.Play();
    EXPECT_TRUE(player.IsPlaying());
    ASSERT_EVENTUALLY((finished.size()) == (2), 10000);
}

TEST_F(SoundPlayerTest, StopAndCloseReportNoFinish) {
    SoundPlayer player;
    QSignalSpy finished(&player, &SoundPlayer::Finished);
    ASSERT_TRUE(player.Open(Make(QStringLiteral("b.wav"), Wav(8000, 300))));
    player.Play();
    QTest::qWait(100);
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(player.IsOpen());
    QTest::qWait(500);
    EXPECT_TRUE(finished.isEmpty());

    player.Play();
    QTest::qWait(100);
    player.Close();
    EXPECT_FALSE(player.IsOpen());
    EXPECT_FALSE(player.IsPlaying());
    QTest::qWait(500);
    EXPECT_TRUE(finished.isEmpty());
    // Everything on a closed player is harmless.
    player.Play();
    player.Stop();
    player.Close();
    EXPECT_EQ(player.DurationMs(), 0);
}

TEST_F(SoundPlayerTest, MissingAndDamagedFilesAreSwallowed) {
    const std::pair<const char*, QByteArray> damaged[] = {
        {"garbage.wav", QByteArray(2000, '\x5a')},
        {"cut.wav", Wav(8000, 300).left(30)},
        {"empty.mp3", QByteArray()},
        {"garbage.mp3", QByteArray(3000, '\x11')},
        {"cut.au", Au(8000, 300).left(10)},
        {"text.mid", QByteArray("not a tune at all")},
        {"noextension", Wav(8000, 100)},
    };
    {
        SoundPlayer player;
        EXPECT_FALSE(player.Open(Path(QStringLiteral("missing.wav"))));
        EXPECT_FALSE(player.Open(Path(QStringLiteral("missing.mid"))));
        EXPECT_FALSE(player.Open(Dir.path())); // a folder
        EXPECT_FALSE(player.IsOpen());
        player.Play();
        EXPECT_FALSE(player.IsPlaying());
    }
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        SoundPlayer player;
        player.Open(Make(QLatin1String(name), bytes));
        player.Play();
        // A damaged medium ends by itself, or never starts.
        ASSERT_EVENTUALLY(!player.IsPlaying(), 10000);
        // Played again once its failure is known, it still ends by itself,
        // so that whoever waits for its end is not kept waiting.
        QSignalSpy finished(&player, &SoundPlayer::Finished);
        player.Play();
        if (player.IsOpen()) {
            ASSERT_EVENTUALLY(!finished.isEmpty(), 10000);
        }
        EXPECT_FALSE(player.IsPlaying());
        player.Stop();
        player.Close();
        EXPECT_FALSE(player.IsOpen());
    }
}

TEST_F(SoundPlayerTest, MidiOpensOrStaysSilentWithoutHanging) {
    // Whether an audio device exists depends on the machine; either way the
    // calls come back promptly and never throw.
    SoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    const bool opened = player.Open(Make(QStringLiteral("t.mid"), Midi()));
    EXPECT_EQ(player.IsOpen(), opened);
    player.Play();
    EXPECT_EQ(player.IsPlaying(), opened);
    player.Play();
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    player.Close();
    EXPECT_FALSE(player.IsOpen());
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(SoundPlayerTest, MidiPlaysThroughFluidSynthToItsEnd) {
    const QString output = Path(QStringLiteral("heard.raw"));
    testsupport::ScopedEnv device("ZORVANE_MIDI_OUTPUT", output);
    const QString tune = Make(QStringLiteral("t.mid"), Midi());
    {
        SoundPlayer player;
        QSignalSpy finished(&player, &SoundPlayer::Finished);
        ASSERT_TRUE(player.Open(tune));
        QElapsedTimer clock;
        clock.start();
        player.Play();
        EXPECT_LT(clock.elapsed(), 500);
        EXPECT_TRUE(player.IsPlaying());
        ASSERT_EVENTUALLY((finished.size()) == (1), 15000);
        // Played at the pace of a device: the two notes take a second.
        EXPECT_GE(clock.elapsed(), 900);
        EXPECT_FALSE(player.IsPlaying());
        player.Close();
    }
    const QByteArray raw = testsupport::ReadFile(output);
    std::vector<qint16> heard(size_t(raw.size() / 2));
    std::memcpy(heard.data(), raw.constData(), heard.size() * 2);
    EXPECT_GE(heard.size(), size_t(44100 * 2 * 9 / 10));
    EXPECT_GT(Peak(heard), 300);
}

TEST_F(SoundPlayerTest, MidiPlayedAgainStartsOverAndStopEndsIt) {
    testsupport::ScopedEnv device("ZORVANE_MIDI_OUTPUT", Path(QStringLiteral("heard.raw")));
    SoundPlayer player;
    QSignalSpy finished(&player, &SoundPlayer::Finished);
    ASSERT_TRUE(player.Open(Make(QStringLiteral("t.mid"), Midi())));
    player.Play();
    QTest::qWait(600);
    QElapsedTimer clock;
    clock.start();
    player.Play();
    ASSERT_EVENTUALLY((finished.size()) == (1), 15000);
    EXPECT_GE(clock.elapsed(), 900);

    player.Play();
    QTest::qWait(200);
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
    QTest::qWait(1500);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_TRUE(player.IsOpen());
}

TEST_F(SoundPlayerTest, OpeningAnotherSoundClosesTheFirst) {
    SoundPlayer player;
    ASSERT_TRUE(player.Open(Make(QStringLiteral("c.wav"), Wav(8000, 300))));
    player.Play();
    EXPECT_FALSE(player.Open(Path(QStringLiteral("gone.wav"))));
    EXPECT_FALSE(player.IsOpen());
    EXPECT_FALSE(player.IsPlaying());
}

TEST(SoundTypes, MidiIsToldByExtension) {
    EXPECT_TRUE(IsMidiSoundFile(QStringLiteral("/a/b.mid")));
    EXPECT_TRUE(IsMidiSoundFile(QStringLiteral("B.MIDI")));
    EXPECT_TRUE(IsMidiSoundFile(QStringLiteral("x.Rmi")));
    EXPECT_FALSE(IsMidiSoundFile(QStringLiteral("x.wav")));
    EXPECT_FALSE(IsMidiSoundFile(QStringLiteral("mid")));
    EXPECT_FALSE(IsMidiSoundFile(QStringLiteral("x.mid.mp3")));
}

TEST(SoundTypes, SoundFontOverrideMustNameAFile) {
    QTemporaryDir dir;
    const QString font = WriteFile(dir.filePath(QStringLiteral("my.sf2")), "x");
    {
        testsupport::ScopedEnv env("ZORVANE_SOUNDFONT", font);
        EXPECT_EQ(MidiSoundFontPath(), font);
    }
    {
        testsupport::ScopedEnv env("ZORVANE_SOUNDFONT", dir.filePath(QStringLiteral("none.sf2")));
        EXPECT_NE(MidiSoundFontPath(), dir.filePath(QStringLiteral("none.sf2")));
    }
    {
        // A soundfont that is no soundfont: nothing renders, nothing breaks.
        testsupport::ScopedEnv env("ZORVANE_SOUNDFONT", font);
        const QString tune = WriteFile(dir.filePath(QStringLiteral("t.mid")), Midi());
        EXPECT_TRUE(RenderMidiFile(tune, 1000).empty());
        SoundPlayer player;
        EXPECT_FALSE(player.Open(tune));
    }
}

} // namespace
