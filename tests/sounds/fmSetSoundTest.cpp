#include "sounds/fmSetSound.h"

#include "app/gRegistry.h"
#include "app/gVars.h"
#include "library/ImportDialog.h"
#include "sounds/SoundFixtures.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
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

// A working folder whose Sounds library the test fills, and a dialog on it
// whose player records what it is asked.
class SoundDialog : public ::testing::Test {
protected:
    SoundDialog() {
        appFolders() = AppFolders::FromProgramFolder(Work.Path());
        builderState() = BuilderState{};
    }
    ~SoundDialog() override { SetSoundPlayerFactory({}); }

    QString Sounds() const { return appFolders().SoundsFolder; }
    QString AddSound(const QString& name) {
        return WriteFile(Sounds() + name, name.endsWith(QLatin1String(".mid"), Qt::CaseInsensitive)
                                              ? MakeMidi()
                                              : MakeWave());
    }
    // A file outside the working folder, as the user would bring it.
    QString Outside(const QString& name, const QByteArray& bytes = MakeWave()) {
        return WriteFile(Home.Path() + QStringLiteral("/incoming/") + name, bytes);
    }

    // Shows the dialog as ChooseSound does and waits for its first activation.
    TfrmSetSound& Open(const QString& passedIn = {}) {
        Dialog = std::make_unique<TfrmSetSound>(passedIn, std::make_unique<RecordingPlayer>(Log));
        Dialog->show();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Dialog->IsActivated(); }));
        return *Dialog;
    }

    QStringList Captions() const {
        QStringList captions;
        for (int i = 0; i < Dialog->ListView1->count(); ++i)
            captions << Dialog->ListView1->item(i)->text();
        return captions;
    }

    void Drop(const QStringList& paths) {
        auto* mime = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        mime->setUrls(urls);
        const std::unique_ptr<QMimeData> owner(mime);
        QWidget* target = Dialog->ListView1->viewport();
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }

    // The player calls since the last look.
    QStringList TakeLog() {
        const QStringList calls = *Log;
        Log->clear();
        return calls;
    }

    TestHome Home;
    WorkingFolder Work;
    std::shared_ptr<QStringList> Log = std::make_shared<QStringList>();
    std::unique_ptr<TfrmSetSound> Dialog;
};

const QStringList kStopped{QStringLiteral("Stop"), QStringLiteral("Close")};

// Runs act on the sound library dialog once its first activation has filled
// it. The activation lets events run, so waiting inside it would deadlock.
void WhenActivated(TfrmSetSound* dialog, std::function<void(TfrmSetSound*)> act) {
    if (dialog->IsActivated()) {
        act(dialog);
        return;
    }
    QTimer::singleShot(10, dialog, [dialog, act] { WhenActivated(dialog, act); });
}

} // namespace

TEST_F(SoundDialog, LayoutAsDesigned) {
    AddSound(QStringLiteral("bell.wav"));
    TfrmSetSound& dialog = Open();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Zorvane"));
    EXPECT_EQ(dialog.width(), 346);
    EXPECT_EQ(dialog.height() - dialog.MainMenu1->height(), 455);
    EXPECT_EQ(dialog.lblTitle->text(), QStringLiteral("Select sound"));
    EXPECT_EQ(dialog.btnOk->text(), QStringLiteral("Select"));
    EXPECT_EQ(dialog.btnCancel->text(), QStringLiteral("Cancel"));
    // Play, Stop, Import, Remove from left to right, each with its hint.
    const QList<QToolButton*> buttons{dialog.btnPlay, dialog.btnStop, dialog.btnImport,
                                      dialog.btnRemove};
    const QStringList hints{QStringLiteral("Play Sound"), QStringLiteral("Stop Playing"),
                            QStringLiteral("Import Sound"), QStringLiteral("Remove Sound")};
    for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->toolTip(), hints[i]);
        EXPECT_EQ(buttons[i]->size(), QSize(25, 25));
        if (i > 0) {
            EXPECT_LT(buttons[i - 1]->x(), buttons[i]->x());
        }
    }
    for (QMenu* menu : {dialog.mnuFile, dialog.popList}) {
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        EXPECT_EQ(items, (QStringList{QStringLiteral("Select"), QStringLiteral("-"),
                                      QStringLiteral("Play Sound"), QStringLiteral("Stop Playing"),
                                      QStringLiteral("-"), QStringLiteral("Import Sound"),
                                      QStringLiteral("-"), QStringLiteral("Remove Sound")}));
        EXPECT_EQ(menu->defaultAction(), dialog.ActSelect);
    }
    EXPECT_EQ(dialog.ListView1->viewMode(), QListView::IconMode);
    EXPECT_EQ(dialog.ListView1->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(SoundDialog, EmptyAndMissingFoldersShowTheNoticeAndOfferNothing) {
    for (const bool missing : {false, true}) {
        if (missing)
            QDir(Sounds()).removeRecursively();
        TfrmSetSound& dialog = Open();
        EXPECT_EQ(dialog.ListView1->count(), 0);
        EXPECT_TRUE(dialog.NoResultsShown());
        EXPECT_EQ(dialog.ListView1->focusPolicy(), Qt::ClickFocus); // out of the tab order
        for (QAction* action : {dialog.ActSelect, dialog.ActPlay, dialog.ActRemoveSound})
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
        EXPECT_TRUE(dialog.ActStop->isEnabled());
        EXPECT_TRUE(dialog.ActImportSound->isEnabled());

        // The notice is painted on the list itself, in its middle.
        const QImage shot = dialog.ListView1->viewport()->grab().toImage();
        const QRect middle(shot.width() / 4, shot.height() / 2 - 10, shot.width() / 2, 20);
        int dark = 0;
        for (int y = middle.top(); y <= middle.bottom(); ++y)
            for (int x = middle.left(); x <= middle.right(); ++x)
                dark += qGray(shot.pixel(x, y)) < 128;
        EXPECT_GT(dark, 20);

        QTest::keyClick(dialog.ListView1, Qt::Key_Return);
        QTest::keyClick(dialog.ListView1, Qt::Key_Space);
        QTest::keyClick(dialog.ListView1, Qt::Key_Delete);
        dialog.ListView1DblClick();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(Log->join(QLatin1Char(' ')).contains(QLatin1String("Open")));
        Dialog.reset();
    }
}

TEST_F(SoundDialog, SelectionOnOpening) {
    for (const char* name : {"zeta.mid", "alpha.wav", "bell.wav", "Bell.mid"})
        AddSound(QString::fromUtf8(name));
    struct Case {
        const char* passedIn;
        const char* selected; // empty: nothing selected
    };
    const Case cases[] = {
        {"", "alpha.wav"},        // the first caption
        {"BELL.WAV", "bell.wav"}, // found without regard to case
        {"Bell.mid", "Bell.mid"},
        {"gone.mid", ""}, // not in the folder
    };
    for (const Case& c : cases) {
        TfrmSetSound& dialog = Open(QString::fromUtf8(c.passedIn));
        EXPECT_EQ(Captions(), (QStringList{QStringLiteral("alpha"), QStringLiteral("bell"),
                                           QStringLiteral("Bell"), QStringLiteral("zeta")}));
        EXPECT_EQ(dialog.SelectedSound(), QString::fromUtf8(c.selected)) << c.passedIn;
        EXPECT_EQ(dialog.ActSelect->isEnabled(), *c.selected != 0) << c.passedIn;
        EXPECT_EQ(dialog.btnOk->isEnabled(), *c.selected != 0) << c.passedIn;
        EXPECT_FALSE(dialog.NoResultsShown());
        Dialog.reset();
    }
}

TEST_F(SoundDialog, SameCaptionTwoSoundsEachPlayedAndSelectedAsItself) {
    AddSound(QStringLiteral("bell.wav"));
    AddSound(QStringLiteral("bell.mid"));
    WriteSetting(kFlagsKey, QStringLiteral("MsgWavAuTypeUsingFiles"), QStringLiteral("T"));
    TfrmSetSound& dialog = Open();
    ASSERT_EQ(Captions(), (QStringList{QStringLiteral("bell"), QStringLiteral("bell")}));
    QListWidget* list = dialog.ListView1;
    EXPECT_EQ(list->item(0)->data(TfrmSetSound::kImageIndexRole).toInt(), 0);
    EXPECT_EQ(list->item(1)->data(TfrmSetSound::kImageIndexRole).toInt(), 1);
    EXPECT_EQ(list->item(0)->data(TfrmSetSound::kFileNameRole).toString(),
              QStringLiteral("bell.mid"));
    EXPECT_EQ(list->item(1)->data(TfrmSetSound::kFileNameRole).toString(),
              QStringLiteral("bell.wav"));

    for (int row : {0, 1}) {
        list->setCurrentRow(row);
        TakeLog();
        dialog.ActPlay->trigger();
        const QString file = list->item(row)->data(TfrmSetSound::kFileNameRole).toString();
        const QStringList played{QStringLiteral("Open ") + Sounds() + file, QStringLiteral("Play")};
        EXPECT_EQ(TakeLog(), kStopped + played);
    }
    dialog.ActSelect->trigger();
    EXPECT_EQ(dialog.ChosenSound(), QStringLiteral("bell.wav"));
}

TEST_F(SoundDialog, PlayTwiceStartsAgainAndEveryCloseStops) {
    AddSound(QStringLiteral("tune.mid"));
    enum class Close { Cancel, Escape, CloseBox, Select };
    for (const Close how : {Close::Cancel, Close::Escape, Close::CloseBox, Close::Select}) {
        TfrmSetSound& dialog = Open(QStringLiteral("tune.mid"));
        TakeLog();
        QTest::keyClick(dialog.ListView1, Qt::Key_Space); // plays on release
        dialog.btnPlay->click();
        const QStringList play{QStringLiteral("Open ") + Sounds() + QStringLiteral("tune.mid"),
                               QStringLiteral("Play")};
        EXPECT_EQ(TakeLog(), kStopped + play + kStopped + play);
        switch (how) {
        case Close::Cancel:
            dialog.btnCancel->click();
            break;
        case Close::Escape:
            QTest::keyClick(dialog.ListView1, Qt::Key_Escape);
            break;
        case Close::CloseBox:
            dialog.close();
            break;
        case Close::Select:
            QTest::keyClick(dialog.ListView1, Qt::Key_Return);
            break;
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(TakeLog(), kStopped);
        EXPECT_EQ(dialog.result(), how == Close::Select ? kSoundSelected : kSoundCancelled);
        EXPECT_EQ(dialog.ChosenSound(), QStringLiteral("tune.mid"));
        Dialog.reset();
    }
}

TEST_F(SoundDialog, BackspaceStopsAndStopIsHarmlessWhenNothingPlays) {
    AddSound(QStringLiteral("tune.mid"));
    TfrmSetSound& dialog = Open();
    TakeLog();
    QTest::keyClick(dialog.ListView1, Qt::Key_Backspace);
    dialog.ActStop->trigger();
    EXPECT_EQ(TakeLog(), kStopped + kStopped);
}

TEST_F(SoundDialog, ChooseSoundReturnsTheSelectionOrLeavesTheCallersString) {
    AddSound(QStringLiteral("tune.mid"));
    AddSound(QStringLiteral("gong.mid"));
    SetSoundPlayerFactory([this] { return std::make_unique<RecordingPlayer>(Log); });
    struct Case {
        const char* how;
        int result;
        const char* chosen;
    };
    const Case cases[] = {{"select", 1, "gong.mid"},
                          {"cancel", 2, "keep"},
                          {"escape", 2, "keep"},
                          {"closebox", 2, "keep"}};
    for (const Case& c : cases) {
        const QString how = QString::fromUtf8(c.how);
        AnswerNextModal([how](QWidget* modal) {
            auto* library = qobject_cast<TfrmSetSound*>(modal);
            if (!library) {
                modal->close();
                return;
            }
            WhenActivated(library, [how](TfrmSetSound* dialog) {
                EXPECT_EQ(dialog->SelectedSound(), QStringLiteral("tune.mid"));
                dialog->ActPlay->trigger();
                if (how == QLatin1String("select")) {
                    dialog->ListView1->setCurrentRow(0);
                    dialog->btnOk->click();
                } else if (how == QLatin1String("cancel")) {
                    dialog->btnCancel->click();
                } else if (how == QLatin1String("escape")) {
                    QTest::keyClick(dialog->ListView1, Qt::Key_Escape);
                } else {
                    dialog->close();
                }
            });
        });
        QString chosen = QStringLiteral("keep");
        Log->clear();
        EXPECT_EQ(ChooseSound(QStringLiteral("tune.mid"), chosen), c.result) << c.how;
        EXPECT_EQ(chosen, QString::fromUtf8(c.chosen)) << c.how;
        ASSERT_GE(Log->size(), 2);
        EXPECT_EQ(Log->mid(Log->size() - 2), kStopped) << c.how;
    }
}

TEST_F(SoundDialog, SelectWarnsAboutCostlyTypesUnlessSilenced) {
    AddSound(QStringLiteral("song.mp3"));
    AddSound(QStringLiteral("tune.mid"));
    struct Case {
        const char* name;
        const char* notice; // the start of the notice's text, or empty
    };
    const Case cases[] = {{"song.mp3", "Choosing an Mp3 file type sound"}, {"tune.mid", ""}};
    for (const Case& c : cases) {
        TfrmSetSound& dialog = Open(QString::fromUtf8(c.name));
        QString seen;
        AnswerNextModal(
            [&seen](QWidget* modal) {
                for (QLabel* label : modal->findChildren<QLabel*>())
                    seen += label->text();
                modal->close();
            },
            1000);
        dialog.ActSelect->trigger();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), kSoundSelected);
        EXPECT_EQ(dialog.ChosenSound(), QString::fromUtf8(c.name));
        if (*c.notice)
            EXPECT_TRUE(seen.contains(QString::fromUtf8(c.notice))) << seen.toStdString();
        else
            EXPECT_TRUE(seen.isEmpty()) << seen.toStdString();
        QTest::qWait(1100); // let an unanswered watcher give up
        Dialog.reset();
    }

    // Silenced: selecting the MP3 shows nothing at all.
    WriteSetting(kFlagsKey, QStringLiteral("MsgMp3TypeUsingFiles"), QStringLiteral("T"));
    TfrmSetSound& dialog = Open(QStringLiteral("song.mp3"));
    bool shown = false;
    AnswerNextModal(
        [&shown](QWidget* modal) {
            shown = true;
            modal->close();
        },
        1000);
    dialog.ActSelect->trigger();
    EXPECT_EQ(dialog.result(), kSoundSelected);
    QTest::qWait(1100);
    EXPECT_FALSE(shown);
}

TEST_F(SoundDialog, DropImportsSoundsAndSkipsOtherFilesSilently) {
    AddSound(QStringLiteral("bell.mid"));
    TfrmSetSound& dialog = Open();
    Drop({Outside(QStringLiteral("chime.midi")), Outside(QStringLiteral("chime.WAV")),
          Outside(QStringLiteral("README"))});
    EXPECT_TRUE(QFileInfo::exists(Sounds() + QStringLiteral("chime.WAV")));
    EXPECT_FALSE(QFileInfo::exists(Sounds() + QStringLiteral("chime.midi")));
    EXPECT_FALSE(QFileInfo::exists(Sounds() + QStringLiteral("README")));
    EXPECT_EQ(Captions(), (QStringList{QStringLiteral("bell"), QStringLiteral("chime")}));
    EXPECT_EQ(dialog.SelectedSound(), QStringLiteral("chime.WAV"));
}

TEST_F(SoundDialog, ImportIntoAMissingLibraryMakesIt) {
    QDir(Sounds()).removeRecursively();
    TfrmSetSound& dialog = Open();
    ASSERT_TRUE(dialog.NoResultsShown());
    Drop({Outside(QStringLiteral("gong.au"))});
    EXPECT_EQ(Captions(), QStringList{QStringLiteral("gong")});
    EXPECT_EQ(dialog.SelectedSound(), QStringLiteral("gong.au"));
    EXPECT_FALSE(dialog.NoResultsShown());
}

TEST_F(SoundDialog, AnExistingNameAsksBeforeOverwriting) {
    WriteFile(Sounds() + QStringLiteral("bell.wav"), "old");
    AddSound(QStringLiteral("alpha.mid"));
    const QString incoming = Outside(QStringLiteral("bell.wav"), "new");
    TfrmSetSound& dialog = Open(QStringLiteral("alpha.mid"));

    QString asked;
    AnswerNextMessageBox(QStringLiteral("No"), &asked);
    Drop({incoming});
    EXPECT_EQ(asked, QStringLiteral("The sound you try to import is already in the list!\nWould "
                                    "you like to overwrite it?"));
    EXPECT_EQ(ReadFile(Sounds() + QStringLiteral("bell.wav")), QByteArray("old"));
    EXPECT_EQ(dialog.SelectedSound(), QStringLiteral("alpha.mid")); // the list as it was

    AnswerNextMessageBox(QStringLiteral("Yes"));
    Drop({incoming});
    EXPECT_EQ(ReadFile(Sounds() + QStringLiteral("bell.wav")), QByteArray("new"));
    EXPECT_EQ(dialog.SelectedSound(), QStringLiteral("bell.wav"));
}

TEST_F(SoundDialog, FilesInsideTheWorkingFolderAreRefused) {
    const QString inLibrary = AddSound(QStringLiteral("bell.wav"));
    const QString inFonts = WriteFile(Work.Path() + QStringLiteral("Fonts/tune.MID"), MakeMidi());
    TfrmSetSound& dialog = Open();
    for (const QString& path : {inLibrary, inFonts}) {
        QString seen;
        AnswerNextMessageBox(QStringLiteral("OK"), &seen);
        Drop({path});
        EXPECT_EQ(seen, AlreadyImportedMessage()) << path.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(Sounds() + QStringLiteral("tune.MID")));
    EXPECT_EQ(Captions(), QStringList{QStringLiteral("bell")});
    Q_UNUSED(dialog);
}

TEST_F(SoundDialog, InsertImportsThroughTheOpenDialogAndRemembersItsFolder) {
    const QString incoming = Outside(QStringLiteral("gong.mp3"));
    TfrmSetSound& dialog = Open();
    QStringList filters;
    AnswerNextModal([incoming, &filters](QWidget* modal) {
        auto* open = qobject_cast<QFileDialog*>(modal);
        auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!open || !edit) {
            ADD_FAILURE() << "no open dialog";
            modal->close();
            return;
        }
        filters = open->nameFilters();
        // Pasted rather than typed: typing opens the completer, which takes the Enter.
        edit->setText(incoming);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QTest::keyClick(dialog.ListView1, Qt::Key_Insert);
    EXPECT_EQ(dialog.SelectedSound(), QStringLiteral("gong.mp3"));
    EXPECT_TRUE(QFileInfo::exists(Sounds() + QStringLiteral("gong.mp3")));
    EXPECT_EQ(ReadSetting(kSettingsKey, QStringLiteral("frmSetSoundOpenDialog1")),
              QFileInfo(incoming).absolutePath());
    ASSERT_EQ(filters.size(), 5);
    EXPECT_TRUE(filters[0].startsWith(QLatin1String("All (*.mid;*.wav;*.mp3;*.au)")));
    EXPECT_EQ(dialog.OpenDialog1->defaultSuffix(), QStringLiteral("mid"));
}

TEST_F(SoundDialog, RemoveRefusesASoundHeldBySlots) {
    AddSound(QStringLiteral("bell.wav"));
    builderState().PacketSound = QStringLiteral("bell.wav");
    builderState().SurpriseSound = QStringLiteral("bell.wav");
    builderState().OpenEffectSound = QStringLiteral("BELL.WAV"); // not the same name
    TfrmSetSound& dialog = Open(QStringLiteral("bell.wav"));
    dialog.ActPlay->trigger();
    TakeLog();

    QString seen;
    QStringList logWhenAsked;
    int boxes = 0;
    AnswerNextModal([&](QWidget* modal) {
        ++boxes;
        logWhenAsked = *Log;
        seen = qobject_cast<QMessageBox*>(modal)->text();
        AnswerNextModal(
            [&](QWidget* second) { // a confirmation must not follow
                ++boxes;
                second->close();
            },
            500);
        modal->close();
    });
    QTest::keyClick(dialog.ListView1, Qt::Key_Delete);
    QTest::qWait(600);
    EXPECT_EQ(logWhenAsked, kStopped); // stopped before anything else
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(seen,
              QStringLiteral("Can't remove bell.wav sound.\n\nThe sound you want to remove is "
                             "selected as Packet and Surprise sound.\nIn order to remove it "
                             "you must first clear the Packet and Surprise sound "
                             "selection\nin main menu window (Zadad)."));
    EXPECT_TRUE(QFileInfo::exists(Sounds() + QStringLiteral("bell.wav")));
}

TEST_F(SoundDialog, RemoveAsksAndDeletesOnlyOnYes) {
    AddSound(QStringLiteral("bell.wav"));
    AddSound(QStringLiteral("gong.mid"));
    builderState().PacketSound = QStringLiteral("Bell.wav"); // compared exactly: no refusal
    TfrmSetSound& dialog = Open(QStringLiteral("bell.wav"));

    QString asked;
    AnswerNextMessageBox(QStringLiteral("No"), &asked);
    dialog.btnRemove->click();
    EXPECT_EQ(asked, QStringLiteral("Are you sure you want to remove bell.wav sound?"));
    EXPECT_TRUE(QFileInfo::exists(Sounds() + QStringLiteral("bell.wav")));
    EXPECT_EQ(dialog.SelectedSound(), QStringLiteral("bell.wav"));

    AnswerNextMessageBox(QStringLiteral("Yes"));
    dialog.btnRemove->click();
    EXPECT_FALSE(QFileInfo::exists(Sounds() + QStringLiteral("bell.wav")));
    EXPECT_EQ(Captions(), QStringList{QStringLiteral("gong")});
    EXPECT_EQ(dialog.SelectedSound(), QString());
    EXPECT_FALSE(dialog.ActRemoveSound->isEnabled());
}
