#include "platform/SoundPlayer.h"

#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <fluidsynth.h>

#include <optional>

namespace {

// A MIDI file larger than this is not a greeting tune.
constexpr qint64 kMaxMidiFileSize = qint64(16) << 20;
constexpr int kSampleRate = 44100;

struct SettingsDeleter {
    void operator()(fluid_settings_t* p) const { delete_fluid_settings(p); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* p) const { delete_fluid_synth(p); }
};
struct DriverDeleter {
    void operator()(fluid_audio_driver_t* p) const { delete_fluid_audio_driver(p); }
};
struct PlayerDeleter {
    void operator()(fluid_player_t* p) const { delete_fluid_player(p); }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, SettingsDeleter>;
using SynthPtr = std::unique_ptr<fluid_synth_t, SynthDeleter>;
using DriverPtr = std::unique_ptr<fluid_audio_driver_t, DriverDeleter>;
using PlayerPtr = std::unique_ptr<fluid_player_t, PlayerDeleter>;

// FluidSynth reports every missing device and odd file on stderr; a sound
// that cannot play is not worth a word here.
void QuietFluidSynth() {
    static const bool done = [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)done;
}

// The standard MIDI bytes of a .mid file, or of the "data" chunk of an RMI
// (RIFF RMID) file.
std::optional<QByteArray> ReadMidiBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxMidiFileSize)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "RMID") {
        qsizetype at = 12;
        std::optional<QByteArray> data;
        while (at + 8 <= bytes.size()) {
            const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
            if (size > quint32(bytes.size() - at - 8))
                return std::nullopt;
            if (bytes.mid(at, 4) == "data") {
                data = bytes.mid(at + 8, qsizetype(size));
                break;
            }
            at += 8 + qsizetype(size) + (size & 1);
        }
        if (!data)
            return std::nullopt;
        bytes = *data;
    }
    if (bytes.size() < 14 || !bytes.startsWith("MThd"))
        return std::nullopt;
    return bytes;
}

SettingsPtr MakeSettings() {
    QuietFluidSynth();
    SettingsPtr settings(new_fluid_settings());
    if (!settings)
        return nullptr;
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kSampleRate);
    // Locking the soundfont's samples in memory fails quietly in most
    // sessions and only costs time.
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
    return settings;
}

SynthPtr MakeSynth(fluid_settings_t* settings) {
    const QString font = MidiSoundFontPath();
    if (font.isEmpty())
        return nullptr;
    SynthPtr synth(new_fluid_synth(settings));
    if (!synth ||
        fluid_synth_sfload(synth.get(), QFile::encodeName(font).constData(), 1) == FLUID_FAILED)
        return nullptr;
    return synth;
}

// The first audio output that starts. None on a machine without sound:
// then MIDI stays silent.
DriverPtr MakeDriver(fluid_settings_t* settings, fluid_synth_t* synth) {
    // Tests hear MIDI through FluidSynth's file driver, at the pace of a device.
    const QString output = qEnvironmentVariable("ZORVANE_MIDI_OUTPUT");
    if (!output.isEmpty()) {
        fluid_settings_setstr(settings, "audio.driver", "file");
        fluid_settings_setstr(settings, "audio.file.type", "raw");
        fluid_settings_setstr(settings, "audio.file.name", QFile::encodeName(output).constData());
        return DriverPtr(new_fluid_audio_driver(settings, synth));
    }
    for (const char* name : {"pulseaudio", "pipewire", "alsa"}) {
        if (fluid_settings_setstr(settings, "audio.driver", name) != FLUID_OK)
            continue;
        if (DriverPtr driver{new_fluid_audio_driver(settings, synth)})
            return driver;
    }
    return nullptr;
}

PlayerPtr MakePlayer(fluid_synth_t* synth, const QByteArray& midi) {
    PlayerPtr player(new_fluid_player(synth));
    if (!player ||
        fluid_player_add_mem(player.get(), midi.constData(), size_t(midi.size())) != FLUID_OK ||
        fluid_player_play(player.get()) != FLUID_OK)
        return nullptr;
    return player;
}

} // namespace

bool IsMidiSoundFile(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    return ext == QLatin1String("mid") || ext == QLatin1String("midi") ||
           ext == QLatin1String("rmi");
}

QString MidiSoundFontPath() {
    const QString override = qEnvironmentVariable("ZORVANE_SOUNDFONT");
    if (!override.isEmpty() && QFileInfo(override).isFile())
        return override;
    for (const char* candidate :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"}) {
        const QString path = QLatin1String(candidate);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

std::vector<qint16> RenderMidiFile(const QString& path, int maxMs) {
    const std::optional<QByteArray> midi = ReadMidiBytes(path);
    if (!midi)
        return {};
    SettingsPtr settings = MakeSettings();
    if (!settings)
        return {};
    // Offline: the player follows the rendered samples, not the clock.
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    SynthPtr synth = MakeSynth(settings.get());
    if (!synth)
        return {};
    PlayerPtr player = MakePlayer(synth.get(), *midi);
    if (!player)
        return {};
    constexpr int kBlock = 512;
    const qint64 maxFrames = qint64(maxMs) * kSampleRate / 1000;
    std::vector<qint16> samples;
    qint16 block[kBlock * 2];
    while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING &&
           qint64(samples.size() / 2) < maxFrames) {
        if (fluid_synth_write_s16(synth.get(), kBlock, block, 0, 2, block, 1, 2) != FLUID_OK)
            break;
        samples.insert(samples.end(), block, block + kBlock * 2);
    }
    return samples;
}

struct SoundPlayer::Impl {
    // Counts every Play and Stop: a finish reported for an earlier play
    // belongs to a sound that was stopped or started again.
    quint64 PlayId = 0;
    bool Playing = false;

    // MIDI. The audio thread touches the synth and the player only while the
    // driver exists, so the driver always goes first.
    QByteArray Midi;
    SettingsPtr Settings;
    SynthPtr Synth;
    DriverPtr Driver;
    PlayerPtr Player;

    // WAV, MP3, AU. The audio output is the media player's child.
    std::unique_ptr<QMediaPlayer> Media;

    bool IsMidi() const { return bool(Synth); }

    void DropMidi() {
        Driver.reset();
        Player.reset();
        Synth.reset();
        Settings.reset();
        Midi.clear();
    }
};

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent), D(std::make_unique<Impl>()) {}

SoundPlayer::~SoundPlayer() {
    SoundPlayer::Close();
}

bool SoundPlayer::Open(const QString& path) {
    Close();
    if (!QFileInfo(path).isFile())
        return false;
    if (IsMidiSoundFile(path)) {
        std::optional<QByteArray> midi = ReadMidiBytes(path);
        if (!midi)
            return false;
        D->Settings = MakeSettings();
        if (D->Settings)
            D->Synth = MakeSynth(D->Settings.get());
        if (D->Synth)
            D->Driver = MakeDriver(D->Settings.get(), D->Synth.get());
        if (!D->Driver) {
            D->DropMidi();
            return false;
        }
        D->Midi = *midi;
        return true;
    }
    D->Media = std::make_unique<QMediaPlayer>();
    D->Media->setAudioOutput(new QAudioOutput(D->Media.get()));
    connect(D->Media.get(), &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
                    FinishLater();
                else if (status == QMediaPlayer::LoadedMedia)
                    emit Loaded();
            });
    connect(D->Media.get(), &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString&) { FinishLater(); });
    D->Media->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    return true;
}

void SoundPlayer::Play() {
    if (D->IsMidi()) {
        Stop();
        // Starting again from the beginning: the old player leaves only once
        // the audio thread has stopped.
        if (D->Player) {
            D->Driver.reset();
            D->Player.reset();
            fluid_synth_system_reset(D->Synth.get());
            D->Driver = MakeDriver(D->Settings.get(), D->Synth.get());
        }
        if (!D->Driver)
            return;
        D->Player = MakePlayer(D->Synth.get(), D->Midi);
        D->Playing = bool(D->Player);
        if (!D->Playing)
            return;
        auto* watch = new QTimer(this);
        watch->setInterval(50);
        connect(watch, &QTimer::timeout, this, [this, watch, playId = D->PlayId] {
            if (playId != D->PlayId || !D->Player || !D->Playing) {
                watch->deleteLater();
                return;
            }
            if (fluid_player_get_status(D->Player.get()) == FLUID_PLAYER_PLAYING)
                return;
            watch->deleteLater();
            D->Playing = false;
            emit Finished();
        });
        watch->start();
        return;
    }
    if (D->Media) {
        D->Media->stop();
        ++D->PlayId;
        D->Playing = true;
        // A medium that has already failed says nothing more when played.
        if (D->Media->mediaStatus() == QMediaPlayer::InvalidMedia ||
            D->Media->error() != QMediaPlayer::NoError) {
            FinishLater();
            return;
        }
        D->Media->play();
    }
}

void SoundPlayer::FinishLater() {
    // Reported from the event loop, so that a receiver may close or reopen
    // this player without deleting the media player inside its own signal.
    QTimer::singleShot(0, this, [this, playId = D->PlayId] {
        if (playId != D->PlayId || !D->Playing)
            return;
        D->Playing = false;
        emit Finished();
    });
}

void SoundPlayer::Stop() {
    D->Playing = false;
    ++D->PlayId;
    if (D->IsMidi()) {
        if (D->Player)
            fluid_player_stop(D->Player.get());
        fluid_synth_all_sounds_off(D->Synth.get(), -1);
    } else if (D->Media) {
        D->Media->stop();
    }
}

void SoundPlayer::Close() {
    Stop();
    D->DropMidi();
    if (D->Media) {
        D->Media->disconnect(this);
        D->Media->stop();
        D->Media.reset();
    }
}

bool SoundPlayer::IsOpen() const {
    return D->IsMidi() || D->Media != nullptr;
}

bool SoundPlayer::IsPlaying() const {
    return D->Playing;
}

qint64 SoundPlayer::DurationMs() const {
    return D->Media ? D->Media->duration() : 0;
}
