#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

// One sound at a time, like a media device opened under one alias: open by
// path, play asynchronously, stop, close. Every failure (missing or damaged
// file, no audio device) is swallowed: the sound simply does not play.
// MIDI goes to FluidSynth with the General MIDI soundfont; WAV, MP3 and AU
// go to Qt Multimedia. $ZORVANE_MIDI_OUTPUT, when set, sends MIDI as raw
// samples to that file instead of a device (for tests).
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override; // closes

    // Closes what was open, then opens path. False when it cannot be played.
    virtual bool Open(const QString& path);
    // Plays from the beginning, without waiting.
    virtual void Play();
    virtual void Stop();
    virtual void Close();

    virtual bool IsOpen() const;
    virtual bool IsPlaying() const;

    // Length of the open sound in milliseconds once its medium has loaded;
    // 0 while unknown (always for MIDI).
    virtual qint64 DurationMs() const;

signals:
    // The sound stopped by itself: it reached its end, or failed while
    // playing. Not emitted for Stop or Close.
    void Finished();
    // A WAV, MP3 or AU medium has loaded and its duration is known.
    void Loaded();

private:
    void FinishLater();

    struct Impl;
    std::unique_ptr<Impl> D;
};

// MIDI, RMI (MIDI wrapped in RIFF) by extension; the rest goes to Qt Multimedia.
bool IsMidiSoundFile(const QString& path);

// The General MIDI soundfont in use: $ZORVANE_SOUNDFONT when it names a file,
// else Debian's TimGM6mb, else default-GM. Empty when none exists.
QString MidiSoundFontPath();

// Renders a MIDI or RMI file offline through the same synthesizer setup as
// playback: interleaved stereo 16-bit samples at 44,100 Hz, at most maxMs
// long. Empty when the file cannot be read or is not MIDI.
std::vector<qint16> RenderMidiFile(const QString& path, int maxMs);
