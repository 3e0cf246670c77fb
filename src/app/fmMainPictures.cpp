// The builder's picture commands: import, remove, modify, drops and drags.
#include "app/fmMain.h"

#include "app/fmMainWidgets.h"
#include "app/gPictureLists.h"
#include "app/gUtils.h"
#include "app/gVars.h"
#include "library/ImportDialog.h"
#include "library/PictureImport.h"
#include "library/PicturePreview.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// One of the two picture libraries as the commands see it.
struct PictureLibrary {
    QListWidget* SeriesList;
    QListWidget* PictureList;
    QString Root;
    int& LoadedSeries;
    void (TfrmMain::*SeriesChanged)();
};

PictureLibrary Packets(TfrmMain& window) {
    return {window.lbPacketsSeries, window.lbPackets, appFolders().PacketsRoot,
            builderState().LoadedPacketsSeries, &TfrmMain::lbPacketsSeriesChanged};
}

PictureLibrary Surprises(TfrmMain& window) {
    return {window.lbSurprisesSeries, window.lbSurprises, appFolders().SurprisesRoot,
            builderState().LoadedSurprisesSeries, &TfrmMain::lbSurprisesSeriesChanged};
}

// After every change the list shows the folder as it is now.
void Reload(TfrmMain& window, const PictureLibrary& library) {
    library.LoadedSeries = -2;
    (window.*library.SeriesChanged)();
}

void AddPicture(TfrmMain& window, const PictureLibrary& library, const QString& path) {
    const int series = ItemIndex(library.SeriesList);
    const bool hasSeries = library.SeriesList->count() > 0 && series >= 0;
    const QString folder = ImportSeriesFolder(
        library.Root, hasSeries ? library.SeriesList->item(series)->text() : QString());
    if (!hasSeries) {
        LoadSeriesList(library.Root, library.SeriesList);
        (window.*library.SeriesChanged)();
    }
    const QString target = CopyIntoSeries(path, folder);
    if (target.isEmpty())
        return;
    Reload(window, library);
    SetItemIndex(library.PictureList, FindItemByPath(library.PictureList, target));
    window.FalsizeBuilded();
}

void ImportByDialog(TfrmMain& window, const QString& dialogName, const PictureLibrary& library) {
    QFileDialog dialog(&window);
    dialog.setObjectName(dialogName);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    SetImportFilter(dialog, PictureDialogFilter());
    AddPicturePreview(dialog);
    if (ExecuteImportDialog(dialog))
        AddPicture(window, library, dialog.selectedFiles().value(0));
}

// A build lets pending events run; a drop arriving then must not change the
// pictures the build has taken, nor the state its close-out records.
bool DropsRefused() {
    return builderState().Building;
}

void DropFiles(TfrmMain& window, const PictureLibrary& library, const QStringList& files) {
    if (DropsRefused())
        return;
    for (const QString& file : files) {
        if (!AcceptsDroppedFile(file, PictureDropPatterns()))
            continue;
        AddPicture(window, library, file);
        QCoreApplication::processEvents();
    }
}

// Copies the other list's selected pictures; the originals stay.
void DropFromList(TfrmMain& window, const PictureLibrary& library, const QListWidget* source) {
    if (DropsRefused())
        return;
    QStringList paths;
    for (int i = 0; i < source->count(); ++i) {
        if (source->item(i)->isSelected())
            paths.append(source->item(i)->text());
    }
    for (const QString& path : paths)
        AddPicture(window, library, path);
}

void RemovePicture(TfrmMain& window, const PictureLibrary& library) {
    QListWidget* list = library.PictureList;
    const int index = ItemIndex(list);
    if (list->count() == 0 || index < 0)
        return;
    QMessageBox confirm(QMessageBox::Question, QStringLiteral("Confirm"),
                        QStringLiteral("Are you sure you want to remove the selected item?"),
                        QMessageBox::Yes | QMessageBox::No, &window);
    if (confirm.exec() != QMessageBox::Yes)
        return;
    QCoreApplication::processEvents();
    // The selection may have moved while the question was open: the file
    // removed is the one selected now.
    const int selected = ItemIndex(list);
    if (selected < 0 || !QFile::remove(list->item(selected)->text()))
        return;
    Reload(window, library);
    SetItemIndex(list, index > 0 ? index - 1 : 0);
    window.FalsizeBuilded();
}

// The picture editor's entry: 1 when the edited picture has been saved at
// target. The editor has not joined the program yet, so nothing is saved.
int EditPicture(const QString& caption, const QString& source, const QString& target) {
    Q_UNUSED(caption);
    Q_UNUSED(source);
    Q_UNUSED(target);
    return 0;
}

void ModifyPicture(TfrmMain& window, const PictureLibrary& library, const QString& caption) {
    QListWidget* list = library.PictureList;
    const int index = ItemIndex(list);
    if (list->count() == 0 || index < 0)
        return;
    const QString source = list->item(index)->text();
    const QString target = IncludeBackslash(QFileInfo(source).absolutePath()) +
                           EditTimeStamp(QDateTime::currentDateTime()) + QStringLiteral(".bmp");
    if (EditPicture(caption, source, target) != 1)
        return;
    QCoreApplication::processEvents();
    Reload(window, library);
    SetItemIndex(list, FindItemByPath(list, target));
    window.FalsizeBuilded();
}

} // namespace

void TfrmMain::ActImportPacketPictureExecute() {
    ImportByDialog(*this, QStringLiteral("OpenPictureDialog1"), Packets(*this));
}

void TfrmMain::ActImportSurprisePictureExecute() {
    ImportByDialog(*this, QStringLiteral("OpenPictureDialog2"), Surprises(*this));
}

void TfrmMain::ActRemovePacketPictureExecute() {
    RemovePicture(*this, Packets(*this));
}

void TfrmMain::ActRemoveSurprisePictureExecute() {
    RemovePicture(*this, Surprises(*this));
}

void TfrmMain::ActModifyPacketPictureExecute() {
    ModifyPicture(*this, Packets(*this), QStringLiteral("Modify packet picture"));
}

void TfrmMain::ActModifySurprisePictureExecute() {
    ModifyPicture(*this, Surprises(*this), QStringLiteral("Modify surprise picture"));
}

void TfrmMain::LDAPacketPicture(const QString& path) {
    AddPicture(*this, Packets(*this), path);
}

void TfrmMain::LDASurprisePicture(const QString& path) {
    AddPicture(*this, Surprises(*this), path);
}

void TfrmMain::DropFileTargetPacketsDrop(const QStringList& files) {
    DropFiles(*this, Packets(*this), files);
}

void TfrmMain::DropFileTargetSurprisesDrop(const QStringList& files) {
    DropFiles(*this, Surprises(*this), files);
}

bool TfrmMain::lbPacketsDragOver(QObject* source) {
    return source == lbSurprises;
}

bool TfrmMain::lbSurprisesDragOver(QObject* source) {
    return source == lbPackets;
}

void TfrmMain::lbPacketsDragDrop(QObject* source) {
    if (lbPacketsDragOver(source))
        DropFromList(*this, Packets(*this), lbSurprises);
}

void TfrmMain::lbSurprisesDragDrop(QObject* source) {
    if (lbSurprisesDragOver(source))
        DropFromList(*this, Surprises(*this), lbPackets);
}

// Through the action, so that a double-click does nothing while the command
// is unavailable (during a build, for one).
void TfrmMain::lbPacketsDblClick() {
    ActModifyPacketPicture->trigger();
}

void TfrmMain::lbSurprisesDblClick() {
    ActModifySurprisePicture->trigger();
}
