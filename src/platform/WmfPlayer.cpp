#include "platform/WmfPlayer.h"

#include "platform/PictureReader.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace wmf {

namespace {

enum MapMode { MmText = 1, MmLoMetric, MmHiMetric, MmLoEnglish, MmHiEnglish, MmTwips };

enum : int {
    PsNull = 5,
    BsSolid = 0,
    BsNull = 1,
    BsHatched = 2,
    BsDibPattern = 5,
    BkTransparent = 1,
    BkOpaque = 2,
    TaUpdateCp = 1,
    TaHorizontal = 6,
    TaRight = 2,
    TaCenter = 6,
    TaVertical = 24,
    TaBottom = 8,
    TaBaseline = 24,
    EtoOpaque = 2,
    EtoClipped = 4,
};

constexpr quint32 RopBlackness = 0x00000042;
constexpr quint32 RopWhiteness = 0x00FF0062;
constexpr quint32 RopPatCopy = 0x00F00021;

// Beyond these a picture looks the same; they keep hostile sizes cheap.
constexpr double MaxFontPixels = 8192;
constexpr double DefaultFontPixels = 16;
constexpr double FarAway = 16777216;
constexpr int MostClipRects = 4096;
constexpr double MostExtent = 2147483647;

struct PenSpec {
    int Style = 0;
    double Width = 0;
    QColor Colour = Qt::black;
};

struct BrushSpec {
    int Style = BsSolid;
    QColor Colour = Qt::white;
    int Hatch = 0;
    QImage Pattern;
};

struct FontSpec {
    int Height = 0;
    int Width = 0;
    int Escapement = 0;
    int Weight = 0;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    QString Face;
};

struct GdiObject {
    enum class Kind { Free, Pen, Brush, Font, Other };
    Kind Type = Kind::Free;
    PenSpec Pen;
    BrushSpec Brush;
    FontSpec Font;
};

struct DcState {
    PenSpec Pen;
    BrushSpec Brush;
    FontSpec Font;
    QColor TextColour = Qt::black;
    QColor BkColour = Qt::white;
    bool BkIsOpaque = true;
    Qt::FillRule Fill = Qt::OddEvenFill;
    int TextAlign = 0;
    int Map = MmText;
    QPointF WindowOrg;
    QSizeF WindowExt{1, 1};
    QPointF Position;
    std::optional<QRegion> Clip; // device pixels
};

class Player {
public:
    Player(const Metafile& mf, Mapping mapping, QSize device, QPointF offset)
        : Mf(mf), Mode(mapping), Device(device), Offset(offset), Objects(size_t(mf.Objects)) {}

    // Extents are whole numbers in GDI's range, never zero: repeated
    // scaling can neither divide by zero nor run off to infinity.
    void SetWindow(QPointF origin, QSizeF extent) {
        S.WindowOrg = origin;
        const auto usable = [](double v) { return v != 0 && std::abs(v) <= MostExtent; };
        if (usable(extent.width()) && usable(extent.height()))
            S.WindowExt = extent;
    }

    // Without a painter, only measures what would be drawn.
    void Play(QPainter* painter) {
        P = painter;
        for (const Record& r : Mf.Records)
            Run(r);
    }

    QRectF Drawn() const { return Bounds; }

private:
    QTransform Map() const {
        double sx = 1, sy = 1;
        if (Mode == Mapping::Window) {
            sx = Device.width() / S.WindowExt.width();
            sy = Device.height() / S.WindowExt.height();
        } else {
            const double perInch[] = {0, 0, 254, 2540, 100, 1000, 1440};
            if (S.Map >= MmLoMetric && S.Map <= MmTwips) {
                sx = ScreenDpi / perInch[S.Map];
                sy = -sx; // y grows upwards in the metric modes
            }
        }
        return QTransform(sx, 0, 0, sy, Offset.x() - S.WindowOrg.x() * sx,
                          Offset.y() - S.WindowOrg.y() * sy);
    }

    QRectF Everywhere() const {
        if (P)
            return QRectF(QPointF(0, 0), QSizeF(Device));
        return QRectF(QPointF(-FarAway, -FarAway), QPointF(FarAway, FarAway));
    }

    // Device rectangle of a logical one, in whole pixels and in range.
    QRect DeviceRect(const QRectF& logical) const {
        const QRectF r = Map().mapRect(logical.normalized()) & Everywhere();
        if (r.isEmpty())
            return {};
        return QRect(QPoint(int(std::floor(r.left())), int(std::floor(r.top()))),
                     QPoint(int(std::ceil(r.right())) - 1, int(std::ceil(r.bottom())) - 1));
    }

    void Extend(const QRectF& device) {
        QRectF r = device;
        if (S.Clip)
            r &= QRectF(S.Clip->boundingRect());
        if (!r.isEmpty())
            Bounds |= r;
    }

    // The painter's clip and transform for the next drawing.
    void Prepare(const QTransform& world) {
        P->setWorldTransform(QTransform());
        if (S.Clip)
            P->setClipRegion(*S.Clip);
        else
            P->setClipping(false);
        P->setWorldTransform(world);
    }

    // The widest pen that still changes what is drawn, in device pixels.
    double WidestPen() const { return P ? 2.0 * (Device.width() + Device.height()) + 2 : FarAway; }

    QPen MakePen(const QTransform& m) const {
        const int style = S.Pen.Style & 0x0F;
        if (style == PsNull)
            return QPen(Qt::NoPen);
        QPen pen(S.Pen.Colour);
        const double scale = std::max(std::abs(m.m11()), std::abs(m.m22()));
        if (S.Pen.Width * std::abs(m.m11()) <= 1 || scale == 0)
            pen.setWidth(0); // one device pixel, as GDI draws thin pens
        else
            pen.setWidthF(std::min(S.Pen.Width, WidestPen() / scale));
        static const Qt::PenStyle Styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine};
        pen.setStyle(style < 5 ? Styles[style] : Qt::SolidLine);
        const int cap = S.Pen.Style & 0x0F00, join = S.Pen.Style & 0xF000;
        pen.setCapStyle(cap == 0x0100 ? Qt::SquareCap : cap == 0x0200 ? Qt::FlatCap : Qt::RoundCap);
        pen.setJoinStyle(join == 0x1000   ? Qt::BevelJoin
                         : join == 0x2000 ? Qt::MiterJoin
                                          : Qt::RoundJoin);
        return pen;
    }

    QBrush MakeBrush(const BrushSpec& logBrush, const QTransform& m) const {
        switch (logBrush.Style) {
        case BsNull:
            return Qt::NoBrush;
        case BsHatched: {
            static const Qt::BrushStyle Hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                     Qt::FDiagPattern, Qt::BDiagPattern,
                                                     Qt::CrossPattern, Qt::DiagCrossPattern};
            const int hatch = logBrush.Hatch >= 0 && logBrush.Hatch < 6 ? logBrush.Hatch : 0;
            return QBrush(logBrush.Colour, Hatches[hatch]);
        }
        case BsDibPattern:
            if (!logBrush.Pattern.isNull()) {
                // Patterns repeat in device pixels, whatever the mapping.
                QBrush brush(logBrush.Pattern);
                brush.setTransform(m.inverted());
                return brush;
            }
            return QBrush(logBrush.Colour);
        default:
            return QBrush(logBrush.Colour);
        }
    }

    void Shape(QPainterPath path, bool filled) {
        const QTransform m = Map();
        const QPen pen = MakePen(m);
        const QBrush brush = filled ? MakeBrush(S.Brush, m) : QBrush(Qt::NoBrush);
        if (pen.style() == Qt::NoPen && brush.style() == Qt::NoBrush)
            return;
        path.setFillRule(S.Fill);
        if (!P) {
            const double scale = std::max(std::abs(m.m11()), std::abs(m.m22()));
            const double half = pen.style() == Qt::NoPen ? 0 : pen.widthF() * scale / 2 + 1;
            Extend(m.map(path).boundingRect().adjusted(-half, -half, half, half));
            return;
        }
        Prepare(m);
        if (brush.style() >= Qt::HorPattern && brush.style() <= Qt::DiagCrossPattern &&
            S.BkIsOpaque)
            P->fillPath(path, S.BkColour);
        P->setPen(pen);
        P->setBrush(brush);
        P->drawPath(path);
    }

    void FillDevice(const QRectF& logical, const QBrush& brush) {
        const QTransform m = Map();
        if (!P) {
            Extend(m.mapRect(logical.normalized()));
            return;
        }
        Prepare(m);
        if (brush.style() >= Qt::HorPattern && brush.style() <= Qt::DiagCrossPattern &&
            S.BkIsOpaque)
            P->fillRect(logical.normalized(), S.BkColour);
        P->fillRect(logical.normalized(), brush);
    }

    // Raster operations that leave the source aside fill with the brush,
    // black or white; the ones that invert the screen have nothing to
    // invert on a transparent picture.
    void PatternBlit(quint32 rop, const QRectF& logical) {
        if (rop == RopPatCopy) {
            const QBrush brush = MakeBrush(S.Brush, Map());
            if (brush.style() != Qt::NoBrush)
                FillDevice(logical, brush);
        } else if (rop == RopBlackness) {
            FillDevice(logical, Qt::black);
        } else if (rop == RopWhiteness) {
            FillDevice(logical, Qt::white);
        }
    }

    static bool UsesSource(quint32 rop) { return (((rop >> 2) ^ rop) & 0x00330000) != 0; }

    // Every raster operation that reads the source copies it: the picture
    // under a metafile is transparent, so there is nothing to combine with.
    void Blit(const QRectF& dest, const QRectF& source, const Dib& dib) {
        const QTransform m = Map();
        const QPointF a = m.map(dest.topLeft()), b = m.map(dest.bottomRight());
        const QRectF target = QRectF(a, b).normalized();
        if (target.isEmpty())
            return;
        const QImage& image = dib.Image;
        QRectF from = source;
        if (dib.BottomUp)
            from.moveTop(image.height() - source.top() - source.height());
        const QRect part = from.toAlignedRect() & image.rect();
        if (part.isEmpty())
            return;
        if (!P) {
            Extend(target);
            return;
        }
        const QRectF visible = target & Everywhere();
        if (visible.isEmpty())
            return;
        const QImage piece = image.copy(part).mirrored(b.x() < a.x(), b.y() < a.y());
        const double kx = piece.width() / target.width(), ky = piece.height() / target.height();
        const QRectF pieceRect((visible.left() - target.left()) * kx,
                               (visible.top() - target.top()) * ky, visible.width() * kx,
                               visible.height() * ky);
        Prepare(QTransform());
        P->drawImage(visible, piece, pieceRect);
    }

    QFont MakeFont(double sy) const {
        const FontSpec& f = S.Font;
        QFont font;
        if (!f.Face.isEmpty())
            font.setFamily(f.Face);
        double px = DefaultFontPixels;
        if (f.Height < 0) {
            px = -double(f.Height) * sy;
        } else if (f.Height > 0) {
            // A positive height is the whole cell, leading included.
            QFont probe = font;
            probe.setPixelSize(100);
            const double cell = QFontMetricsF(probe).height();
            px = double(f.Height) * sy * (cell > 0 ? 100 / cell : 1);
        }
        px = std::clamp(px, 1.0, MaxFontPixels);
        font.setPixelSize(int(std::lround(px)));
        font.setWeight(f.Weight > 0 ? QFont::Weight(std::clamp(f.Weight, 1, 1000)) : QFont::Normal);
        font.setItalic(f.Italic);
        font.setUnderline(f.Underline);
        font.setStrikeOut(f.StrikeOut);
        return font;
    }

    // Text is laid out in device pixels, upright whatever the mapping does
    // to the y axis, as GDI draws it.
    void Text(QPointF at, const QString& text, const std::vector<double>& dx, int options,
              const std::optional<QRectF>& box) {
        const QTransform m = Map();
        if (S.TextAlign & TaUpdateCp)
            at = S.Position;
        const double sx = std::abs(m.m11()), sy = std::abs(m.m22());
        if (options & EtoOpaque && box)
            FillDevice(*box, S.BkColour);
        if (text.isEmpty() || sx == 0 || sy == 0)
            return;
        const QFont font = MakeFont(sy);
        const QFontMetricsF metrics(font);
        double stretch = sx / sy;
        if (S.Font.Width > 0 && metrics.averageCharWidth() > 0)
            stretch = S.Font.Width * sx / metrics.averageCharWidth();
        stretch = std::clamp(stretch, 0.01, 100.0);

        double width = 0;
        std::vector<double> advances;
        if (!dx.empty()) {
            for (double d : dx) {
                advances.push_back(width);
                width += d * sx / stretch;
            }
        } else {
            width = metrics.horizontalAdvance(text);
        }
        const int horizontal = S.TextAlign & TaHorizontal;
        const int vertical = S.TextAlign & TaVertical;
        const double x0 = horizontal == TaCenter ? -width / 2 : horizontal == TaRight ? -width : 0;
        const double baseline = vertical == TaBaseline ? 0
                                : vertical == TaBottom ? -metrics.descent()
                                                       : metrics.ascent();
        QTransform t;
        t.translate(m.map(at).x(), m.map(at).y());
        t.rotate(-S.Font.Escapement / 10.0);
        t.scale(stretch, 1);
        const QRectF cell(x0, baseline - metrics.ascent(), width, metrics.height());
        if (S.TextAlign & TaUpdateCp && horizontal != TaCenter)
            S.Position.rx() += (horizontal == TaRight ? -width : width) * stretch / sx;

        if (!P) {
            QRectF r = t.mapRect(cell);
            if (options & EtoClipped && box)
                r &= m.mapRect(box->normalized());
            Extend(r);
            return;
        }
        Prepare(m);
        if (options & EtoClipped && box)
            P->setClipRect(box->normalized(), Qt::IntersectClip);
        P->setWorldTransform(t);
        if (S.BkIsOpaque)
            P->fillRect(cell, S.BkColour);
        P->setFont(font);
        P->setPen(S.TextColour);
        if (advances.empty()) {
            P->drawText(QPointF(x0, baseline), text);
        } else {
            for (size_t i = 0; i < advances.size() && qsizetype(i) < text.size(); ++i)
                P->drawText(QPointF(x0 + advances[i], baseline), QString(text[qsizetype(i)]));
        }
    }

    // A new object takes the lowest free slot. Some writers count their
    // objects wrongly, so the table grows when it is full.
    void Create(const GdiObject& object) {
        for (GdiObject& slot : Objects) {
            if (slot.Type == GdiObject::Kind::Free) {
                slot = object;
                return;
            }
        }
        if (Objects.size() < 65535)
            Objects.push_back(object);
    }

    void Select(size_t index) {
        if (index >= Objects.size())
            return;
        const GdiObject& object = Objects[index];
        switch (object.Type) {
        case GdiObject::Kind::Pen:
            S.Pen = object.Pen;
            break;
        case GdiObject::Kind::Brush:
            S.Brush = object.Brush;
            break;
        case GdiObject::Kind::Font:
            S.Font = object.Font;
            break;
        default:
            break;
        }
    }

    static QPainterPath Polygon(const Record& r, qint64 word, qint64 count, bool close) {
        r.Need(2 * (word + 2 * count));
        QPainterPath path;
        for (qint64 i = 0; i < count; ++i) {
            const QPointF pt = r.Point(word + 2 * i);
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        if (close && count > 0)
            path.closeSubpath();
        return path;
    }

    // Arcs, pies and chords run counter-clockwise from the start radial to
    // the end radial; equal radials make a whole ellipse.
    void ArcShape(const Record& r) {
        const QPointF end = r.PointYx(0), start = r.PointYx(2);
        const QRectF box = r.Box(4).normalized();
        if (box.width() <= 0 || box.height() <= 0)
            return;
        const QPointF c = box.center();
        const double a = box.width() / 2, b = box.height() / 2;
        // Qt's angles are those of the ellipse's parameter, not of the radial.
        const auto angle = [&](QPointF pt) {
            return std::atan2(a * (c.y() - pt.y()), b * (pt.x() - c.x())) * 180 / M_PI;
        };
        const double from = angle(start);
        double span = angle(end) - from;
        while (span <= 0)
            span += 360;
        QPainterPath path;
        if (r.Function == MetaPie) {
            path.moveTo(c);
            path.arcTo(box, from, span);
            path.closeSubpath();
        } else {
            path.arcMoveTo(box, from);
            path.arcTo(box, from, span);
            if (r.Function == MetaChord)
                path.closeSubpath();
        }
        Shape(path, r.Function != MetaArc);
    }

    void TextOut(const Record& r) {
        const qint64 length = r.I16(0);
        if (length < 0)
            Damaged("a text record has a negative length.");
        const qint64 padded = (length + 1) / 2;
        r.Need(2 + 2 * padded + 4);
        const QString text = DecodeAnsi(r.Params + 2, length);
        Text(r.PointYx(1 + padded), text, {}, 0, std::nullopt);
    }

    void ExtTextOut(const Record& r) {
        const QPointF at = r.PointYx(0);
        const qint64 length = r.I16(2);
        const int options = r.U16(3);
        if (length < 0)
            Damaged("a text record has a negative length.");
        qint64 word = 4;
        std::optional<QRectF> box;
        if (options & (EtoOpaque | EtoClipped)) {
            box = QRectF(QPointF(r.I16(4), r.I16(5)), QPointF(r.I16(6), r.I16(7)));
            word += 4;
        }
        r.Need(2 * word + length);
        const QString text = DecodeAnsi(r.Params + 2 * word, length);
        word += (length + 1) / 2;
        std::vector<double> dx;
        if (r.Size >= 2 * (word + length))
            for (qint64 i = 0; i < length; ++i)
                dx.push_back(r.I16(word + i));
        Text(at, text, dx, options, box);
    }

    // The bitmap records: StretchDIB, DIBStretchBlt and DIBBitBlt, the last
    // two also without a bitmap, when they only fill.
    void BitmapRecord(const Record& r) {
        const quint32 rop = r.U32(0);
        QRectF dest, from;
        qint64 dibAt = 0;
        if (r.Function == MetaStretchDib) {
            dest = QRectF(QPointF(r.I16(10), r.I16(9)), QSizeF(r.I16(8), r.I16(7)));
            from = QRectF(QPointF(r.I16(6), r.I16(5)), QSizeF(r.I16(4), r.I16(3)));
            if (r.U16(2) != 0)
                return; // colours as palette indices: no palette is kept here
            dibAt = 22;
        } else if (r.Function == MetaDibStretchBlt) {
            if (r.Size == 22)
                return PatternBlit(
                    rop, QRectF(QPointF(r.I16(10), r.I16(9)), QSizeF(r.I16(8), r.I16(7))));
            dest = QRectF(QPointF(r.I16(9), r.I16(8)), QSizeF(r.I16(7), r.I16(6)));
            from = QRectF(QPointF(r.I16(5), r.I16(4)), QSizeF(r.I16(3), r.I16(2)));
            dibAt = 20;
        } else {
            if (r.Size == 18)
                return PatternBlit(rop,
                                   QRectF(QPointF(r.I16(8), r.I16(7)), QSizeF(r.I16(6), r.I16(5))));
            dest = QRectF(QPointF(r.I16(7), r.I16(6)), QSizeF(r.I16(5), r.I16(4)));
            from = QRectF(QPointF(r.I16(3), r.I16(2)), dest.size());
            dibAt = 16;
        }
        if (!UsesSource(rop))
            return PatternBlit(rop, dest);
        r.Need(dibAt);
        if (const auto dib = DecodeDib(r.Params + dibAt, r.Size - dibAt))
            Blit(dest, from, *dib);
    }

    void RestoreDc(int n) {
        size_t target = 0;
        if (n < 0 && Saved.size() >= size_t(-qint64(n)))
            target = Saved.size() - size_t(-qint64(n));
        else if (n > 0 && size_t(n) <= Saved.size())
            target = size_t(n) - 1;
        else
            return;
        S = Saved[target];
        Saved.resize(target);
    }

    void ClipRect(const QRectF& logical, bool exclude) {
        const QRect r = DeviceRect(logical);
        if (!exclude) {
            S.Clip = S.Clip ? S.Clip->intersected(r) : QRegion(r);
            return;
        }
        if (r.isEmpty())
            return;
        const QRegion base = S.Clip ? *S.Clip : QRegion(Everywhere().toRect());
        // Each exclusion can split the region further; past this many pieces
        // a hostile file only makes drawing slow.
        if (base.rectCount() < MostClipRects)
            S.Clip = base.subtracted(r);
    }

    void Pixel(QPointF logical, const QColor& colour) {
        const QPointF at = Map().map(logical);
        const QRectF pixel(std::floor(at.x()), std::floor(at.y()), 1, 1);
        if (!P)
            return Extend(pixel);
        Prepare(QTransform());
        P->fillRect(pixel, colour);
    }

    void CreateFont(const Record& r) {
        r.Need(18);
        GdiObject o;
        o.Type = GdiObject::Kind::Font;
        o.Font.Height = r.I16(0);
        o.Font.Width = std::abs(int(r.I16(1)));
        o.Font.Escapement = r.I16(2);
        o.Font.Weight = r.I16(4);
        o.Font.Italic = r.Params[10] != 0;
        o.Font.Underline = r.Params[11] != 0;
        o.Font.StrikeOut = r.Params[12] != 0;
        const qint64 faceLength = std::min<qint64>(32, r.Size - 18);
        qint64 n = 0;
        while (n < faceLength && r.Params[18 + n] != 0)
            ++n;
        o.Font.Face = DecodeAnsi(r.Params + 18, n);
        Create(o);
    }

    void CreatePatternBrush(const Record& r) {
        const int style = r.U16(0);
        GdiObject o;
        o.Type = GdiObject::Kind::Other;
        if ((style == BsDibPattern || style == BsDibPattern + 1) && r.U16(1) == 0) {
            if (const auto dib = DecodeDib(r.Params + 4, r.Size - 4)) {
                o.Type = GdiObject::Kind::Brush;
                o.Brush.Style = BsDibPattern;
                o.Brush.Pattern = dib->Image;
            }
        }
        Create(o);
    }

    void Run(const Record& r) {
        switch (r.Function) {
        case MetaSaveDc:
            if (Saved.size() < 65536)
                Saved.push_back(S);
            break;
        case MetaRestoreDc:
            RestoreDc(r.I16(0));
            break;
        case MetaSetBkMode:
            if (r.U16(0) == BkTransparent || r.U16(0) == BkOpaque)
                S.BkIsOpaque = r.U16(0) == BkOpaque;
            break;
        case MetaSetMapMode:
            S.Map = r.U16(0);
            break;
        case MetaSetPolyFillMode:
            S.Fill = r.U16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case MetaSetTextAlign:
            S.TextAlign = r.U16(0);
            break;
        case MetaSetBkColor:
            S.BkColour = r.Colour(0);
            break;
        case MetaSetTextColor:
            S.TextColour = r.Colour(0);
            break;
        case MetaSetWindowOrg:
            S.WindowOrg = r.PointYx(0);
            break;
        case MetaSetWindowExt: {
            const QPointF e = r.PointYx(0);
            SetWindow(S.WindowOrg, QSizeF(e.x(), e.y()));
            break;
        }
        case MetaOffsetWindowOrg:
            S.WindowOrg += r.PointYx(0);
            break;
        case MetaScaleWindowExt: {
            const int yDenom = r.I16(0), yNum = r.I16(1), xDenom = r.I16(2), xNum = r.I16(3);
            if (xDenom != 0 && yDenom != 0)
                SetWindow(S.WindowOrg, QSizeF(std::trunc(S.WindowExt.width() * xNum / xDenom),
                                              std::trunc(S.WindowExt.height() * yNum / yDenom)));
            break;
        }
        case MetaMoveTo:
            S.Position = r.PointYx(0);
            break;
        case MetaLineTo: {
            const QPointF to = r.PointYx(0);
            QPainterPath path(S.Position);
            path.lineTo(to);
            S.Position = to;
            Shape(path, false);
            break;
        }
        case MetaPolyline:
        case MetaPolygon: {
            const qint64 count = r.I16(0);
            if (count < 0)
                Damaged("a polygon has a negative number of points.");
            const bool polygon = r.Function == MetaPolygon;
            Shape(Polygon(r, 1, count, polygon), polygon);
            break;
        }
        case MetaPolyPolygon: {
            const qint64 polygons = r.U16(0);
            r.Need(2 + 2 * polygons);
            QPainterPath path;
            qint64 word = 1 + polygons;
            for (qint64 i = 0; i < polygons; ++i) {
                const qint64 count = r.U16(1 + i);
                path.addPath(Polygon(r, word, count, true));
                word += 2 * count;
            }
            Shape(path, true);
            break;
        }
        case MetaRectangle: {
            QPainterPath path;
            path.addRect(r.Box(0).normalized());
            Shape(path, true);
            break;
        }
        case MetaEllipse: {
            QPainterPath path;
            path.addEllipse(r.Box(0).normalized());
            Shape(path, true);
            break;
        }
        case MetaRoundRect: {
            QPainterPath path;
            path.addRoundedRect(r.Box(2).normalized(), std::abs(r.I16(1)) / 2.0,
                                std::abs(r.I16(0)) / 2.0);
            Shape(path, true);
            break;
        }
        case MetaArc:
        case MetaPie:
        case MetaChord:
            ArcShape(r);
            break;
        case MetaSetPixel:
            Pixel(r.PointYx(2), r.Colour(0));
            break;
        case MetaTextOut:
            TextOut(r);
            break;
        case MetaExtTextOut:
            ExtTextOut(r);
            break;
        case MetaPatBlt:
            PatternBlit(r.U32(0), QRectF(QPointF(r.I16(5), r.I16(4)), QSizeF(r.I16(3), r.I16(2))));
            break;
        case MetaStretchDib:
        case MetaDibStretchBlt:
        case MetaDibBitBlt:
            BitmapRecord(r);
            break;
        case MetaExcludeClipRect:
        case MetaIntersectClipRect:
            ClipRect(r.Box(0), r.Function == MetaExcludeClipRect);
            break;
        case MetaCreatePenIndirect: {
            GdiObject o;
            o.Type = GdiObject::Kind::Pen;
            o.Pen.Style = r.U16(0);
            o.Pen.Width = std::abs(int(r.I16(1)));
            o.Pen.Colour = r.Colour(3);
            Create(o);
            break;
        }
        case MetaCreateBrushIndirect: {
            GdiObject o;
            o.Type = GdiObject::Kind::Brush;
            o.Brush.Style = r.U16(0);
            o.Brush.Colour = r.Colour(1);
            o.Brush.Hatch = r.Size >= 8 ? r.U16(3) : 0;
            Create(o);
            break;
        }
        case MetaCreateFontIndirect:
            CreateFont(r);
            break;
        case MetaDibCreatePatternBrush:
            CreatePatternBrush(r);
            break;
        case MetaCreatePalette:
        case MetaCreatePatternBrush:
        case MetaCreateRegion: {
            GdiObject o;
            o.Type = GdiObject::Kind::Other;
            Create(o);
            break;
        }
        case MetaSelectObject:
            Select(r.U16(0));
            break;
        case MetaDeleteObject:
            if (r.U16(0) < Objects.size())
                Objects[r.U16(0)] = GdiObject();
            break;
        default:
            break; // records that do not draw, or that this reader does not know
        }
    }

    const Metafile& Mf;
    Mapping Mode;
    QSize Device;
    QPointF Offset;
    QPainter* P = nullptr;
    DcState S;
    std::vector<DcState> Saved;
    std::vector<GdiObject> Objects;
    QRectF Bounds;
};

} // namespace

QRectF Play(const Metafile& mf, Mapping mapping, QSize device, QPointF offset,
            const std::optional<Window>& window, QPainter* painter) {
    Player player(mf, mapping, device, offset);
    if (window)
        player.SetWindow(window->Origin, window->Extent);
    player.Play(painter);
    return player.Drawn();
}

} // namespace wmf
