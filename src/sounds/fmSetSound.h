#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class QAction;
class QFileDialog;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMenuBar;
class QPushButton;
class QToolButton;
class SoundPlayer;
class TSoundListView;

// Dialog results, as ChooseSound returns them.
constexpr int kSoundSelected = 1;
constexpr int kSoundCancelled = 2;

// The sound library dialog: lists the sounds of SoundsFolder, plays them,
// imports and removes them, and hands back the one selected. Every sound it
// plays goes through the one player it owns.
class TfrmSetSound : public QDialog {
    Q_OBJECT
public:
    // passedIn: the caller's current sound, a bare file name or empty.
    // player: the playback handle; null means the program's own player.
    explicit TfrmSetSound(const QString& passedIn, std::unique_ptr<SoundPlayer> player = nullptr,
                          QWidget* parent = nullptr);
    ~TfrmSetSound() override;

    QString ChosenSound() const { return Chosen; }
    // The selected item's file name, or empty when none is selected.
    QString SelectedSound() const;
    // True while the list shows its empty-list notice.
    bool NoResultsShown() const;
    // True once the first activation has filled the list.
    bool IsActivated() const { return Activated; }

    void FormActivate();
    void FillSounds(const QString& select);
    void DrawNoResults();
    void KeyState();

    void ActSelectExecute();
    void ActPlayExecute();
    void ActStopExecute();
    void ActImportSoundExecute();
    void ActRemoveSoundExecute();
    void LoadSound(const QString& path);
    // Local files dropped on the list, in drop order, not yet filtered.
    void DropFileTarget1Drop(const QStringList& files);
    void ListView1DblClick();

    QAction* ActSelect = nullptr;
    QAction* ActPlay = nullptr;
    QAction* ActStop = nullptr;
    QAction* ActImportSound = nullptr;
    QAction* ActRemoveSound = nullptr;

    QMenuBar* MainMenu1 = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* popList = nullptr;
    QLabel* lblTitle = nullptr;
    QToolButton* btnPlay = nullptr;
    QToolButton* btnStop = nullptr;
    QToolButton* btnImport = nullptr;
    QToolButton* btnRemove = nullptr;
    QListWidget* ListView1 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    // MIDI, wave, MP3, AU: the image index of an item picks its icon.
    QVector<QIcon> imgSounds;

    // The file name an item stands for, and its type's image index.
    static constexpr int kFileNameRole = Qt::UserRole;
    static constexpr int kImageIndexRole = Qt::UserRole + 1;

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateLayout();
    void CreateMenus();
    bool PreviewKey(QObject* watched, QEvent* event);

    QString PassedIn;
    QString Chosen;
    std::unique_ptr<SoundPlayer> Player;
    TSoundListView* List = nullptr;
    bool Shown = false;
    bool Activated = false;
};

// Opens the sound library on current, a bare file name or empty. Returns
// kSoundSelected and writes the selected sound into chosen, or returns
// kSoundCancelled and leaves chosen as it was.
int ChooseSound(const QString& current, QString& chosen, QWidget* owner = nullptr);

// A confirmation box with Yes and No, captioned with the program's title;
// true on Yes. The text keeps the program's "\r\n" line breaks.
bool AskSoundQuestion(QWidget* parent, const QString& text);

// The notices about MP3, and about WAV and AU, for a file name or an
// extension; each can be silenced for good.
void WarnSoundType(const QString& name);

// Makes the player of each new sound library dialog; empty restores the
// program's own. Lets a test hear what the dialog plays without a device.
using SoundPlayerFactory = std::function<std::unique_ptr<SoundPlayer>()>;
void SetSoundPlayerFactory(SoundPlayerFactory factory);
