#pragma once

#include "build/BuildProcedure.h"

#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;
class TPictureList;
class TSoundPanel;

// The thumbnails of one picture list: image i belongs to item i.
using TThumbnailImages = QList<QImage>;

// The builder window: the program's main window. Its components are public
// because the commands of the picture library, the sound slots and delivery
// live in their own files (fmMainPictures.cpp, fmMainSounds.cpp,
// fmMainDelivery.cpp) and work on them. Every component is owned by the
// window through Qt's parent chain.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // programFolder: the working folder; empty means the program file's folder.
    explicit TfrmMain(const QString& programFolder = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Start-up work. False when the temporary root cannot be created; the
    // message has been shown and the program must end with exit code 1.
    bool FormCreate();
    // Close-down work; runs once.
    void FormClose();

    // Recomputes which commands are available from BuilderState and the lists.
    void KeyState();
    // A choice changed: the last build no longer matches it.
    void FalsizeBuilded();
    void mniOptionsClick();
    void mniExitClick();
    void btnExitClick();

    // Restores the window when minimised, otherwise raises and activates it.
    void BringForward();

    // Shows the options dialog modally; set by the options dialog's owner.
    std::function<void()> ShowOptionsDialog;

    // ---- Build (fmMain.cpp)
    void ActBuildExecute();

    // ---- Transparency options (fmMain.cpp)
    void ActPacketTransparencyToggleExecute();
    void ActSurpriseTransparencyToggleExecute();
    void DrawPacketTransButtonState();
    void DrawSurpriseTransButtonState();
    // Copies image index of images into the glyph of button (normal half
    // left, disabled half right).
    static void DrawButton(const QList<QPixmap>& images, QToolButton* button, int index);
    // The options as the build reads them: the toggles' tags are 1 for on.
    bool PacketTransparent() const;
    bool SurpriseTransparent() const;

    // ---- Edit fields (fmMain.cpp)
    void edtPasswordChange();
    void edtGoToURLChange();

    // ---- Keyboard (fmMain.cpp). Virtual-key codes as the table names them.
    void FormKeyUp(int key, QWidget* focused);
    void FormKeyPress(QChar key, QWidget* focused);
    void SUBProc001(QWidget* focused);

    // ---- Picture lists (fmMainLists.cpp)
    void lbPacketsSeriesChanged();
    void lbSurprisesSeriesChanged();
    void lbPacketsSeriesClick();
    void lbPacketsSeriesKeyPress();
    void lbSurprisesSeriesClick();
    void lbSurprisesSeriesKeyPress();
    void lbPacketsClick();
    void lbPacketsKeyPress();
    void lbSurprisesClick();
    void lbSurprisesKeyPress();

    // ---- Delivery, options, help and more (fmMainDelivery.cpp)
    void ActPreviewExecute();
    void ActSaveAsExecute();
    void ActSendToDesktopExecute();
    void ActSendToMyDocumentsExecute();
    void ActSendToMailRecipientExecute();
    void Programhelp1Click();
    void FAQ1Click();
    void Homepage1Click();
    void Checkforupdate1Click();
    void About2Click();
    void MoreQUELVproducts1Click();
    void GetNewsletter1Click();
    void SellthisProgramandEarnMoney1Click();
    void ellaFriendSendemail1Click();
    void Image2Click();

    // ---- Picture commands (fmMainPictures.cpp)
    void ActImportPacketPictureExecute();
    void ActImportSurprisePictureExecute();
    void ActRemovePacketPictureExecute();
    void ActRemoveSurprisePictureExecute();
    void ActModifyPacketPictureExecute();
    void ActModifySurprisePictureExecute();
    void LDAPacketPicture(const QString& path);
    void LDASurprisePicture(const QString& path);
    // Local files dropped from outside, in drop order, not yet filtered.
    void DropFileTargetPacketsDrop(const QStringList& files);
    void DropFileTargetSurprisesDrop(const QStringList& files);
    // A picture dragged from one list to the other: accept it over this list?
    bool lbPacketsDragOver(QObject* source);
    bool lbSurprisesDragOver(QObject* source);
    void lbPacketsDragDrop(QObject* source);
    void lbSurprisesDragDrop(QObject* source);
    void lbPacketsDblClick();
    void lbSurprisesDblClick();

    // ---- Sound slots (fmMainSounds.cpp)
    void ActBrowsePacketSoundExecute();
    void ActBrowseOpenEffectExecute();
    void ActBrowseSurpriseSoundExecute();
    void ActClearPacketSoundExecute();
    void ActClearOpenEffectExecute();
    void ActClearSurpriseSoundExecute();
    void DropFileTargetPacketSoundDrop(const QStringList& files);
    void DropFileTargetOpenEffectSoundDrop(const QStringList& files);
    void DropFileTargetSurpriseSoundDrop(const QStringList& files);
    void pnlPacketSoundClick();
    void pnlOpenEffectSoundClick();
    void pnlSurpriseSoundClick();
    void pnlPacketSoundDblClick();
    void pnlOpenEffectSoundDblClick();
    void pnlSurpriseSoundDblClick();
    void btn7MouseUp();  // the packet slot's browse and clear buttons
    void btn9MouseUp();  // the open effect slot's
    void btn11MouseUp(); // the surprise slot's

    // ---- Actions. A disabled action does nothing, whatever triggers it.
    QAction* ActBuild = nullptr;
    QAction* ActImportPacketPicture = nullptr;
    QAction* ActRemovePacketPicture = nullptr;
    QAction* ActImportSurprisePicture = nullptr;
    QAction* ActRemoveSurprisePicture = nullptr;
    QAction* ActModifyPacketPicture = nullptr;
    QAction* ActModifySurprisePicture = nullptr;
    QAction* ActPreview = nullptr;
    QAction* ActSendToMailRecipient = nullptr;
    QAction* ActSendToMyDocuments = nullptr;
    QAction* ActSendToDesktop = nullptr;
    QAction* ActSaveAs = nullptr;
    QAction* ActBrowsePacketSound = nullptr;
    QAction* ActBrowseOpenEffect = nullptr;
    QAction* ActBrowseSurpriseSound = nullptr;
    QAction* ActClearPacketSound = nullptr;
    QAction* ActClearOpenEffect = nullptr;
    QAction* ActClearSurpriseSound = nullptr;
    QAction* ActPacketTransparencyToggle = nullptr;
    QAction* ActSurpriseTransparencyToggle = nullptr;
    // Every action of the list, in the list's order.
    QList<QAction*> Actions() const;
    // A toggle action's tag (its data): 1 for on, 0 for off.
    static int Tag(const QAction* action);

    // ---- Menus
    QMenu* mnuBuild = nullptr;
    QMenu* mnuPacket = nullptr;
    QMenu* mnuSurprise = nullptr;
    QMenu* mnuSound = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuMore = nullptr;
    QMenu* popSendTo = nullptr;
    QAction* mniOptions = nullptr;
    QAction* mniExit = nullptr;
    QAction* mnuPacketTransparencyToggle = nullptr;
    QAction* mnuSurpriseTransparencyToggle = nullptr;
    QAction* Programhelp1 = nullptr;
    QAction* FAQ1 = nullptr;
    QAction* Homepage1 = nullptr;
    QAction* Checkforupdate1 = nullptr;
    QAction* About2 = nullptr;
    QAction* MoreQUELVproducts1 = nullptr;
    QAction* GetNewsletter1 = nullptr;
    QAction* SellthisProgramandEarnMoney1 = nullptr;
    QAction* ellaFriendSendemail1 = nullptr;

    // ---- Top strip
    QLabel* lblTitle = nullptr;
    QLabel* Image2 = nullptr; // the title picture, a link
    QToolButton* btnBuild = nullptr;
    QToolButton* btnPreview = nullptr;
    QToolButton* btnSaveAs = nullptr;
    QToolButton* btnSend = nullptr;

    // ---- Picture libraries. The series lists are never shown.
    QListWidget* lbPacketsSeries = nullptr;
    QListWidget* lbSurprisesSeries = nullptr;
    TPictureList* lbPackets = nullptr;
    TPictureList* lbSurprises = nullptr;
    TThumbnailImages imgPackets;
    TThumbnailImages imgSurprises;
    QToolButton* btnTransPacket = nullptr;
    QToolButton* btnImportPacket = nullptr;
    QToolButton* btnModifyPacket = nullptr;
    QToolButton* btnRemovePacket = nullptr;
    QToolButton* btnTransSurprise = nullptr;
    QToolButton* btnImportSurprise = nullptr;
    QToolButton* btnModifySurprise = nullptr;
    QToolButton* btnRemoveSurprise = nullptr;
    // The two transparency glyphs (42 x 21: normal left, disabled right).
    QList<QPixmap> imgKeyTransparent;

    // ---- Sound slots: the focus holders, the panels and their buttons.
    QListWidget* lbPacketSound = nullptr;
    QListWidget* lbOpenEffect = nullptr;
    QListWidget* lbSurpriseSound = nullptr;
    TSoundPanel* pnlPacketSound = nullptr;
    TSoundPanel* pnlOpenEffectSound = nullptr;
    TSoundPanel* pnlSurpriseSound = nullptr;
    QToolButton* btn7 = nullptr; // browse packet sound
    QToolButton* btn8 = nullptr; // clear packet sound
    QToolButton* btn9 = nullptr;
    QToolButton* btn10 = nullptr;
    QToolButton* btn11 = nullptr;
    QToolButton* btn12 = nullptr;

    // ---- Password, URL, bottom strip
    QLineEdit* edtPassword = nullptr;
    QLineEdit* edtGoToURL = nullptr;
    QPushButton* btnExit = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateLayout(); // fmMainLayout.cpp
    void ConnectHandlers();
    void SetDropTargets(bool registered);
    // True when event is the first delivery of a key to this window's
    // focused control, the moment the window's key preview sees it.
    bool IsPreviewedKey(QObject* watched) const;
    BuildInputs CurrentBuildInputs() const;

    QString ProgramFolderOverride;
    bool Closed = false;
};
