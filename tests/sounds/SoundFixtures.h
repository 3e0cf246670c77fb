#pragma once

#include "platform/SoundPlayer.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>

namespace soundtest {

// A valid 8-bit mono wave of a few samples.
inline QByteArray MakeWave(int samples = 64) {
    QByteArray data;
    auto u32 = [&data](quint32 v) {
        for (int i = 0; i < 4; ++i)
            data.append(char((v >> (8 * i)) & 0xff));
    };
    auto u16 = [&data](quint16 v) {
        data.append(char(v & 0xff));
        data.append(char(v >> 8));
    };
    data.append("RIFF");
    u32(36 + samples);
    data.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    data.append("data");
    u32(samples);
    for (int i = 0; i < samples; ++i)
        data.append(char(i % 2 ? 0xa0 : 0x60));
    return data;
}

// A format-0 MIDI file of one note.
inline QByteArray MakeMidi() {
    return QByteArray::fromHex("4d546864000000060000000100604d54726b0000000c"
                               "00903c4060803c0000ff2f00");
}

// Writes down what the dialog asks of its player, for a machine without audio.
class RecordingPlayer : public SoundPlayer {
public:
    explicit RecordingPlayer(std::shared_ptr<QStringList> log) : Log(std::move(log)) {}

    bool Open(const QString& path) override {
        Log->append(QStringLiteral("Open ") + path);
        Opened = true;
        return true;
    }
    void Play() override {
        Log->append(QStringLiteral("Play"));
        Playing = Opened;
    }
    void Stop() override {
        Log->append(QStringLiteral("Stop"));
        Playing = false;
    }
    void Close() override {
        Log->append(QStringLiteral("Close"));
        Opened = Playing = false;
    }
    bool IsOpen() const override { return Opened; }
    bool IsPlaying() const override { return Playing; }

private:
    std::shared_ptr<QStringList> Log;
    bool Opened = false;
    bool Playing = false;
};

} // namespace soundtest

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
