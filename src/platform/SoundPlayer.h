#pragma once

#include <QObject>
#include <QString>

#include <memory>

// One sound at a time, like a media device opened under one alias: open by
// path, play asynchronously, stop, close. Every failure (missing or damaged
// file, no audio device) is swallowed: the sound simply does not play.
// MIDI goes to FluidSynth with the General MIDI soundfont; WAV, MP3 and AU
// go to Qt Multimedia.
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

private:
    struct Impl;
    std::unique_ptr<Impl> D;
};
