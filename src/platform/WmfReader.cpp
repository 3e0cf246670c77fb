#include "platform/WmfReader.h"

#include "platform/PictureReader.h"
#include "platform/WmfPlayer.h"
#include "platform/WmfRecords.h"

#include <QPainter>

#include <cmath>
#include <optional>

using namespace wmf;

namespace {

// A picture side from a measured length, in range for CheckPictureSize.
qint64 Side(double length) {
    return length > MaxPictureSide ? qint64(MaxPictureSide) + 1 : qint64(std::lround(length));
}

} // namespace

QImage ReadWmf(const QByteArray& data) {
    const Metafile mf = Parse(data);
    Mapping mode = Mapping::Window;
    qint64 width = 0, height = 0;
    QPointF origin, offset;
    QSizeF extent;
    if (mf.Placeable) {
        const QRect& b = mf.Bounds;
        const double w = double(b.right()) - b.left(), h = double(b.bottom()) - b.top();
        width = Side(std::abs(w) * ScreenDpi / mf.Inch);
        height = Side(std::abs(h) * ScreenDpi / mf.Inch);
        origin = QPointF(b.left(), b.top());
        extent = QSizeF(w, h);
    } else {
        std::optional<QPointF> firstOrigin, firstExtent;
        for (const Record& r : mf.Records) {
            if (r.Function == MetaSetWindowOrg && !firstOrigin)
                firstOrigin = r.PointYx(0);
            if (r.Function == MetaSetWindowExt && !firstExtent && r.PointYx(0).x() != 0 &&
                r.PointYx(0).y() != 0)
                firstExtent = r.PointYx(0);
        }
        origin = firstOrigin.value_or(QPointF());
        if (firstExtent) {
            extent = QSizeF(firstExtent->x(), firstExtent->y());
            width = Side(std::abs(extent.width()));
            height = Side(std::abs(extent.height()));
        } else {
            mode = Mapping::Units;
            const QRectF drawn = Play(mf, mode, QSize(), QPointF(), std::nullopt, nullptr);
            if (drawn.isEmpty())
                return QImage();
            const double left = std::floor(drawn.left()), top = std::floor(drawn.top());
            width = Side(std::ceil(drawn.right()) - left);
            height = Side(std::ceil(drawn.bottom()) - top);
            offset = QPointF(-left, -top);
        }
    }
    if (width == 0 || height == 0)
        return QImage();
    CheckPictureSize(width, height);

    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw PictureError("Not enough memory for the picture.");
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        std::optional<Window> window;
        if (mode == Mapping::Window)
            window = Window{origin, extent};
        Play(mf, mode, image.size(), offset, window, &painter);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}
