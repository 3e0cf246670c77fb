// The builder's picture lists: series changes and the user's picks.
#include "app/fmMain.h"

#include "app/fmMainWidgets.h"
#include "app/gPictureLists.h"
#include "app/gVars.h"

namespace {

// Loads the selected series when it is not the one the list already holds.
void SeriesChanged(QListWidget* seriesList, const QString& root, TThumbnailImages& images,
                   QListWidget* pictureList, int& loadedSeries) {
    const int selected = ItemIndex(seriesList);
    if (seriesList->count() > 0 && selected >= 0 && selected != loadedSeries) {
        const QString folder = root + seriesList->item(selected)->text() + QLatin1Char('/');
        LoadThumbnails(folder, images, pictureList);
        loadedSeries = selected;
    }
}

} // namespace

void TfrmMain::lbPacketsSeriesChanged() {
    SeriesChanged(lbPacketsSeries, appFolders().PacketsRoot, imgPackets, lbPackets,
                  builderState().LoadedPacketsSeries);
    KeyState();
}

void TfrmMain::lbSurprisesSeriesChanged() {
    SeriesChanged(lbSurprisesSeries, appFolders().SurprisesRoot, imgSurprises, lbSurprises,
                  builderState().LoadedSurprisesSeries);
    KeyState();
}

// The comparisons are by index only: another index is another choice, even
// when it shows the same file.

void TfrmMain::lbPacketsSeriesClick() {
    lbPacketsSeriesChanged();
    if (ItemIndex(lbPacketsSeries) != builderState().LastBuildPacketsSeries)
        FalsizeBuilded();
}

void TfrmMain::lbPacketsSeriesKeyPress() {
    lbPacketsSeriesClick();
}

void TfrmMain::lbSurprisesSeriesClick() {
    lbSurprisesSeriesChanged();
    if (ItemIndex(lbSurprisesSeries) != builderState().LastBuildSurprisesSeries)
        FalsizeBuilded();
}

void TfrmMain::lbSurprisesSeriesKeyPress() {
    lbSurprisesSeriesClick();
}

void TfrmMain::lbPacketsClick() {
    if (ItemIndex(lbPackets) != builderState().LastBuildPacket)
        FalsizeBuilded();
}

void TfrmMain::lbPacketsKeyPress() {
    lbPacketsClick();
}

void TfrmMain::lbSurprisesClick() {
    if (ItemIndex(lbSurprises) != builderState().LastBuildSurprise)
        FalsizeBuilded();
}

void TfrmMain::lbSurprisesKeyPress() {
    lbSurprisesClick();
}
