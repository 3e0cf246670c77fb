#include "app/fmMain.h"

#include "app/gUtils.h"
#include "app/gVars.h"
#include "platform/PrivateFolder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>

TfrmMain::TfrmMain(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), ProgramFolderOverride(programFolder) {}

TfrmMain::~TfrmMain() {
    FormClose();
}

bool TfrmMain::FormCreate() {
    BuilderState& state = builderState();
    state = BuilderState{};
    ReadOptions(state);
    setWindowTitle(QStringLiteral("Zorvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvane"));

    const QString programFolder = ProgramFolderOverride.isEmpty()
                                      ? QCoreApplication::applicationDirPath()
                                      : QFileInfo(ProgramFolderOverride).absoluteFilePath();
    AppFolders& folders = appFolders();
    folders = AppFolders::FromProgramFolder(programFolder);
    RegisterFolderFonts(folders.FontsFolder, true);

    folders.TempRoot = IncludeBackslash(GetTempFolder() + TempRootName());
    if (!MakePrivateFolder(folders.TempRoot)) {
        QMessageBox::information(nullptr, QString(), QStringLiteral("Can't create temp dir."));
        Closed = true;
        return false;
    }
    KeyState();
    return true;
}

void TfrmMain::FormClose() {
    if (Closed)
        return;
    Closed = true;
    const AppFolders& folders = appFolders();
    RegisterFolderFonts(folders.FontsFolder, false);
    if (!folders.TempRoot.isEmpty())
        DeleteTempTree(folders.TempRoot);
}

void TfrmMain::KeyState() {}

void TfrmMain::FalsizeBuilded() {
    builderState().Built = false;
    KeyState();
}

void TfrmMain::mniOptionsClick() {
    BuilderState& state = builderState();
    const QString before = state.OutputFileName;
    if (ShowOptionsDialog)
        ShowOptionsDialog();
    ReadOptions(state);
    if (state.OutputFileName != before)
        FalsizeBuilded();
}

void TfrmMain::BringForward() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (builderState().Building) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    return QMainWindow::eventFilter(watched, event);
}
