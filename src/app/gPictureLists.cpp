#include "app/gPictureLists.h"

#include "library/SeriesFolders.h"
#include "library/Thumbnails.h"

#include <QListWidget>

namespace {

// The list repaints once, with its final content, however the fill ends.
class RedrawGuard {
public:
    explicit RedrawGuard(QWidget* widget) : Widget(widget), WasEnabled(widget->updatesEnabled()) {
        Widget->setUpdatesEnabled(false);
    }
    ~RedrawGuard() { Widget->setUpdatesEnabled(WasEnabled); }
    RedrawGuard(const RedrawGuard&) = delete;
    RedrawGuard& operator=(const RedrawGuard&) = delete;

private:
    QWidget* Widget;
    bool WasEnabled;
};

} // namespace

int ItemIndex(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void SetItemIndex(QListWidget* list, int index) {
    if (index >= 0 && index < list->count()) {
        list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    } else {
        list->clearSelection();
        list->setCurrentRow(-1);
    }
}

QStringList ItemStrings(const QListWidget* list) {
    QStringList items;
    items.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

void LoadSeriesList(const QString& root, QListWidget* seriesList) {
    RedrawGuard guard(seriesList);
    seriesList->clear();
    seriesList->addItems(SeriesNames(root));
    if (seriesList->count() > 0)
        SetItemIndex(seriesList, 0);
}

namespace {

void Append(Thumbnail&& thumbnail, TThumbnailImages& imageList, QListWidget* pictureList) {
    imageList.append(std::move(thumbnail.Image));
    pictureList->addItem(thumbnail.Path);
}

} // namespace

void LoadThumbnails(const QString& seriesFolder, TThumbnailImages& imageList,
                    QListWidget* pictureList) {
    RedrawGuard guard(pictureList);
    // Decoding runs on every core first; the lists are then filled in the
    // folder's order, so the outcome is that of adding one file after another.
    QList<Thumbnail> thumbnails = LoadSeriesThumbnails(seriesFolder);
    imageList.clear();
    pictureList->clear();
    for (Thumbnail& thumbnail : thumbnails)
        Append(std::move(thumbnail), imageList, pictureList);
    if (pictureList->count() > 0)
        SetItemIndex(pictureList, 0);
}

void AddThumbnail(const QString& path, TThumbnailImages& imageList, QListWidget* pictureList) {
    std::optional<Thumbnail> thumbnail = MakeThumbnail(path);
    if (thumbnail)
        Append(std::move(*thumbnail), imageList, pictureList);
}

int FindItemByPath(const QListWidget* list, const QString& path) {
    return FindItemByPath(ItemStrings(list), path);
}
