#include "GifWriter.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

struct Palette {
    QList<QRgb> Colours;         // Colours[0] is the kept colour
    std::vector<uint8_t> Pixels; // one index per pixel, rows from the top
};

int DistanceSquared(QRgb a, QRgb b) {
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

struct ColourCount {
    QRgb Colour;
    int Count;
};

int Channel(QRgb colour, int channel) {
    return channel == 0 ? qRed(colour) : channel == 1 ? qGreen(colour) : qBlue(colour);
}

// Median cut: the box of colours with the widest spread in one channel is
// split at its median pixel until there are as many boxes as entries; each
// box gives its pixel-weighted mean.
QList<QRgb> MedianCut(std::vector<ColourCount> colours, int entries) {
    struct Box {
        size_t Begin, End;
        int Spread = 0, Axis = 0;
    };
    auto measure = [&colours](Box& box) {
        box.Spread = -1;
        for (int channel = 0; channel < 3; ++channel) {
            int low = 255, high = 0;
            for (size_t i = box.Begin; i < box.End; ++i) {
                low = std::min(low, Channel(colours[i].Colour, channel));
                high = std::max(high, Channel(colours[i].Colour, channel));
            }
            if (high - low > box.Spread) {
                box.Spread = high - low;
                box.Axis = channel;
            }
        }
    };
    std::vector<Box> boxes{{0, colours.size()}};
    measure(boxes[0]);
    while (int(boxes.size()) < entries) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.Spread < b.Spread;
        });
        if (widest->Spread <= 0)
            break;
        Box box = *widest;
        const int axis = box.Axis;
        std::sort(colours.begin() + long(box.Begin), colours.begin() + long(box.End),
                  [axis](const ColourCount& a, const ColourCount& b) {
                      return Channel(a.Colour, axis) < Channel(b.Colour, axis);
                  });
        long long total = 0;
        for (size_t i = box.Begin; i < box.End; ++i)
            total += colours[i].Count;
        size_t middle = box.Begin;
        for (long long seen = 0; middle + 1 < box.End && seen + colours[middle].Count <= total / 2;)
            seen += colours[middle++].Count;
        middle = std::max(middle, box.Begin + 1);
        Box low{box.Begin, middle}, high{middle, box.End};
        measure(low);
        measure(high);
        *widest = low;
        boxes.push_back(high);
    }
    QList<QRgb> palette;
    for (const Box& box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (size_t i = box.Begin; i < box.End; ++i) {
            r += qRed(colours[i].Colour) * double(colours[i].Count);
            g += qGreen(colours[i].Colour) * double(colours[i].Count);
            b += qBlue(colours[i].Colour) * double(colours[i].Count);
            n += colours[i].Count;
        }
        palette.append(qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5)));
    }
    return palette;
}

// Exact colours when there are few enough, otherwise a median cut; keep
// is always entry 0 and only keep itself maps to it.
Palette MakePalette(const QImage& source, QRgb keep) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    keep |= 0xff000000u;
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++counts[line[x] | 0xff000000u];
    }
    counts.remove(keep);
    std::vector<ColourCount> colours;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        colours.push_back({it.key(), it.value()});
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.Colour < b.Colour; });

    Palette palette;
    palette.Colours.append(keep);
    QHash<QRgb, uint8_t> nearest;
    nearest.insert(keep, 0);
    if (colours.size() < 256) {
        for (const ColourCount& entry : colours) {
            nearest.insert(entry.Colour, uint8_t(palette.Colours.size()));
            palette.Colours.append(entry.Colour);
        }
    } else {
        for (QRgb colour : MedianCut(colours, 255)) {
            // A mean may land on the background by chance: move it a shade.
            if (colour == keep)
                colour = qRgb(qRed(colour) ^ 1, qGreen(colour), qBlue(colour));
            palette.Colours.append(colour);
        }
    }

    palette.Pixels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = line[x] | 0xff000000u;
            auto found = nearest.constFind(colour);
            if (found == nearest.cend()) {
                int best = 1;
                for (int i = 2; i < palette.Colours.size(); ++i) {
                    if (DistanceSquared(colour, palette.Colours[i]) <
                        DistanceSquared(colour, palette.Colours[best]))
                        best = i;
                }
                found = nearest.insert(colour, uint8_t(best));
            }
            palette.Pixels.push_back(found.value());
        }
    }
    return palette;
}

// LZW codes packed little-end first into 255-byte sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& out) : Out(out) {}
    void Put(int code, int bits) {
        Accumulator |= uint32_t(code) << Count;
        Count += bits;
        while (Count >= 8) {
            Byte(uint8_t(Accumulator & 0xff));
            Accumulator >>= 8;
            Count -= 8;
        }
    }
    void Finish() {
        if (Count > 0)
            Byte(uint8_t(Accumulator & 0xff));
        Accumulator = 0;
        Count = 0;
        Flush();
        Out.append('\0');
    }

private:
    void Byte(uint8_t byte) {
        Block.append(char(byte));
        if (Block.size() == 255)
            Flush();
    }
    void Flush() {
        if (Block.isEmpty())
            return;
        Out.append(char(Block.size()));
        Out.append(Block);
        Block.clear();
    }
    QByteArray& Out;
    QByteArray Block;
    uint32_t Accumulator = 0;
    int Count = 0;
};

// The code width is the one a decoder uses at each code: it adds a table
// entry for every code after the first since the last clear, and widens
// when the next free entry reaches the width's limit. Following the
// decoder keeps the two in step also for the final code.
void CompressLzw(const std::vector<uint8_t>& pixels, int minCodeSize, QByteArray& out) {
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    CodeWriter writer(out);

    std::vector<uint16_t> table(size_t(4096) * 256, 0); // 0: no entry (codes start above 2)
    int nextCode = 0;
    int decoderNext = 0;
    int width = 0;
    bool decoderFirst = true;
    auto putCode = [&](int code) {
        writer.Put(code, width);
        if (code == clearCode) {
            decoderNext = clearCode + 2;
            width = minCodeSize + 1;
            decoderFirst = true;
            return;
        }
        if (!decoderFirst && decoderNext < 4096) {
            ++decoderNext;
            if (decoderNext == (1 << width) && width < 12)
                ++width;
        }
        decoderFirst = false;
    };
    auto reset = [&] {
        std::fill(table.begin(), table.end(), 0);
        nextCode = endCode + 1;
    };

    width = minCodeSize + 1;
    putCode(clearCode);
    reset();
    if (pixels.empty()) {
        putCode(endCode);
        writer.Finish();
        return;
    }
    int current = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const int k = pixels[i];
        uint16_t& slot = table[size_t(current) * 256 + size_t(k)];
        if (slot != 0) {
            current = slot;
            continue;
        }
        putCode(current);
        slot = uint16_t(nextCode++);
        if (nextCode == 4096) {
            putCode(clearCode);
            reset();
        }
        current = k;
    }
    putCode(current);
    putCode(endCode);
    writer.Finish();
}

void PutWord(QByteArray& out, int value) {
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

} // namespace

QByteArray EncodeGif(const QImage& image, QRgb keep) {
    const Palette palette = MakePalette(image, keep);
    int bits = 1;
    while ((1 << bits) < palette.Colours.size())
        ++bits;

    QByteArray out("GIF89a");
    PutWord(out, image.width());
    PutWord(out, image.height());
    out.append(char(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.append('\0'); // background index
    out.append('\0'); // aspect
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb colour = i < palette.Colours.size() ? palette.Colours[i] : 0;
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    out.append(',');
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, image.width());
    PutWord(out, image.height());
    out.append('\0');
    const int minCodeSize = std::max(2, bits);
    out.append(char(minCodeSize));
    CompressLzw(palette.Pixels, minCodeSize, out);
    out.append(';');
    return out;
}

QImage QuantiseForGif(const QImage& image, QRgb keep) {
    const Palette palette = MakePalette(image, keep);
    QImage result(image.size(), QImage::Format_RGB32);
    size_t i = 0;
    for (int y = 0; y < result.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            line[x] = palette.Colours[palette.Pixels[i++]];
    }
    return result;
}
