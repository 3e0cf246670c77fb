#pragma once

#include "app/fmMain.h"

#include <QString>

class QListWidget;

// The picture library's routines on the builder's list boxes. The series
// folders and the thumbnails themselves come from src/library.

// The selected item's index, or -1: the list box's ItemIndex.
int ItemIndex(const QListWidget* list);
// Selects item index, or nothing for -1 or an index out of range.
void SetItemIndex(QListWidget* list, int index);
// The item strings, in order.
QStringList ItemStrings(const QListWidget* list);

// Refills seriesList with the series under root, sorted, and selects item 0.
void LoadSeriesList(const QString& root, QListWidget* seriesList);

// Refills pictureList and imageList with the pictures of seriesFolder in
// the folder's order, selects item 0, and repaints once at the end.
void LoadThumbnails(const QString& seriesFolder, TThumbnailImages& imageList,
                    QListWidget* pictureList);

// Appends path and its thumbnail when the file loads as a picture; a file
// that does not is silently left out of both lists.
void AddThumbnail(const QString& path, TThumbnailImages& imageList, QListWidget* pictureList);

// The first item equal to path ignoring case, or -1.
int FindItemByPath(const QListWidget* list, const QString& path);
