// The Build command: the window's side of the build.
#include "app/fmMain.h"

#include "app/fmMainWidgets.h"
#include "app/gPictureLists.h"
#include "app/gVars.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

BuildInputs TfrmMain::CurrentBuildInputs() const {
    const BuilderState& state = builderState();
    const AppFolders& folders = appFolders();
    auto selected = [](const QListWidget* list) {
        const int index = ItemIndex(list);
        return index >= 0 ? list->item(index)->text() : QString();
    };
    BuildInputs inputs;
    inputs.PacketPicture = selected(lbPackets);
    inputs.SurprisePicture = selected(lbSurprises);
    inputs.PacketSound = state.PacketSound;
    inputs.OpenEffectSound = state.OpenEffectSound;
    inputs.SurpriseSound = state.SurpriseSound;
    inputs.Password = edtPassword->text();
    inputs.GoToUrl = edtGoToURL->text();
    inputs.PacketTransparent = PacketTransparent();
    inputs.SurpriseTransparent = SurpriseTransparent();
    inputs.OutputFileName = state.OutputFileName;
    inputs.EnginesFolder = folders.EnginesFolder;
    inputs.SoundsFolder = folders.SoundsFolder;
    inputs.TempRoot = folders.TempRoot;
    return inputs;
}

namespace {

// The build's close-out runs on every way out of the build, errors included.
// The indexes recorded are those the build read its pictures from; the
// picture lists stay usable while a build lets messages run, and a pick made
// meanwhile means the file no longer matches the choices, so it is not built.
class BuildCloseOut {
public:
    explicit BuildCloseOut(TfrmMain& window)
        : Window(window), PacketsSeries(ItemIndex(window.lbPacketsSeries)),
          SurprisesSeries(ItemIndex(window.lbSurprisesSeries)), Packet(ItemIndex(window.lbPackets)),
          Surprise(ItemIndex(window.lbSurprises)) {}
    ~BuildCloseOut() {
        BuilderState& state = builderState();
        state.Building = false;
        const bool unchanged = PacketsSeries == ItemIndex(Window.lbPacketsSeries) &&
                               SurprisesSeries == ItemIndex(Window.lbSurprisesSeries) &&
                               Packet == ItemIndex(Window.lbPackets) &&
                               Surprise == ItemIndex(Window.lbSurprises);
        state.Built = Finished && unchanged && QFileInfo::exists(OutputPath);
        if (state.Built) {
            state.LastBuildPacketsSeries = PacketsSeries;
            state.LastBuildSurprisesSeries = SurprisesSeries;
            state.LastBuildPacket = Packet;
            state.LastBuildSurprise = Surprise;
        }
        Window.KeyState();
    }
    BuildCloseOut(const BuildCloseOut&) = delete;
    BuildCloseOut& operator=(const BuildCloseOut&) = delete;

    void Finish(const BuildOutcome& outcome) {
        Finished = outcome.Built;
        OutputPath = outcome.OutputPath;
    }

private:
    TfrmMain& Window;
    const int PacketsSeries;
    const int SurprisesSeries;
    const int Packet;
    const int Surprise;
    bool Finished = false;
    QString OutputPath;
};

void ShowPlainMessage(QWidget* parent, const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zorvane"), shown, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void TfrmMain::ActBuildExecute() {
    const BuildInputs inputs = CurrentBuildInputs();
    const BuildCheck check = RunBuildChecks(inputs);
    if (check != BuildCheck::Passed) {
        ShowPlainMessage(this, BuildCheckMessage(check));
        if (check == BuildCheck::UrlInvalid) {
            edtGoToURL->setFocus();
            edtGoToURL->selectAll();
        }
        return;
    }

    builderState().Building = true;
    BuildCloseOut closeOut(*this);
    KeyState();
    // Shows the window in its building state before the work starts.
    QCoreApplication::processEvents();

    const BuildOutcome outcome = RunBuild(inputs, [] { QCoreApplication::processEvents(); });
    if (!outcome.BuildFolder.isEmpty())
        appFolders().BuildFolder = outcome.BuildFolder;
    closeOut.Finish(outcome);
}
