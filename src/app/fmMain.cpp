#include "app/fmMain.h"

#include "app/fmMainWidgets.h"
#include "app/gPictureLists.h"
#include "app/gUtils.h"
#include "app/gVars.h"
#include "dialogs/fmOptions.h"
#include "platform/PrivateFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace {

// The keys of the keyboard table, by their virtual-key codes.
constexpr int kVkBack = 8;
constexpr int kVkSpace = 32;
constexpr int kVkInsert = 45;
constexpr int kVkDelete = 46;
constexpr int kVkF2 = 113;
constexpr int kVkF3 = 114;
constexpr int kVkF7 = 118;
constexpr int kVkF9 = 120;

int VirtualKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        return kVkBack;
    case Qt::Key_Space:
        return kVkSpace;
    case Qt::Key_Insert:
        return kVkInsert;
    case Qt::Key_Delete:
        return kVkDelete;
    case Qt::Key_F2:
        return kVkF2;
    case Qt::Key_F3:
        return kVkF3;
    case Qt::Key_F7:
        return kVkF7;
    case Qt::Key_F9:
        return kVkF9;
    default:
        return 0;
    }
}

// A menu item with a caption of its own that runs target and follows its
// availability.
QAction* MenuItem(QObject* owner, const QString& caption, QAction* target) {
    auto* item = new QAction(caption, owner);
    item->setEnabled(target->isEnabled());
    QObject::connect(target, &QAction::enabledChanged, item, &QAction::setEnabled);
    QObject::connect(item, &QAction::triggered, target, [target] { target->trigger(); });
    return item;
}

} // namespace

TfrmMain::TfrmMain(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), ProgramFolderOverride(programFolder) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("frmMain"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    CreateActions();
    CreateLayout();
    CreateMenus();
    ConnectHandlers();
    ShowOptionsDialog = [this] { ShowOptions(this); };
    // The window's key preview: it sees every key before the focused control.
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain() {
    FormClose();
}

QList<QAction*> TfrmMain::Actions() const {
    return {ActBuild,
            ActImportPacketPicture,
            ActRemovePacketPicture,
            ActImportSurprisePicture,
            ActRemoveSurprisePicture,
            ActModifyPacketPicture,
            ActModifySurprisePicture,
            ActPreview,
            ActSendToMailRecipient,
            ActSendToMyDocuments,
            ActSendToDesktop,
            ActSaveAs,
            ActBrowsePacketSound,
            ActBrowseOpenEffect,
            ActBrowseSurpriseSound,
            ActClearPacketSound,
            ActClearOpenEffect,
            ActClearSurpriseSound,
            ActPacketTransparencyToggle,
            ActSurpriseTransparencyToggle};
}

int TfrmMain::Tag(const QAction* action) {
    return action->data().toInt();
}

void TfrmMain::CreateActions() {
    auto make = [this](const QString& hint, bool enabled, void (TfrmMain::*handler)()) {
        auto* action = new QAction(hint, this);
        action->setToolTip(hint);
        action->setEnabled(enabled);
        // Menus show captions only; the images belong to the buttons.
        action->setIconVisibleInMenu(false);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    ActBuild = make(QStringLiteral("Build Surprise"), false, &TfrmMain::ActBuildExecute);
    ActImportPacketPicture = make(QStringLiteral("Import Packet Picture"), true,
                                  &TfrmMain::ActImportPacketPictureExecute);
    ActRemovePacketPicture = make(QStringLiteral("Remove Packet Picture"), false,
                                  &TfrmMain::ActRemovePacketPictureExecute);
    ActImportSurprisePicture = make(QStringLiteral("Import Surprise Picture"), true,
                                    &TfrmMain::ActImportSurprisePictureExecute);
    ActRemoveSurprisePicture = make(QStringLiteral("Remove Surprise Picture"), false,
                                    &TfrmMain::ActRemoveSurprisePictureExecute);
    ActModifyPacketPicture = make(QStringLiteral("Modify Packet Picture"), false,
                                  &TfrmMain::ActModifyPacketPictureExecute);
    ActModifySurprisePicture = make(QStringLiteral("Modify Surprise Picture"), false,
                                    &TfrmMain::ActModifySurprisePictureExecute);
    ActPreview = make(QStringLiteral("Preview"), false, &TfrmMain::ActPreviewExecute);
    ActSendToMailRecipient = make(QStringLiteral("Send to E-Mail Recipient"), false,
                                  &TfrmMain::ActSendToMailRecipientExecute);
    ActSendToMyDocuments =
        make(QStringLiteral("Send to My Documents"), false, &TfrmMain::ActSendToMyDocumentsExecute);
    ActSendToDesktop =
        make(QStringLiteral("Send to Desktop"), false, &TfrmMain::ActSendToDesktopExecute);
    ActSaveAs = make(QStringLiteral("Save As..."), false, &TfrmMain::ActSaveAsExecute);
    ActBrowsePacketSound =
        make(QStringLiteral("Browse Packet Sound"), true, &TfrmMain::ActBrowsePacketSoundExecute);
    ActBrowseOpenEffect =
        make(QStringLiteral("Browse Open Effect"), true, &TfrmMain::ActBrowseOpenEffectExecute);
    ActBrowseSurpriseSound = make(QStringLiteral("Browse Surprise Sound"), true,
                                  &TfrmMain::ActBrowseSurpriseSoundExecute);
    ActClearPacketSound =
        make(QStringLiteral("Clear Packet Sound"), true, &TfrmMain::ActClearPacketSoundExecute);
    ActClearOpenEffect =
        make(QStringLiteral("Clear Open Effect"), true, &TfrmMain::ActClearOpenEffectExecute);
    ActClearSurpriseSound =
        make(QStringLiteral("Clear Surprise Sound"), true, &TfrmMain::ActClearSurpriseSoundExecute);
    ActPacketTransparencyToggle =
        make(QString(), true, &TfrmMain::ActPacketTransparencyToggleExecute);
    ActSurpriseTransparencyToggle =
        make(QString(), true, &TfrmMain::ActSurpriseTransparencyToggleExecute);
    // Both transparency options start on.
    ActPacketTransparencyToggle->setData(1);
    ActSurpriseTransparencyToggle->setData(1);
}

void TfrmMain::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto plain = [this](const QString& caption, void (TfrmMain::*handler)()) {
        auto* item = new QAction(caption, this);
        connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return item;
    };

    mnuBuild = bar->addMenu(QStringLiteral("Build"));
    mnuBuild->addAction(ActBuild);
    mnuBuild->setDefaultAction(ActBuild);
    mnuBuild->addAction(ActPreview);
    mnuBuild->addSeparator();
    mnuBuild->addAction(ActSaveAs);
    QMenu* sendTo = mnuBuild->addMenu(QStringLiteral("Send to"));
    sendTo->addAction(MenuItem(this, QStringLiteral("Desktop"), ActSendToDesktop));
    sendTo->addAction(MenuItem(this, QStringLiteral("E-Mail Recipient"), ActSendToMailRecipient));
    sendTo->addAction(MenuItem(this, QStringLiteral("My Documents"), ActSendToMyDocuments));
    mnuBuild->addSeparator();
    mniOptions = plain(QStringLiteral("Options..."), &TfrmMain::mniOptionsClick);
    mnuBuild->addAction(mniOptions);
    mnuBuild->addSeparator();
    mniExit = plain(QStringLiteral("Exit"), &TfrmMain::mniExitClick);
    mnuBuild->addAction(mniExit);

    mnuPacket = bar->addMenu(QStringLiteral("Packet"));
    mnuPacket->addAction(ActImportPacketPicture);
    mnuPacket->setDefaultAction(ActImportPacketPicture);
    mnuPacket->addAction(ActModifyPacketPicture);
    mnuPacket->addSeparator();
    mnuPacket->addAction(ActRemovePacketPicture);
    mnuPacket->addSeparator();
    mnuPacketTransparencyToggle = MenuItem(this, QString(), ActPacketTransparencyToggle);
    mnuPacket->addAction(mnuPacketTransparencyToggle);

    mnuSurprise = bar->addMenu(QStringLiteral("Surprise"));
    mnuSurprise->addAction(ActImportSurprisePicture);
    mnuSurprise->setDefaultAction(ActImportSurprisePicture);
    mnuSurprise->addAction(ActModifySurprisePicture);
    mnuSurprise->addSeparator();
    mnuSurprise->addAction(ActRemoveSurprisePicture);
    mnuSurprise->addSeparator();
    mnuSurpriseTransparencyToggle = MenuItem(this, QString(), ActSurpriseTransparencyToggle);
    mnuSurprise->addAction(mnuSurpriseTransparencyToggle);

    mnuSound = bar->addMenu(QStringLiteral("Sound"));
    mnuSound->addAction(ActBrowsePacketSound);
    mnuSound->setDefaultAction(ActBrowsePacketSound);
    mnuSound->addAction(ActBrowseOpenEffect);
    mnuSound->addAction(ActBrowseSurpriseSound);
    mnuSound->addSeparator();
    mnuSound->addAction(ActClearPacketSound);
    mnuSound->addAction(ActClearOpenEffect);
    mnuSound->addAction(ActClearSurpriseSound);

    mnuHelp = bar->addMenu(QStringLiteral("Help"));
    Programhelp1 = plain(QStringLiteral("Program Help"), &TfrmMain::Programhelp1Click);
    FAQ1 = plain(QStringLiteral("FAQ"), &TfrmMain::FAQ1Click);
    Homepage1 = plain(QStringLiteral("Home Page"), &TfrmMain::Homepage1Click);
    Checkforupdate1 = plain(QStringLiteral("Check for Update"), &TfrmMain::Checkforupdate1Click);
    About2 = plain(QStringLiteral("About..."), &TfrmMain::About2Click);
    mnuHelp->addAction(Programhelp1);
    mnuHelp->addAction(FAQ1);
    mnuHelp->addSeparator();
    mnuHelp->addAction(Homepage1);
    mnuHelp->addAction(Checkforupdate1);
    mnuHelp->addSeparator();
    mnuHelp->addAction(About2);

    mnuMore = bar->addMenu(QStringLiteral("More"));
    MoreQUELVproducts1 =
        plain(QStringLiteral("Get More Quelv Products"), &TfrmMain::MoreQUELVproducts1Click);
    GetNewsletter1 = plain(QStringLiteral("Get Newsletter"), &TfrmMain::GetNewsletter1Click);
    SellthisProgramandEarnMoney1 = plain(QStringLiteral("Sell this Program and Earn Money"),
                                         &TfrmMain::SellthisProgramandEarnMoney1Click);
    ellaFriendSendemail1 =
        plain(QStringLiteral("Tell a Friend (Send e-mail)"), &TfrmMain::ellaFriendSendemail1Click);
    mnuMore->addAction(MoreQUELVproducts1);
    mnuMore->setDefaultAction(MoreQUELVproducts1);
    mnuMore->addAction(GetNewsletter1);
    mnuMore->addAction(SellthisProgramandEarnMoney1);
    mnuMore->addAction(ellaFriendSendemail1);

    popSendTo = new QMenu(this);
    popSendTo->addAction(ActSendToDesktop);
    popSendTo->addAction(ActSendToMailRecipient);
    popSendTo->setDefaultAction(ActSendToMailRecipient);
    popSendTo->addAction(ActSendToMyDocuments);
    btnSend->setMenu(popSendTo);
}

void TfrmMain::ConnectHandlers() {
    connect(edtPassword, &QLineEdit::textChanged, this, &TfrmMain::edtPasswordChange);
    connect(edtGoToURL, &QLineEdit::textChanged, this, &TfrmMain::edtGoToURLChange);
    connect(btnExit, &QPushButton::clicked, this, &TfrmMain::btnExitClick);

    // The transparency buttons show the glyph DrawButton gives them, so they
    // follow their actions by hand instead of taking the action's icon.
    auto bindToggle = [](QToolButton* button, QAction* action) {
        connect(button, &QToolButton::clicked, action, [action] { action->trigger(); });
        connect(action, &QAction::enabledChanged, button, &QToolButton::setEnabled);
        connect(action, &QAction::changed, button,
                [button, action] { button->setToolTip(action->toolTip()); });
        button->setEnabled(action->isEnabled());
    };
    bindToggle(btnTransPacket, ActPacketTransparencyToggle);
    bindToggle(btnTransSurprise, ActSurpriseTransparencyToggle);

    auto* seriesPackets = static_cast<TListBox*>(lbPacketsSeries);
    auto* seriesSurprises = static_cast<TListBox*>(lbSurprisesSeries);
    connect(seriesPackets, &TListBox::Click, this, &TfrmMain::lbPacketsSeriesClick);
    connect(seriesPackets, &TListBox::KeyPress, this, &TfrmMain::lbPacketsSeriesKeyPress);
    connect(seriesSurprises, &TListBox::Click, this, &TfrmMain::lbSurprisesSeriesClick);
    connect(seriesSurprises, &TListBox::KeyPress, this, &TfrmMain::lbSurprisesSeriesKeyPress);
    connect(lbPackets, &TListBox::Click, this, &TfrmMain::lbPacketsClick);
    connect(lbPackets, &TListBox::KeyPress, this, &TfrmMain::lbPacketsKeyPress);
    connect(lbSurprises, &TListBox::Click, this, &TfrmMain::lbSurprisesClick);
    connect(lbSurprises, &TListBox::KeyPress, this, &TfrmMain::lbSurprisesKeyPress);
    connect(lbPackets, &QListWidget::itemDoubleClicked, this, &TfrmMain::lbPacketsDblClick);
    connect(lbSurprises, &QListWidget::itemDoubleClicked, this, &TfrmMain::lbSurprisesDblClick);
    lbPackets->DragOver = [this](QObject* source) { return lbPacketsDragOver(source); };
    lbPackets->DragDrop = [this](QObject* source) { lbPacketsDragDrop(source); };
    lbSurprises->DragOver = [this](QObject* source) { return lbSurprisesDragOver(source); };
    lbSurprises->DragDrop = [this](QObject* source) { lbSurprisesDragDrop(source); };

    connect(pnlPacketSound, &TSoundPanel::Click, this, &TfrmMain::pnlPacketSoundClick);
    connect(pnlOpenEffectSound, &TSoundPanel::Click, this, &TfrmMain::pnlOpenEffectSoundClick);
    connect(pnlSurpriseSound, &TSoundPanel::Click, this, &TfrmMain::pnlSurpriseSoundClick);
    connect(pnlPacketSound, &TSoundPanel::DblClick, this, &TfrmMain::pnlPacketSoundDblClick);
    connect(pnlOpenEffectSound, &TSoundPanel::DblClick, this,
            &TfrmMain::pnlOpenEffectSoundDblClick);
    connect(pnlSurpriseSound, &TSoundPanel::DblClick, this, &TfrmMain::pnlSurpriseSoundDblClick);
    for (QToolButton* button : {btn7, btn8})
        connect(button, &QToolButton::released, this, &TfrmMain::btn7MouseUp);
    for (QToolButton* button : {btn9, btn10})
        connect(button, &QToolButton::released, this, &TfrmMain::btn9MouseUp);
    for (QToolButton* button : {btn11, btn12})
        connect(button, &QToolButton::released, this, &TfrmMain::btn11MouseUp);
}

void TfrmMain::SetDropTargets(bool registered) {
    if (registered) {
        lbPackets->FilesDropped = [this](const QStringList& f) { DropFileTargetPacketsDrop(f); };
        lbSurprises->FilesDropped = [this](const QStringList& f) {
            DropFileTargetSurprisesDrop(f);
        };
        pnlPacketSound->FilesDropped = [this](const QStringList& f) {
            DropFileTargetPacketSoundDrop(f);
        };
        pnlOpenEffectSound->FilesDropped = [this](const QStringList& f) {
            DropFileTargetOpenEffectSoundDrop(f);
        };
        pnlSurpriseSound->FilesDropped = [this](const QStringList& f) {
            DropFileTargetSurpriseSoundDrop(f);
        };
    } else {
        lbPackets->FilesDropped = nullptr;
        lbSurprises->FilesDropped = nullptr;
        pnlPacketSound->FilesDropped = nullptr;
        pnlOpenEffectSound->FilesDropped = nullptr;
        pnlSurpriseSound->FilesDropped = nullptr;
    }
    for (QWidget* target :
         std::initializer_list<QWidget*>{pnlPacketSound, pnlOpenEffectSound, pnlSurpriseSound})
        target->setAcceptDrops(registered);
}

bool TfrmMain::FormCreate() {
    BuilderState& state = builderState();
    state = BuilderState{};
    ReadOptions(state);
    setWindowTitle(QStringLiteral("Zorvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvane"));
    SetDropTargets(true);

    const QString programFolder = ProgramFolderOverride.isEmpty()
                                      ? QCoreApplication::applicationDirPath()
                                      : QFileInfo(ProgramFolderOverride).absoluteFilePath();
    AppFolders& folders = appFolders();
    folders = AppFolders::FromProgramFolder(programFolder);
    RegisterFolderFonts(folders.FontsFolder, true);

    LoadSeriesList(folders.PacketsRoot, lbPacketsSeries);
    lbPacketsSeriesChanged();
    LoadSeriesList(folders.SurprisesRoot, lbSurprisesSeries);
    lbSurprisesSeriesChanged();

    folders.TempRoot = IncludeBackslash(GetTempFolder() + TempRootName());
    if (!MakePrivateFolder(folders.TempRoot)) {
        QMessageBox::information(nullptr, QString(), QStringLiteral("Can't create temp dir."));
        Closed = true;
        return false;
    }
    DrawPacketTransButtonState();
    DrawSurpriseTransButtonState();
    KeyState();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
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
    SetDropTargets(false);
}

void TfrmMain::KeyState() {
    const BuilderState& state = builderState();
    const bool building = state.Building;
    const bool built = state.Built;
    auto chosen = [building](const QListWidget* series, const QListWidget* pictures) {
        return !building && series->count() > 0 && ItemIndex(series) >= 0 &&
               pictures->count() > 0 && ItemIndex(pictures) >= 0;
    };
    const bool packet = chosen(lbPacketsSeries, lbPackets);
    const bool surprise = chosen(lbSurprisesSeries, lbSurprises);

    ActModifyPacketPicture->setEnabled(packet);
    ActRemovePacketPicture->setEnabled(packet);
    ActModifySurprisePicture->setEnabled(surprise);
    ActRemoveSurprisePicture->setEnabled(surprise);
    for (QAction* action : {ActPacketTransparencyToggle, ActSurpriseTransparencyToggle,
                            ActImportPacketPicture, ActImportSurprisePicture, ActBrowsePacketSound,
                            ActBrowseOpenEffect, ActBrowseSurpriseSound, ActClearPacketSound,
                            ActClearOpenEffect, ActClearSurpriseSound, mniOptions, mniExit})
        action->setEnabled(!building);
    edtPassword->setEnabled(!building);
    edtGoToURL->setEnabled(!building);
    btnExit->setEnabled(!building);
    for (QAction* action :
         {ActSendToMailRecipient, ActSendToDesktop, ActSendToMyDocuments, ActPreview, ActSaveAs})
        action->setEnabled(!building && built);
    ActBuild->setEnabled(!building && packet && surprise && !built);
}

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

void TfrmMain::mniExitClick() {
    close();
}

void TfrmMain::btnExitClick() {
    close();
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

// ---- Transparency options

void TfrmMain::ActPacketTransparencyToggleExecute() {
    ActPacketTransparencyToggle->setData(Tag(ActPacketTransparencyToggle) == 0 ? 1 : 0);
    DrawPacketTransButtonState();
    FalsizeBuilded();
}

void TfrmMain::ActSurpriseTransparencyToggleExecute() {
    ActSurpriseTransparencyToggle->setData(Tag(ActSurpriseTransparencyToggle) == 0 ? 1 : 0);
    DrawSurpriseTransButtonState();
    FalsizeBuilded();
}

namespace {

void DrawTransButtonState(QAction* toggle, QAction* menuItem, QToolButton* button,
                          const QList<QPixmap>& images, const QString& what) {
    const int tag = TfrmMain::Tag(toggle);
    const QString caption =
        (tag == 1 ? QStringLiteral("Disable") : QStringLiteral("Enable")) + what;
    menuItem->setText(caption);
    toggle->setText(caption);
    toggle->setToolTip(caption);
    TfrmMain::DrawButton(images, button, tag);
}

} // namespace

void TfrmMain::DrawPacketTransButtonState() {
    DrawTransButtonState(ActPacketTransparencyToggle, mnuPacketTransparencyToggle, btnTransPacket,
                         imgKeyTransparent, QStringLiteral(" Packet Transparency"));
}

void TfrmMain::DrawSurpriseTransButtonState() {
    DrawTransButtonState(ActSurpriseTransparencyToggle, mnuSurpriseTransparencyToggle,
                         btnTransSurprise, imgKeyTransparent,
                         QStringLiteral(" Surprise Transparency"));
}

void TfrmMain::DrawButton(const QList<QPixmap>& images, QToolButton* button, int index) {
    if (index < 0 || index >= images.size() || images.at(index).isNull()) {
        button->setIcon(QIcon());
        return;
    }
    const QPixmap& image = images.at(index);
    const int half = image.width() / 2;
    QIcon glyph;
    glyph.addPixmap(image.copy(0, 0, half, image.height()), QIcon::Normal);
    glyph.addPixmap(image.copy(half, 0, image.width() - half, image.height()), QIcon::Disabled);
    button->setIconSize(QSize(half, image.height()));
    button->setIcon(glyph);
}

bool TfrmMain::PacketTransparent() const {
    return Tag(ActPacketTransparencyToggle) == 1;
}

bool TfrmMain::SurpriseTransparent() const {
    return Tag(ActSurpriseTransparencyToggle) == 1;
}

// ---- Edit fields

void TfrmMain::edtPasswordChange() {
    FalsizeBuilded();
}

void TfrmMain::edtGoToURLChange() {
    FalsizeBuilded();
}

// ---- Keyboard

bool TfrmMain::IsPreviewedKey(QObject* watched) const {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    QWidget* focused = QApplication::focusWidget();
    // A key the focused control leaves travels on to its parents; only the
    // first delivery counts.
    QObject* first = focused ? static_cast<QObject*>(focused) : static_cast<QObject*>(window());
    if (watched != first)
        return false;
    return !focused || focused->window() == this;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && IsPreviewedKey(watched))
            FormKeyUp(VirtualKey(key), QApplication::focusWidget());
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsPreviewedKey(watched) &&
            (key->text() == QLatin1String("\r") || key->key() == Qt::Key_Return ||
             key->key() == Qt::Key_Enter))
            FormKeyPress(QLatin1Char('\r'), QApplication::focusWidget());
        break;
    }
    case QEvent::MouseButtonRelease:
        if (watched == Image2 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            Image2->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            Image2Click();
        break;
    default:
        break;
    }
    // The key still reaches the focused control.
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::FormKeyUp(int key, QWidget* focused) {
    switch (key) {
    case kVkInsert:
        if (focused == lbPackets)
            ActImportPacketPicture->trigger();
        else if (focused == lbSurprises)
            ActImportSurprisePicture->trigger();
        else if (focused == lbPacketSound)
            ActBrowsePacketSound->trigger();
        else if (focused == lbOpenEffect)
            ActBrowseOpenEffect->trigger();
        else if (focused == lbSurpriseSound)
            ActBrowseSurpriseSound->trigger();
        break;
    case kVkDelete:
        if (focused == lbPackets)
            ActRemovePacketPicture->trigger();
        else if (focused == lbSurprises)
            ActRemoveSurprisePicture->trigger();
        else if (focused == lbPacketSound)
            ActClearPacketSound->trigger();
        else if (focused == lbOpenEffect)
            ActClearOpenEffect->trigger();
        else if (focused == lbSurpriseSound)
            ActClearSurpriseSound->trigger();
        break;
    case kVkSpace:
        SUBProc001(focused);
        break;
    case kVkBack:
        if (focused == lbPacketSound)
            ActClearPacketSound->trigger();
        else if (focused == lbOpenEffect)
            ActClearOpenEffect->trigger();
        else if (focused == lbSurpriseSound)
            ActClearSurpriseSound->trigger();
        break;
    case kVkF9:
        ActBuild->trigger();
        break;
    case kVkF3:
        ActPreview->trigger();
        break;
    case kVkF2:
        ActSaveAs->trigger();
        break;
    case kVkF7:
        ActSendToMailRecipient->trigger();
        break;
    default:
        break;
    }
}

void TfrmMain::FormKeyPress(QChar key, QWidget* focused) {
    if (key == QLatin1Char('\r'))
        SUBProc001(focused);
}

void TfrmMain::SUBProc001(QWidget* focused) {
    if (focused == lbPackets)
        ActModifyPacketPicture->trigger();
    else if (focused == lbSurprises)
        ActModifySurprisePicture->trigger();
    else if (focused == lbPacketSound)
        ActBrowsePacketSound->trigger();
    else if (focused == lbOpenEffect)
        ActBrowseOpenEffect->trigger();
    else if (focused == lbSurpriseSound)
        ActBrowseSurpriseSound->trigger();
}
