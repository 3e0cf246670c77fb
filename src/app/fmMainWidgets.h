#pragma once

#include "app/fmMain.h"

#include <QLabel>
#include <QListWidget>
#include <QStringList>

#include <functional>

class QDropEvent;
class QMimeData;

// The local files of a drop from outside, in the drop's order.
QStringList DroppedLocalFiles(const QMimeData* mime);

// A list box with the design's two user events: Click (a mouse click, or a
// key that moves the selection) and KeyPress (a typed character).
class TListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr);

signals:
    void Click();
    void KeyPress(QChar key);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A picture list: every item is a picture path, shown only as its thumbnail
// (image i of Images for item i) in a 100-pixel row. Files dropped from
// outside go to FilesDropped; a drag from another widget of the program is
// offered to DragOver and DragDrop, and always copies.
class TPictureList : public TListBox {
    Q_OBJECT
public:
    TPictureList(const TThumbnailImages& images, QWidget* parent = nullptr);

    const TThumbnailImages& Images() const { return ImageList; }

    std::function<void(const QStringList&)> FilesDropped;
    std::function<bool(QObject*)> DragOver;
    std::function<void(QObject*)> DragDrop;

    static constexpr int kItemHeight = 100;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool Accepts(QDropEvent* event) const;
    const TThumbnailImages& ImageList;
};

// A sound slot's panel: its caption is the slot's sound without extension.
// Takes drops of local files from outside.
class TSoundPanel : public QLabel {
    Q_OBJECT
public:
    explicit TSoundPanel(QWidget* parent = nullptr);

    std::function<void(const QStringList&)> FilesDropped;

signals:
    void Click();
    void DblClick();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
