#include "sounds/fmSetSound.h"

#include "Artwork.h"
#include "app/gRegistry.h"
#include "app/gVars.h"
#include "dialogs/fmMsg.h"
#include "library/ImportDialog.h"
#include "platform/SoundPlayer.h"
#include "sounds/SoundLibrary.h"
#include "sounds/SoundSlots.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QColor kStripColour(0, 95, 140);
const QColor kStripTextColour(249, 253, 255);
const QString kTitle = QStringLiteral("Zorvane");
constexpr int kClientWidth = 346;
constexpr int kClientHeight = 455;
constexpr int kStripHeight = 25;
constexpr int kFooterHeight = 35;

SoundPlayerFactory& PlayerFactory() {
    static SoundPlayerFactory factory;
    return factory;
}

std::unique_ptr<SoundPlayer> MakePlayer() {
    if (PlayerFactory())
        return PlayerFactory()();
    return std::make_unique<SoundPlayer>();
}

// Message texts keep the program's "\r\n"; a label breaks at "\n".
QString ShownText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QIcon Glyph(const QString& name) {
    QIcon icon;
    const QPixmap normal = ArtworkPixmap(name);
    if (!normal.isNull())
        icon.addPixmap(normal, QIcon::Normal);
    const QPixmap disabled = ArtworkPixmap(name + QStringLiteral("-disabled"));
    if (!disabled.isNull())
        icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}

QWidget* Strip(QWidget* parent, int height) {
    auto* strip = new QWidget(parent);
    strip->setFixedHeight(height);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, kStripColour);
    strip->setPalette(palette);
    return strip;
}

// A flat button that shows and triggers action, and follows its state.
QToolButton* FlatButton(QWidget* parent, QAction* action, const QString& glyph) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFixedSize(25, 25);
    button->setIconSize(QSize(25, 25));
    button->setIcon(Glyph(glyph));
    if (button->icon().isNull())
        button->setText(action->text().left(1));
    button->setToolTip(action->toolTip());
    button->setFocusPolicy(Qt::NoFocus);
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

// Restores the cursor on every path.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Resumes the list's drawing on every path.
struct UpdatesSuspended {
    explicit UpdatesSuspended(QWidget* widget) : Widget(widget) {
        Widget->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended() { Widget->setUpdatesEnabled(true); }
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;
    QWidget* Widget;
};

QStringList LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

// The dialog's list: takes copy drops of local files and paints the
// empty-list notice over its surface.
class TSoundListView : public QListWidget {
public:
    explicit TSoundListView(QWidget* parent) : QListWidget(parent) { setAcceptDrops(true); }

    std::function<void(const QStringList&)> OnDrop;
    bool NoticeWanted = false;

    bool NoticeShown() const { return NoticeWanted && count() == 0; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { AcceptCopy(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { AcceptCopy(event); }
    void dropEvent(QDropEvent* event) override {
        const QStringList files = LocalFiles(event->mimeData());
        if (files.isEmpty()) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
        if (OnDrop)
            OnDrop(files);
    }

    void paintEvent(QPaintEvent* event) override {
        QListWidget::paintEvent(event);
        if (!NoticeShown())
            return;
        QPainter painter(viewport());
        const QString text = QStringLiteral("No sounds found.");
        const QFontMetrics metrics(font());
        const int x = (viewport()->width() - metrics.horizontalAdvance(text)) / 2;
        const int y = (viewport()->height() + 10 - metrics.height()) / 2;
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRect(x, y, metrics.horizontalAdvance(text) + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop, text);
    }

private:
    static void AcceptCopy(QDragMoveEvent* event) {
        if (LocalFiles(event->mimeData()).isEmpty()) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
};

TfrmSetSound::TfrmSetSound(const QString& passedIn, std::unique_ptr<SoundPlayer> player,
                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      PassedIn(passedIn), Chosen(passedIn), Player(player ? std::move(player) : MakePlayer()) {
    setObjectName(QStringLiteral("frmSetSound"));
    setWindowTitle(kTitle);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    imgSounds = {QIcon(ArtworkPixmap(QStringLiteral("sound-mid"))),
                 QIcon(ArtworkPixmap(QStringLiteral("sound-wav"))),
                 QIcon(ArtworkPixmap(QStringLiteral("sound-mp3"))),
                 QIcon(ArtworkPixmap(QStringLiteral("sound-au")))};

    CreateActions();
    CreateLayout();
    CreateMenus();

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    SetImportFilter(*OpenDialog1,
                    QStringLiteral("All (*.mid;*.wav;*.mp3;*.au)|*.mid;*.wav;*.mp3;*.au|"
                                   "Musical instrument digital interface (*.mid)|*.mid|"
                                   "Wave (*.wav)|*.wav|Mpeg layer 3 (*.mp3)|*.mp3|"
                                   "Audio File (*.au)|*.au"));
    OpenDialog1->setDefaultSuffix(QStringLiteral("mid"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setSizeGripEnabled(true);

    // Keys reach the dialog from whichever control has the focus; none of
    // the controls keeps the ones the commands use, so the dialog sees them all.
    installEventFilter(this);
    KeyState();
}

TfrmSetSound::~TfrmSetSound() {
    try {
        Player->Stop();
        Player->Close();
    } catch (...) {
        // Playback must never keep the dialog from going away.
    }
}

void TfrmSetSound::CreateActions() {
    auto make = [this](const QString& text, void (TfrmSetSound::*handler)()) {
        auto* action = new QAction(text, this);
        action->setToolTip(text);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    ActSelect = make(QStringLiteral("Select"), &TfrmSetSound::ActSelectExecute);
    ActPlay = make(QStringLiteral("Play Sound"), &TfrmSetSound::ActPlayExecute);
    ActStop = make(QStringLiteral("Stop Playing"), &TfrmSetSound::ActStopExecute);
    ActImportSound = make(QStringLiteral("Import Sound"), &TfrmSetSound::ActImportSoundExecute);
    ActRemoveSound = make(QStringLiteral("Remove Sound"), &TfrmSetSound::ActRemoveSoundExecute);
    ActSelect->setEnabled(false);
}

void TfrmSetSound::CreateLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QWidget* header = Strip(this, kStripHeight);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(6, 0, 0, 0);
    headerRow->setSpacing(0);
    lblTitle = new QLabel(QStringLiteral("Select sound"), header);
    QFont titleFont = lblTitle->font();
    titleFont.setPixelSize(16);
    lblTitle->setFont(titleFont);
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, kStripTextColour);
    lblTitle->setPalette(titlePalette);
    headerRow->addWidget(lblTitle);
    headerRow->addStretch();
    btnPlay = FlatButton(header, ActPlay, QStringLiteral("btn-play"));
    btnStop = FlatButton(header, ActStop, QStringLiteral("btn-stop"));
    btnImport = FlatButton(header, ActImportSound, QStringLiteral("btn-import"));
    btnRemove = FlatButton(header, ActRemoveSound, QStringLiteral("btn-remove"));
    for (QToolButton* button : {btnPlay, btnStop, btnImport, btnRemove})
        headerRow->addWidget(button);
    layout->addWidget(header);

    List = new TSoundListView(this);
    ListView1 = List;
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setViewMode(QListView::IconMode);
    ListView1->setMovement(QListView::Static);
    ListView1->setResizeMode(QListView::Adjust);
    ListView1->setWrapping(true);
    ListView1->setIconSize(QSize(32, 32));
    ListView1->setGridSize(QSize(80, 64));
    ListView1->setWordWrap(true);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setDragDropMode(QAbstractItemView::DropOnly);
    // A static icon view refuses drops on its surface unless told again.
    ListView1->viewport()->setAcceptDrops(true);
    ListView1->setFrameShape(QFrame::NoFrame);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    // The selection stays visible when the list loses the focus.
    QPalette listPalette = ListView1->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    ListView1->setPalette(listPalette);
    List->OnDrop = [this](const QStringList& files) { DropFileTarget1Drop(files); };
    connect(ListView1, &QListWidget::itemSelectionChanged, this, &TfrmSetSound::KeyState);
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    layout->addWidget(ListView1, 1);

    QWidget* footer = Strip(this, kFooterHeight);
    auto* footerRow = new QHBoxLayout(footer);
    footerRow->setContentsMargins(6, 6, 6, 6);
    footerRow->addStretch();
    btnOk = new QPushButton(QStringLiteral("Select"), footer);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), footer);
    for (QPushButton* button : {btnOk, btnCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumSize(75, 23);
        footerRow->addWidget(button);
    }
    btnOk->setEnabled(ActSelect->isEnabled());
    connect(btnOk, &QPushButton::clicked, ActSelect, &QAction::trigger);
    connect(ActSelect, &QAction::changed, btnOk,
            [this] { btnOk->setEnabled(ActSelect->isEnabled()); });
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSetSound::reject);
    layout->addWidget(footer);
}

void TfrmSetSound::CreateMenus() {
    auto fill = [this](QMenu* menu) {
        menu->addAction(ActSelect);
        menu->setDefaultAction(ActSelect);
        menu->addSeparator();
        menu->addAction(ActPlay);
        menu->addAction(ActStop);
        menu->addSeparator();
        menu->addAction(ActImportSound);
        menu->addSeparator();
        menu->addAction(ActRemoveSound);
    };
    MainMenu1 = new QMenuBar(this);
    mnuFile = MainMenu1->addMenu(QStringLiteral("File"));
    fill(mnuFile);
    popList = new QMenu(this);
    fill(popList);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popList->popup(ListView1->viewport()->mapToGlobal(pos)); });
    layout()->setMenuBar(MainMenu1);
    // The client area is the part below the menu bar.
    setFixedSize(kClientWidth, kClientHeight + MainMenu1->sizeHint().height());
}

QString TfrmSetSound::SelectedSound() const {
    const QList<QListWidgetItem*> selected = ListView1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(kFileNameRole).toString();
}

bool TfrmSetSound::NoResultsShown() const {
    return List->NoticeShown();
}

void TfrmSetSound::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The dialog is activated once per use: while it is up, only its own
    // boxes can take the activation, and coming back from them must not
    // refill the list. Filling after the show lets the window paint first.
    if (!Shown) {
        Shown = true;
        QTimer::singleShot(0, this, &TfrmSetSound::FormActivate);
    }
}

void TfrmSetSound::FormActivate() {
    QCoreApplication::processEvents();
    FillSounds(PassedIn);
    QCoreApplication::processEvents();
    if (ListView1->count() == 0) {
        DrawNoResults();
        ListView1->setFocusPolicy(Qt::ClickFocus);
        Activated = true;
        return;
    }
    ListView1->setFocusPolicy(Qt::StrongFocus);
    if (PassedIn.isEmpty())
        ListView1->setCurrentRow(0);
    KeyState();
    ListView1->setFocus();
    Activated = true;
}

void TfrmSetSound::FillSounds(const QString& select) {
    {
        UpdatesSuspended suspended(ListView1);
        ListView1->clear();
        QVector<SoundEntry> entries = ScanSounds(appFolders().SoundsFolder);
        SortSounds(entries);
        const int selected = FindSound(entries, select);
        for (int i = 0; i < entries.size(); ++i) {
            const SoundEntry& entry = entries[i];
            auto* item = new QListWidgetItem(imgSounds.value(entry.ImageIndex), entry.Caption);
            item->setData(kFileNameRole, entry.FileName);
            item->setData(kImageIndexRole, entry.ImageIndex);
            ListView1->addItem(item);
            if (i == selected) {
                ListView1->setCurrentItem(item);
                ListView1->scrollToItem(item);
            }
        }
    }
    KeyState();
    QCoreApplication::processEvents();
}

void TfrmSetSound::DrawNoResults() {
    List->NoticeWanted = true;
    ListView1->viewport()->update();
}

void TfrmSetSound::KeyState() {
    const bool one = !SelectedSound().isEmpty();
    ActSelect->setEnabled(one);
    ActPlay->setEnabled(one);
    ActRemoveSound->setEnabled(one);
}

void TfrmSetSound::ActSelectExecute() {
    const QString name = SelectedSound();
    if (name.isEmpty())
        return;
    Chosen = name;
    WarnSoundType(ExtractFileExt(name));
    done(kSoundSelected);
}

void TfrmSetSound::ActPlayExecute() {
    QCoreApplication::processEvents();
    ActStopExecute();
    const QString name = SelectedSound();
    if (name.isEmpty())
        return;
    WaitCursor wait;
    // A sound that cannot be opened or played stays silent.
    try {
        if (Player->Open(appFolders().SoundsFolder + name))
            Player->Play();
    } catch (...) {
    }
}

void TfrmSetSound::ActStopExecute() {
    QCoreApplication::processEvents();
    try {
        Player->Stop();
        Player->Close();
    } catch (...) {
        // Stopping is harmless when nothing is open, and must stay so.
    }
}

void TfrmSetSound::ActImportSoundExecute() {
    if (ExecuteImportDialog(*OpenDialog1))
        LoadSound(OpenDialog1->selectedFiles().value(0));
}

void TfrmSetSound::LoadSound(const QString& path) {
    const AppFolders& folders = appFolders();
    if (IsAlreadyImported(folders.ProgramFolder, path))
        return;
    const QString name = ImportSound(path, folders.SoundsFolder, [this] {
        return AskSoundQuestion(this, ImportOverwriteText());
    });
    if (!name.isEmpty())
        FillSounds(name);
}

void TfrmSetSound::DropFileTarget1Drop(const QStringList& files) {
    for (const QString& file : files) {
        if (!HasSoundExtension(file))
            continue;
        LoadSound(file);
        QCoreApplication::processEvents();
    }
}

void TfrmSetSound::ActRemoveSoundExecute() {
    const QString name = SelectedSound();
    if (name.isEmpty())
        return;
    ActStopExecute();
    const QStringList words = SlotWordsHolding(builderState(), name);
    if (!words.isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, kTitle,
                        ShownText(RemoveRefusalText(name, JoinSlotWords(words))), QMessageBox::Ok,
                        this);
        box.setTextFormat(Qt::PlainText); // a file name is never markup
        box.exec();
        return;
    }
    if (!AskSoundQuestion(this, RemoveQuestionText(name)))
        return;
    if (QFile::remove(appFolders().SoundsFolder + name))
        FillSounds(QString());
}

void TfrmSetSound::ListView1DblClick() {
    ActSelectExecute();
}

void TfrmSetSound::done(int result) {
    // No sound outlives the dialog, whichever way it closes.
    ActStopExecute();
    QDialog::done(result);
}

void TfrmSetSound::reject() {
    done(kSoundCancelled);
}

bool TfrmSetSound::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return PreviewKey(watched, event);
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (watched == ListView1)
            KeyState();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == ListView1->viewport())
            KeyState();
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == ListView1->viewport())
            ListView1DblClick();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// Space, Delete, Insert and Backspace act on release; Enter and Escape on
// the typed character.
bool TfrmSetSound::PreviewKey(QObject* watched, QEvent* event) {
    if (watched != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyRelease) {
        if (key->isAutoRepeat())
            return false;
        switch (key->key()) {
        case Qt::Key_Space:
            ActPlay->trigger();
            break;
        case Qt::Key_Delete:
            ActRemoveSound->trigger();
            break;
        case Qt::Key_Insert:
            ActImportSound->trigger();
            break;
        case Qt::Key_Backspace:
            ActStop->trigger();
            break;
        default:
            break;
        }
        return false;
    }
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ActSelect->trigger();
        return true;
    case Qt::Key_Escape:
        btnCancel->click();
        return true;
    default:
        return false;
    }
}

int ChooseSound(const QString& current, QString& chosen, QWidget* owner) {
    int result = kSoundCancelled;
    QString selected;
    {
        TfrmSetSound dialog(current, nullptr, owner);
        result = dialog.exec();
        selected = dialog.ChosenSound();
    }
    if (result == kSoundSelected)
        chosen = selected;
    QCoreApplication::processEvents();
    return result == kSoundSelected ? kSoundSelected : kSoundCancelled;
}

bool AskSoundQuestion(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kTitle, ShownText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void WarnSoundType(const QString& name) {
    const QVector<SoundTypeNotice> notices = SoundTypeNotices(name);
    for (const SoundTypeNotice& notice : notices)
        ShowMsg(notice.ClientHeight, notice.Text, MsgButton::Ok, MsgKind::Information, kFlagsKey,
                notice.ValueName, kTitle);
}

void SetSoundPlayerFactory(SoundPlayerFactory factory) {
    PlayerFactory() = std::move(factory);
}
