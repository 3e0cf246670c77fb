#include "app/fmMainWidgets.h"

#include "library/Thumbnails.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QUrl>

QStringList DroppedLocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TListBox::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()))
        emit Click();
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before)
        emit Click();
    const QString text = event->text();
    if (!text.isEmpty())
        emit KeyPress(text.at(0));
}

namespace {

// Owner drawing of one picture: the brush fills the item, the thumbnail
// sits centred 5 pixels from the top, no text.
class TThumbnailDelegate : public QStyledItemDelegate {
public:
    TThumbnailDelegate(const TThumbnailImages& images, QObject* parent)
        : QStyledItemDelegate(parent), Images(images) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect rect = option.rect;
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group =
            option.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->fillRect(
            rect, option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));
        const int row = index.row();
        if (row >= 0 && row < Images.size()) {
            // The item's right edge as the list reports it, exclusive.
            const int right = rect.x() + rect.width();
            const int x = rect.x() + (right - kThumbnailSize) / 2;
            painter->drawImage(QPoint(x, rect.y() + 5), Images.at(row));
        }
        if (option.state.testFlag(QStyle::State_HasFocus)) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor =
                option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            const QWidget* widget = option.widget;
            QStyle* style = widget ? widget->style() : nullptr;
            if (style)
                style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), TPictureList::kItemHeight);
    }

private:
    const TThumbnailImages& Images;
};

} // namespace

TPictureList::TPictureList(const TThumbnailImages& images, QWidget* parent)
    : TListBox(parent), ImageList(images) {
    setItemDelegate(new TThumbnailDelegate(ImageList, this));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
}

void TPictureList::startDrag(Qt::DropActions supportedActions) {
    Q_UNUSED(supportedActions);
    // A drag copies: the source picture always stays where it was.
    QListWidget::startDrag(Qt::CopyAction);
}

bool TPictureList::Accepts(QDropEvent* event) const {
    if (QObject* source = event->source())
        return DragOver && DragOver(source);
    return !DroppedLocalFiles(event->mimeData()).isEmpty();
}

void TPictureList::dragEnterEvent(QDragEnterEvent* event) {
    if (Accepts(event)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TPictureList::dragMoveEvent(QDragMoveEvent* event) {
    if (Accepts(event)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TPictureList::dropEvent(QDropEvent* event) {
    if (!Accepts(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (QObject* source = event->source()) {
        if (DragDrop)
            DragDrop(source);
    } else if (FilesDropped) {
        FilesDropped(DroppedLocalFiles(event->mimeData()));
    }
}

TSoundPanel::TSoundPanel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setAcceptDrops(true);
}

void TSoundPanel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void TSoundPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

void TSoundPanel::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->source() && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TSoundPanel::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->source() && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TSoundPanel::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedLocalFiles(event->mimeData());
    if (event->source() || files.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (FilesDropped)
        FilesDropped(files);
}
