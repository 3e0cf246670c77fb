// Writes the sample sound library at build time: MIDI tunes from note lists,
// and chimes synthesised from decaying sines as WAV and AU.
//   zorvane_make_sounds OUT_FOLDER NAME...
// Each NAME is one of the files below; an unknown name fails the build.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutBig(Bytes& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void PutLittle(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void PutText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// ---- MIDI ------------------------------------------------------------------

constexpr int kTicksPerQuarter = 480;
constexpr int Q = kTicksPerQuarter;
constexpr int E = Q / 2;
constexpr int H = Q * 2;
constexpr int DH = Q * 3; // dotted half: a bar of 3/4
constexpr int Rest = -1;

struct Note {
    int Pitch; // MIDI note number, or Rest
    int Ticks;
};

struct MidiEvent {
    uint32_t Tick;
    int Order; // at one tick: meta and programs first, then note-offs, then note-ons
    Bytes Data;
};

class MidiTrack {
public:
    void Meta(uint32_t tick, uint8_t type, const Bytes& data) {
        Bytes bytes{0xff, type};
        PutVariable(bytes, uint32_t(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        Events.push_back({tick, 0, bytes});
    }
    void Name(const std::string& name) { Meta(0, 0x03, Bytes(name.begin(), name.end())); }
    void Tempo(int beatsPerMinute) {
        Bytes data;
        PutBig(data, uint32_t(60000000 / beatsPerMinute), 3);
        Meta(0, 0x51, data);
    }
    void TimeSignature(int beats) { Meta(0, 0x58, Bytes{uint8_t(beats), 2, 24, 8}); }
    void Program(int channel, int program) {
        Events.push_back({0, 0, Bytes{uint8_t(0xc0 | channel), uint8_t(program)}});
    }
    // Plays a note; it sounds for the given share of its length, so that
    // repeated notes are heard as separate strokes.
    void Play(uint32_t tick, int channel, int pitch, int ticks, int velocity, double held = 0.92) {
        const uint32_t length = std::max<uint32_t>(1, uint32_t(ticks * held));
        Events.push_back(
            {tick, 2, Bytes{uint8_t(0x90 | channel), uint8_t(pitch), uint8_t(velocity)}});
        Events.push_back({tick + length, 1, Bytes{uint8_t(0x80 | channel), uint8_t(pitch), 0}});
    }
    // A melody from a note list; returns the tick after its last note.
    uint32_t Melody(uint32_t tick, int channel, const std::vector<Note>& notes, int velocity) {
        for (const Note& note : notes) {
            if (note.Pitch != Rest)
                Play(tick, channel, note.Pitch, note.Ticks, velocity);
            tick += uint32_t(note.Ticks);
        }
        return tick;
    }
    Bytes Chunk() const {
        std::vector<MidiEvent> events = Events;
        std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
            return std::tie(a.Tick, a.Order) < std::tie(b.Tick, b.Order);
        });
        Bytes body;
        uint32_t last = 0;
        for (const MidiEvent& event : events) {
            PutVariable(body, event.Tick - last);
            body.insert(body.end(), event.Data.begin(), event.Data.end());
            last = event.Tick;
        }
        const uint32_t end = events.empty() ? 0 : events.back().Tick;
        PutVariable(body, end - last);
        body.insert(body.end(), {0xff, 0x2f, 0x00});
        Bytes chunk;
        PutText(chunk, "MTrk");
        PutBig(chunk, uint32_t(body.size()), 4);
        chunk.insert(chunk.end(), body.begin(), body.end());
        return chunk;
    }

private:
    static void PutVariable(Bytes& out, uint32_t value) {
        uint8_t groups[5];
        int count = 0;
        do {
            groups[count++] = uint8_t(value & 0x7f);
            value >>= 7;
        } while (value != 0);
        while (count > 1)
            out.push_back(uint8_t(groups[--count] | 0x80));
        out.push_back(groups[0]);
    }
    std::vector<MidiEvent> Events;
};

Bytes MidiFile(int format, const std::vector<MidiTrack>& tracks) {
    Bytes out;
    PutText(out, "MThd");
    PutBig(out, 6, 4);
    PutBig(out, uint32_t(format), 2);
    PutBig(out, uint32_t(tracks.size()), 2);
    PutBig(out, kTicksPerQuarter, 2);
    for (const MidiTrack& track : tracks) {
        const Bytes chunk = track.Chunk();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

// Notes by name, C4 = 60.
// clang-format off
enum Pitch : int {
    G2 = 43,
    C3 = 48, D3 = 50, E3 = 52, F3 = 53, G3 = 55, A3 = 57, B3 = 59,
    C4 = 60, D4 = 62, E4 = 64, F4 = 65, G4 = 67, A4 = 69, B4 = 71,
    C5 = 72, D5 = 74, E5 = 76, F5 = 77, G5 = 79,
};
// clang-format on

// Chords of an accompaniment: root (played low) and the triad above.
struct Chord {
    int Bass;
    int Triad[3];
};

// A cheerful waltz of our own for birthdays: melody and oom-pah-pah.
Bytes Birthday() {
    MidiTrack conductor;
    conductor.Name("Birthday");
    conductor.TimeSignature(3);
    conductor.Tempo(150);

    MidiTrack melody;
    melody.Name("Melody");
    melody.Program(0, 11); // vibraphone
    // One bar a line.
    // clang-format off
    melody.Melody(0, 0, {
        {G4, Q}, {G4, E}, {A4, E}, {B4, Q},
        {C5, H}, {G4, Q},
        {E5, Q}, {D5, Q}, {C5, Q},
        {D5, DH},
        {E5, Q}, {E5, E}, {D5, E}, {C5, Q},
        {A4, H}, {F4, Q},
        {G4, Q}, {B4, Q}, {D5, Q},
        {C5, DH},
    }, 100);
    // clang-format on

    MidiTrack band;
    band.Name("Accompaniment");
    band.Program(1, 0); // piano
    const Chord bars[] = {{C3, {E4, G4, C5}}, {C3, {E4, G4, C5}}, {A3, {C4, E4, A4}},
                          {G2, {B3, D4, G4}}, {C3, {E4, G4, C5}}, {F3, {A3, C4, F4}},
                          {G2, {B3, D4, G4}}, {C3, {E4, G4, C5}}};
    uint32_t tick = 0;
    for (const Chord& chord : bars) {
        band.Play(tick, 1, chord.Bass, Q, 80);
        for (int beat = 1; beat < 3; ++beat) {
            for (int pitch : chord.Triad)
                band.Play(tick + uint32_t(beat * Q), 1, pitch, Q, 55, 0.6);
        }
        tick += DH;
    }
    return MidiFile(1, {conductor, melody, band});
}

// A short brass fanfare, all channels in one track.
Bytes Fanfare() {
    constexpr int T = Q / 3; // triplet eighth
    MidiTrack track;
    track.Name("Fanfare");
    track.TimeSignature(4);
    track.Tempo(112);
    track.Program(0, 56); // trumpet
    track.Program(1, 61); // brass section
    track.Program(2, 47); // timpani
    track.Melody(0, 0,
                 {{G4, T}, {G4, T}, {G4, T}, {C5, Q}, {E5, Q}, {G5, Q + E}, {E5, E}, {G5, H + Q}},
                 110);
    const std::vector<std::pair<uint32_t, std::vector<int>>> chords = {
        {Q, {C4, E4, G4}}, {Q * 3, {B3, D4, G4}}, {Q * 5, {C4, E4, G4, C5}}};
    const uint32_t ends[] = {Q * 3, Q * 5, Q * 8};
    for (size_t i = 0; i < chords.size(); ++i) {
        for (int pitch : chords[i].second)
            track.Play(chords[i].first, 1, pitch, int(ends[i] - chords[i].first), 80, 0.97);
    }
    track.Play(Q, 2, C3, Q, 100);
    track.Play(Q * 3, 2, G2, Q, 100);
    for (int i = 0; i < 8; ++i) // a roll growing into the last chord
        track.Play(uint32_t(Q * 5 + i * (Q / 4)), 2, C3, Q / 4, 60 + i * 6, 0.9);
    track.Play(Q * 7, 2, C3, Q, 120);
    return MidiFile(0, {track});
}

// A slow music-box lullaby over soft strings.
Bytes Lullaby() {
    MidiTrack conductor;
    conductor.Name("Lullaby");
    conductor.TimeSignature(3);
    conductor.Tempo(84);

    MidiTrack box;
    box.Name("Music box");
    box.Program(0, 10); // music box
    // One bar a line.
    // clang-format off
    box.Melody(0, 0, {
        {E5, Q}, {G5, Q}, {E5, Q},
        {D5, H}, {C5, Q},
        {D5, Q}, {E5, Q}, {G4, Q},
        {C5, DH},
        {A4, Q}, {C5, Q}, {A4, Q},
        {G4, H}, {E4, Q},
        {F4, Q}, {D5, Q}, {B4, Q},
        {C5, DH},
    }, 90);
    // clang-format on

    MidiTrack strings;
    strings.Name("Strings");
    strings.Program(1, 48); // string ensemble
    const std::vector<std::vector<int>> bars = {{C4, E4, G4}, {B3, D4, G4}, {B3, D4, G4},
                                                {C4, E4, G4}, {A3, C4, F4}, {C4, E4, G4},
                                                {B3, D4, G4}, {C4, E4, G4}};
    uint32_t tick = 0;
    for (const std::vector<int>& chord : bars) {
        for (int pitch : chord)
            strings.Play(tick, 1, pitch, DH, 40, 0.98);
        tick += DH;
    }
    return MidiFile(1, {conductor, box, strings});
}

// ---- Synthesised chimes ------------------------------------------------------

constexpr int kSampleRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Partial {
    double Ratio;     // of the fundamental
    double Amplitude; // relative
    double Decay;     // seconds to fall to 1/e
};

// Mixes struck tones, each a sum of exponentially decaying sines, and
// scales the whole to 80 % of full scale. A short attack and a final fade
// keep the ends free of clicks.
class Mixer {
public:
    explicit Mixer(double seconds) : Samples(size_t(seconds * kSampleRate), 0.0) {}
    void Strike(double at, double frequency, const std::vector<Partial>& partials,
                double loudness = 1.0) {
        const double attack = 0.004;
        const size_t first = size_t(at * kSampleRate);
        for (size_t i = first; i < Samples.size(); ++i) {
            const double t = double(i - first) / kSampleRate;
            double value = 0;
            for (const Partial& partial : partials) {
                value += partial.Amplitude * std::exp(-t / partial.Decay) *
                         std::sin(2 * kPi * frequency * partial.Ratio * t);
            }
            Samples[i] += loudness * value * std::min(1.0, t / attack);
        }
    }
    std::vector<int16_t> Finish() const {
        double peak = 1e-9;
        for (double value : Samples)
            peak = std::max(peak, std::abs(value));
        const size_t fade = size_t(0.05 * kSampleRate);
        std::vector<int16_t> out(Samples.size());
        for (size_t i = 0; i < Samples.size(); ++i) {
            double value = Samples[i] / peak * 0.8;
            const size_t left = Samples.size() - i;
            if (left < fade)
                value *= double(left) / double(fade);
            out[i] = int16_t(std::lround(value * 32767));
        }
        return out;
    }

private:
    std::vector<double> Samples;
};

const std::vector<Partial> kBell = {
    {1.0, 1.0, 0.55}, {2.0, 0.55, 0.4}, {2.76, 0.4, 0.3}, {5.4, 0.22, 0.18}, {8.93, 0.12, 0.1}};
const std::vector<Partial> kPing = {{1.0, 1.0, 0.28}, {3.0, 0.25, 0.1}};
const std::vector<Partial> kPluck = {{1.0, 1.0, 0.3}, {2.0, 0.45, 0.2}, {3.0, 0.2, 0.1}};

double Frequency(int pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

std::vector<int16_t> Chime() {
    Mixer mixer(2.0);
    mixer.Strike(0.0, Frequency(A4 + 12), kBell);
    return mixer.Finish();
}

std::vector<int16_t> Twinkle() {
    Mixer mixer(1.4);
    const int notes[] = {C5 + 12, E5 + 12, G5 + 12, C5 + 24, E5 + 24, G5 + 24};
    for (int i = 0; i < 6; ++i)
        mixer.Strike(0.09 * i, Frequency(notes[i]), kPing, 1.0 - 0.08 * i);
    return mixer.Finish();
}

std::vector<int16_t> Ding() {
    Mixer mixer(1.5);
    mixer.Strike(0.0, Frequency(E5 + 12), {{1.0, 1.0, 0.4}, {2.0, 0.4, 0.25}, {3.0, 0.2, 0.15}});
    return mixer.Finish();
}

std::vector<int16_t> Harp() {
    Mixer mixer(1.7);
    const int notes[] = {C5, D5, E5, G5, A4 + 12, C5 + 12, D5 + 12, E5 + 12, G5 + 12, A4 + 24};
    for (int i = 0; i < 10; ++i)
        mixer.Strike(0.06 * i, Frequency(notes[i]), kPluck, 0.8);
    return mixer.Finish();
}

// 16-bit mono PCM in a RIFF WAVE file.
Bytes Wave(const std::vector<int16_t>& samples) {
    const uint32_t dataSize = uint32_t(samples.size() * 2);
    Bytes out;
    PutText(out, "RIFF");
    PutLittle(out, 36 + dataSize, 4);
    PutText(out, "WAVE");
    PutText(out, "fmt ");
    PutLittle(out, 16, 4);
    PutLittle(out, 1, 2); // PCM
    PutLittle(out, 1, 2); // mono
    PutLittle(out, kSampleRate, 4);
    PutLittle(out, kSampleRate * 2, 4);
    PutLittle(out, 2, 2);
    PutLittle(out, 16, 2);
    PutText(out, "data");
    PutLittle(out, dataSize, 4);
    for (int16_t sample : samples)
        PutLittle(out, uint16_t(sample), 2);
    return out;
}

// 16-bit linear PCM, mono, big-endian, in a Sun audio file.
Bytes Au(const std::vector<int16_t>& samples) {
    const std::string note = "Zorvane";
    Bytes out;
    PutText(out, ".snd");
    PutBig(out, 24 + 8, 4); // header and its 8-byte annotation
    PutBig(out, uint32_t(samples.size() * 2), 4);
    PutBig(out, 3, 4); // 16-bit linear PCM
    PutBig(out, kSampleRate, 4);
    PutBig(out, 1, 4);
    PutText(out, note);
    out.resize(out.size() + 8 - note.size(), 0);
    for (int16_t sample : samples)
        PutBig(out, uint16_t(sample), 2);
    return out;
}

struct SoundFile {
    const char* Name;
    std::function<Bytes()> Make;
};

const std::vector<SoundFile>& SoundFiles() {
    static const std::vector<SoundFile> files = {
        {"Birthday.mid", Birthday},
        {"Fanfare.mid", Fanfare},
        {"Lullaby.mid", Lullaby},
        {"Chime.wav", [] { return Wave(Chime()); }},
        {"Twinkle.wav", [] { return Wave(Twinkle()); }},
        {"Ding.au", [] { return Au(Ding()); }},
        {"Harp.au", [] { return Au(Harp()); }},
    };
    return files;
}

bool Write(const std::filesystem::path& path, const Bytes& bytes) {
    const std::filesystem::path partial = path.string() + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.good())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    return !error;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: zorvane_make_sounds OUT_FOLDER NAME...\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "zorvane_make_sounds: %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const std::string name = argv[i];
        const auto& files = SoundFiles();
        const auto found = std::find_if(files.begin(), files.end(),
                                        [&](const SoundFile& file) { return name == file.Name; });
        if (found == files.end()) {
            std::fprintf(stderr, "zorvane_make_sounds: no sound is called %s\n", name.c_str());
            return 1;
        }
        if (!Write(folder / name, found->Make())) {
            std::fprintf(stderr, "zorvane_make_sounds: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
