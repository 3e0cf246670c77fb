#include "app/fmMain.h"
#include "app/fmMainWidgets.h"
#include "app/gRegistry.h"
#include "app/gVars.h"
#include "dialogs/fmMsg.h"
#include "sounds/SoundFixtures.h"
#include "sounds/SoundLibrary.h"
#include "sounds/fmSetSound.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace testsupport;
using soundtest::MakeMidi;
using soundtest::MakeWave;
using soundtest::RecordingPlayer;

namespace {

// Answers every modal box that opens, in turn, with the next of the given
// button texts, and notes each box's text. A sound library dialog that opens
// is handed to OnLibrary instead, once its list is filled.
class Boxes {
public:
    explicit Boxes(QStringList answers = {}) : Answers(std::move(answers)) {
        Timer.setInterval(10);
        QObject::connect(&Timer, &QTimer::timeout, [this] { Poll(); });
        Timer.start();
    }

    std::function<void(TfrmSetSound*)> OnLibrary;
    QStringList Seen;

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == Busy)
            return;
        if (auto* library = qobject_cast<TfrmSetSound*>(modal)) {
            if (!library->IsActivated())
                return;
            Busy = modal;
            Seen << QStringLiteral("(library)");
            if (OnLibrary)
                OnLibrary(library);
            else
                library->btnCancel->click();
            Busy = nullptr;
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            Seen << box->text();
        else if (auto* msg = qobject_cast<TfrmMsg*>(modal))
            Seen << msg->lblMsg->text();
        const QString answer = Answers.isEmpty() ? QStringLiteral("OK") : Answers.takeFirst();
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
            if (button->isVisible() && button->text().remove(QLatin1Char('&')) == answer) {
                button->click();
                return;
            }
        }
        modal->close();
    }

    QStringList Answers;
    QTimer Timer;
    QWidget* Busy = nullptr;
};

// Picks name in the sound library and presses Select.
std::function<void(TfrmSetSound*)> Pick(const QString& name) {
    return [name](TfrmSetSound* library) {
        QListWidget* list = library->ListView1;
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->data(TfrmSetSound::kFileNameRole).toString() == name)
                list->setCurrentRow(row);
        library->btnOk->click();
    };
}

class SoundSlots : public ::testing::Test {
protected:
    SoundSlots() {
        SetSoundPlayerFactory(
            [] { return std::make_unique<RecordingPlayer>(std::make_shared<QStringList>()); });
        Window = std::make_unique<TfrmMain>(Work.Path());
        if (!Window->FormCreate())
            qFatal("FormCreate failed");
        Window->show();
        Window->activateWindow();
        if (!QTest::qWaitForWindowActive(Window.get()))
            qFatal("the window did not become active");
    }
    ~SoundSlots() override {
        Window.reset();
        SetSoundPlayerFactory({});
    }

    QString Sounds() const { return appFolders().SoundsFolder; }
    QString AddSound(const QString& name, const QByteArray& bytes = MakeMidi()) {
        return WriteFile(Sounds() + name, bytes);
    }
    QString Outside(const QString& name, const QByteArray& bytes = MakeWave()) {
        return WriteFile(Home.Path() + QStringLiteral("/incoming/") + name, bytes);
    }

    void Drop(TSoundPanel* panel, const QStringList& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        mime.setUrls(urls);
        const QPoint at(panel->width() / 2, panel->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &drop);
    }

    TestHome Home;
    WorkingFolder Work;
    std::unique_ptr<TfrmMain> Window;
};

} // namespace

TEST_F(SoundSlots, TheSoundMenu) {
    QStringList items;
    for (QAction* action : Window->mnuSound->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(
        items,
        (QStringList{QStringLiteral("Browse Packet Sound"), QStringLiteral("Browse Open Effect"),
                     QStringLiteral("Browse Surprise Sound"), QStringLiteral("-"),
                     QStringLiteral("Clear Packet Sound"), QStringLiteral("Clear Open Effect"),
                     QStringLiteral("Clear Surprise Sound")}));
    EXPECT_EQ(Window->mnuSound->defaultAction(), Window->ActBrowsePacketSound);
}

TEST_F(SoundSlots, OnlyTheFirstDroppedFileCounts) {
    const QStringList four{Outside(QStringLiteral("a.wav")),
                           Outside(QStringLiteral("b.mid"), MakeMidi()),
                           Outside(QStringLiteral("c.mp3")), Outside(QStringLiteral("d.au"))};
    Boxes boxes;
    Drop(Window->pnlPacketSound, four);
    EXPECT_EQ(builderState().PacketSound, QStringLiteral("a.wav"));
    EXPECT_EQ(Window->pnlPacketSound->text(), QStringLiteral("a"));
    EXPECT_EQ(QDir(Sounds()).entryList(QDir::Files), QStringList{QStringLiteral("a.wav")});

    // A first file of another type makes the whole drop do nothing.
    Drop(Window->pnlSurpriseSound, {Outside(QStringLiteral("song.ogg")), four[1]});
    EXPECT_TRUE(builderState().SurpriseSound.isEmpty());
    EXPECT_EQ(QDir(Sounds()).entryList(QDir::Files), QStringList{QStringLiteral("a.wav")});
}

TEST_F(SoundSlots, DropFiltersByExtensionWithoutAWord) {
    struct Case {
        const char* file;
        bool accepted;
    };
    const Case cases[] = {{"song.MID", true},
                          {"song.ogg", false},
                          {"song.midi", false},
                          {"song", false},
                          {"tone.Au", true}};
    for (const Case& c : cases) {
        builderState() = BuilderState{};
        builderState().Built = true;
        Window->pnlOpenEffectSound->clear();
        Boxes boxes;
        Drop(Window->pnlOpenEffectSound, {Outside(QString::fromUtf8(c.file), MakeMidi())});
        const QString expected = c.accepted ? QString::fromUtf8(c.file) : QString();
        EXPECT_EQ(builderState().OpenEffectSound, expected) << c.file;
        EXPECT_EQ(QFileInfo::exists(Sounds() + QString::fromUtf8(c.file)), c.accepted) << c.file;
        EXPECT_EQ(builderState().Built, !c.accepted) << c.file;
        EXPECT_EQ(Window->pnlOpenEffectSound->text(),
                  c.accepted ? QFileInfo(expected).completeBaseName() : QString())
            << c.file;
        QTest::qWait(30);
        // Only the AU asks for anything: its type notice.
        EXPECT_EQ(boxes.Seen.size(), QString::fromUtf8(c.file).endsWith(QLatin1String(".Au")))
            << c.file;
    }
}

TEST_F(SoundSlots, AnExistingNameAnsweredNoTakesTheLibrarySound) {
    AddSound(QStringLiteral("song.mid"), "library");
    const QString dropped = Outside(QStringLiteral("song.mid"), "dropped");
    {
        Boxes boxes({QStringLiteral("No")});
        Drop(Window->pnlSurpriseSound, {dropped});
        EXPECT_EQ(boxes.Seen, QStringList{QStringLiteral("The sound you try to import is already "
                                                         "in the sound list!\nWould you like to "
                                                         "overwrite it?")});
    }
    EXPECT_EQ(builderState().SurpriseSound, QStringLiteral("song.mid"));
    EXPECT_EQ(Window->pnlSurpriseSound->text(), QStringLiteral("song"));
    EXPECT_EQ(ReadFile(Sounds() + QStringLiteral("song.mid")), QByteArray("library"));
    {
        Boxes boxes({QStringLiteral("Yes")});
        Drop(Window->pnlSurpriseSound, {dropped});
    }
    EXPECT_EQ(ReadFile(Sounds() + QStringLiteral("song.mid")), QByteArray("dropped"));
}

TEST_F(SoundSlots, AnMp3DropShowsItsNoticeEveryTimeUnlessSilenced) {
    const QString dropped = Outside(QStringLiteral("tune.mp3"));
    const QString notice = QStringLiteral(
        "Choosing an Mp3 file type sound can increase the Surprise file size\nand may it not play "
        "on all computers.\n\nIs recommended to use MID file type sounds.");
    {
        Boxes boxes;
        Drop(Window->pnlPacketSound, {dropped});
        QTest::qWait(30);
        EXPECT_EQ(boxes.Seen.size(), 1);
        EXPECT_EQ(boxes.Seen.value(0).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  notice);
    }
    builderState().Built = true;
    {
        // Again into the slot that holds it: the name exists now, so the
        // question comes first; the notice follows, the build stays valid.
        Boxes boxes({QStringLiteral("No"), QStringLiteral("OK")});
        Drop(Window->pnlPacketSound, {dropped});
        QTest::qWait(30);
        ASSERT_EQ(boxes.Seen.size(), 2);
        EXPECT_EQ(boxes.Seen[1].replace(QStringLiteral("\r\n"), QStringLiteral("\n")), notice);
    }
    EXPECT_TRUE(builderState().Built);
    WriteSetting(kFlagsKey, QStringLiteral("MsgMp3TypeUsingFiles"), QStringLiteral("T"));
    {
        Boxes boxes({QStringLiteral("No")});
        Drop(Window->pnlPacketSound, {dropped});
        QTest::qWait(30);
        EXPECT_EQ(boxes.Seen.size(), 1); // the question only
    }
    EXPECT_EQ(builderState().PacketSound, QStringLiteral("tune.mp3"));
}

TEST_F(SoundSlots, AFailedCopyKeepsTheSlot) {
    builderState().PacketSound = QStringLiteral("old.mid");
    builderState().Built = true;
    QDir(Sounds()).removeRecursively();
    WriteFile(Work.Path() + QStringLiteral("Sounds"), "a file where the library should be");
    Boxes boxes;
    Drop(Window->pnlPacketSound, {Outside(QStringLiteral("new.mid"), MakeMidi())});
    QTest::qWait(30);
    EXPECT_EQ(builderState().PacketSound, QStringLiteral("old.mid"));
    EXPECT_TRUE(builderState().Built);
    EXPECT_TRUE(boxes.Seen.isEmpty());
}

TEST_F(SoundSlots, BrowseEntersTheChosenSoundAndInvalidatesOnlyOnChange) {
    AddSound(QStringLiteral("bell.mid"));
    AddSound(QStringLiteral("gong.mid"));
    struct Case {
        const char* pick; // empty: cancel the dialog
        const char* slot;
        bool built;
    };
    const Case cases[] = {
        {"bell.mid", "bell.mid", false}, // a first choice
        {"bell.mid", "bell.mid", true},  // the same again
        {"", "bell.mid", true},          // cancelled
        {"gong.mid", "gong.mid", false}, // another
    };
    for (const Case& c : cases) {
        builderState().Built = true;
        Boxes boxes;
        QString passedIn;
        const QString pick = QString::fromUtf8(c.pick);
        boxes.OnLibrary = [&passedIn, pick](TfrmSetSound* library) {
            passedIn = library->SelectedSound();
            if (pick.isEmpty())
                library->btnCancel->click();
            else
                Pick(pick)(library);
        };
        const QString before = builderState().OpenEffectSound;
        Window->ActBrowseOpenEffect->trigger();
        EXPECT_EQ(boxes.Seen, QStringList{QStringLiteral("(library)")}) << c.pick;
        EXPECT_EQ(passedIn, before.isEmpty() ? QStringLiteral("bell.mid") : before) << c.pick;
        EXPECT_EQ(builderState().OpenEffectSound, QString::fromUtf8(c.slot)) << c.pick;
        EXPECT_EQ(Window->pnlOpenEffectSound->text(), SoundCaption(QString::fromUtf8(c.slot)))
            << c.pick;
        EXPECT_EQ(builderState().Built, c.built) << c.pick;
    }
    EXPECT_TRUE(builderState().PacketSound.isEmpty());
    EXPECT_TRUE(builderState().SurpriseSound.isEmpty());
}

TEST_F(SoundSlots, ClearEmptiesTheSlotAndLeavesAnEmptyOneAlone) {
    AddSound(QStringLiteral("bell.mid"));
    builderState().Built = true;
    Window->ActClearPacketSound->trigger();
    EXPECT_TRUE(builderState().Built);

    {
        Boxes boxes;
        boxes.OnLibrary = Pick(QStringLiteral("bell.mid"));
        Window->ActBrowsePacketSound->trigger();
    }
    builderState().Built = true;
    Window->btn8->click();
    EXPECT_TRUE(builderState().PacketSound.isEmpty());
    EXPECT_TRUE(Window->pnlPacketSound->text().isEmpty());
    EXPECT_FALSE(builderState().Built);
}

TEST_F(SoundSlots, ASoundWithoutCaptionCanStillBeCleared) {
    Boxes boxes;
    Drop(Window->pnlSurpriseSound, {Outside(QStringLiteral(".mid"), MakeMidi())});
    ASSERT_EQ(builderState().SurpriseSound, QStringLiteral(".mid"));
    EXPECT_TRUE(Window->pnlSurpriseSound->text().isEmpty());
    Window->ActClearSurpriseSound->trigger();
    EXPECT_TRUE(builderState().SurpriseSound.isEmpty());
}

TEST_F(SoundSlots, TheKeyboardFollowsTheSlotLastUsedWithTheMouse) {
    AddSound(QStringLiteral("bell.mid"));
    struct Case {
        const char* click; // what the mouse was last used on
        Qt::Key key;
        const char* cleared; // the slot the key cleared, if any
        bool browsed;        // whether a sound library opened
    };
    const Case cases[] = {
        {"pnlOpenEffectSound", Qt::Key_Delete, "OpenEffect", false},
        {"pnlPacketSound", Qt::Key_Backspace, "Packet", false},
        {"btn11", Qt::Key_Delete, "Surprise", true},     // the surprise slot's browse button
        {"btn9", Qt::Key_Backspace, "OpenEffect", true}, // the open effect's
        {"pnlSurpriseSound", Qt::Key_Insert, "", true},
        {"pnlPacketSound", Qt::Key_Space, "", true},
        {"pnlOpenEffectSound", Qt::Key_Return, "", true},
    };
    const QMap<QString, QWidget*> widgets{
        {QStringLiteral("pnlPacketSound"), Window->pnlPacketSound},
        {QStringLiteral("pnlOpenEffectSound"), Window->pnlOpenEffectSound},
        {QStringLiteral("pnlSurpriseSound"), Window->pnlSurpriseSound},
        {QStringLiteral("btn9"), Window->btn9},
        {QStringLiteral("btn11"), Window->btn11}};
    for (const Case& c : cases) {
        BuilderState& state = builderState();
        state.PacketSound = state.OpenEffectSound = state.SurpriseSound = QStringLiteral("x.mid");
        Window->edtPassword->setFocus(); // away from every slot
        Boxes boxes;
        QTest::mouseClick(widgets.value(QString::fromUtf8(c.click)), Qt::LeftButton);
        // After a library has come and gone, the window is active again, as
        // the desktop makes it.
        Window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get())) << c.click;
        ASSERT_TRUE(QTest::qWaitFor([this] {
            return QApplication::focusWidget() &&
                   QApplication::focusWidget() != Window->edtPassword;
        })) << c.click;
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << c.click;
        QTest::keyClick(focused, c.key);
        QTest::qWait(30);
        const QString cleared = QString::fromUtf8(c.cleared);
        EXPECT_EQ(state.PacketSound.isEmpty(), cleared == QLatin1String("Packet")) << c.click;
        EXPECT_EQ(state.OpenEffectSound.isEmpty(), cleared == QLatin1String("OpenEffect"))
            << c.click;
        EXPECT_EQ(state.SurpriseSound.isEmpty(), cleared == QLatin1String("Surprise")) << c.click;
        EXPECT_EQ(boxes.Seen.size(), c.browsed ? 1 : 0) << c.click;
    }
}

TEST_F(SoundSlots, ADoubleClickOnAPanelBrowses) {
    AddSound(QStringLiteral("bell.mid"));
    Boxes boxes;
    boxes.OnLibrary = Pick(QStringLiteral("bell.mid"));
    QTest::mouseDClick(Window->pnlSurpriseSound, Qt::LeftButton);
    EXPECT_EQ(builderState().SurpriseSound, QStringLiteral("bell.mid"));
    EXPECT_EQ(Window->pnlSurpriseSound->text(), QStringLiteral("bell"));
}
