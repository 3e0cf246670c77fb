#include "app/gRegistry.h"
#include "dialogs/fmMsg.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using testsupport::TestHome;

namespace {

const QString kLayerText = QStringLiteral("Are you sure you want to delete the selected layer?");
const QString kMp3Text =
    QStringLiteral("Choosing an Mp3 file type sound can increase the Surprise file size\r\n"
                   "and may it not play on all computers.\r\n\r\n"
                   "Is recommended to use MID file type sounds.");

int AskLayer() {
    return ShowMsg(121, kLayerText, MsgButton::Yes | MsgButton::No, MsgKind::Confirmation,
                   kFlagsKey, QStringLiteral("MsgDeleteLayerConf"), QStringLiteral("Zorvane"));
}

int NoticeMp3() {
    return ShowMsg(171, kMp3Text, MsgButton::Ok, MsgKind::Information, kFlagsKey,
                   QStringLiteral("MsgMp3TypeUsingFiles"), QStringLiteral("Zorvane"));
}

// Answers the next box with answer(box); *shown tells whether one came.
void ShownAndAnswered(const std::function<void(TfrmMsg*)>& answer, bool* shown) {
    *shown = false;
    testsupport::AnswerNextModal(
        [answer, shown](QWidget* modal) {
            *shown = true;
            auto* box = qobject_cast<TfrmMsg*>(modal);
            if (!box) {
                modal->close();
                return;
            }
            answer(box);
        },
        300);
}

void Tick(TfrmMsg* box) {
    QTest::mouseClick(box->chkShowAgain, Qt::LeftButton);
}

QWidget* Focused(QWidget* box) {
    QWidget* focused = QApplication::focusWidget();
    return focused ? focused : box;
}

} // namespace

TEST(MessageBox, AQuestionShowsItsPartsAndAnswersYes) {
    TestHome home;
    bool shown = false;
    QString caption, check, text;
    QPoint textAt;
    int rowWidth = 0, rowLeft = 0, outer = 0, checkTop = 0;
    QSize client;
    bool okShown = true, yesShown = false, noShown = false, cancelShown = true;
    ShownAndAnswered(
        [&](TfrmMsg* box) {
            caption = box->windowTitle();
            check = box->chkShowAgain->text();
            text = box->lblMsg->text();
            textAt = box->lblMsg->pos();
            client = box->size();
            rowWidth = box->pnl2->width();
            rowLeft = box->pnl2->x();
            outer = box->frameGeometry().width();
            checkTop = box->chkShowAgain->y();
            okShown = box->btnOk->isVisible();
            yesShown = box->btnYes->isVisible();
            noShown = box->btnNo->isVisible();
            cancelShown = box->btnCancel->isVisible();
            QTest::mouseClick(box->btnYes, Qt::LeftButton);
        },
        &shown);
    EXPECT_EQ(AskLayer(), kMsgYes);
    ASSERT_TRUE(shown);
    EXPECT_EQ(caption, "Zorvane");
    EXPECT_EQ(check, "Do not ask me again.");
    EXPECT_EQ(text, kLayerText);
    EXPECT_EQ(textAt, QPoint(58, 16));
    EXPECT_EQ(client, QSize(515, 121));
    EXPECT_EQ(rowWidth, 162) << "two slots of 81";
    EXPECT_EQ(rowLeft, (outer - 162) / 2);
    EXPECT_EQ(checkTop, 121 - 60);
    EXPECT_FALSE(okShown);
    EXPECT_TRUE(yesShown);
    EXPECT_TRUE(noShown);
    EXPECT_FALSE(cancelShown);
    EXPECT_EQ(ReadSetting(kFlagsKey, "MsgDeleteLayerConf"), QString());
}

TEST(MessageBox, TickedNoStoresTheFlagAndLaterCallsAnswerYesSilently) {
    TestHome home;
    bool shown = false;
    ShownAndAnswered(
        [](TfrmMsg* box) {
            Tick(box);
            QTest::mouseClick(box->btnNo, Qt::LeftButton);
        },
        &shown);
    EXPECT_EQ(AskLayer(), kMsgNo);
    EXPECT_EQ(ReadSetting(kFlagsKey, "MsgDeleteLayerConf"), "T");

    ShownAndAnswered([](TfrmMsg* box) { box->done(kMsgNo); }, &shown);
    EXPECT_EQ(AskLayer(), kMsgYes);
    QTest::qWait(400);
    EXPECT_FALSE(shown) << "a silenced question shows nothing";
}

TEST(MessageBox, ANoticeShowsItsOwnCheckCaptionAndAnswersOkOnceSilenced) {
    TestHome home;
    bool shown = false;
    QString check, text;
    int checkTop = 0, textWidth = 0, rowWidth = 0;
    ShownAndAnswered(
        [&](TfrmMsg* box) {
            check = box->chkShowAgain->text();
            text = box->lblMsg->text();
            checkTop = box->chkShowAgain->y();
            textWidth = box->lblMsg->width();
            rowWidth = box->pnl2->width();
            Tick(box);
            QTest::mouseClick(box->btnOk, Qt::LeftButton);
        },
        &shown);
    EXPECT_EQ(NoticeMp3(), kMsgOk);
    EXPECT_EQ(check, "Do not show this message again.");
    EXPECT_EQ(text.count(QLatin1Char('\n')), 3) << "lines break only at the text's own breaks";
    EXPECT_FALSE(text.contains(QLatin1Char('\r')));
    EXPECT_GE(textWidth, 430);
    EXPECT_EQ(checkTop, 111);
    EXPECT_EQ(rowWidth, 81);
    EXPECT_EQ(ReadSetting(kFlagsKey, "MsgMp3TypeUsingFiles"), "T");
    EXPECT_EQ(NoticeMp3(), kMsgOk);
}

TEST(MessageBox, AnyTextSilencesAndDeletingTheFlagBringsTheBoxBack) {
    TestHome home;
    for (const char* flag : {"F", " ", "T"}) {
        WriteSetting(kFlagsKey, "MsgDeleteLayerConf", QLatin1String(flag));
        EXPECT_EQ(AskLayer(), kMsgYes) << '"' << flag << '"';
    }
    WriteSetting(kFlagsKey, "MsgWavAuTypeUsingFiles", "x");
    EXPECT_EQ(ShowMsg(156, "w", MsgButton::Ok | MsgButton::Yes, MsgKind::Information, kFlagsKey,
                      "MsgWavAuTypeUsingFiles", "Zorvane"),
              kMsgYes)
        << "Yes before OK";
    EXPECT_EQ(ShowMsg(156, "w", MsgButton::Cancel, MsgKind::Information, kFlagsKey,
                      "MsgWavAuTypeUsingFiles", "Zorvane"),
              0);

    DeleteSetting(kFlagsKey, "MsgDeleteLayerConf");
    bool shown = false;
    ShownAndAnswered([](TfrmMsg* box) { QTest::mouseClick(box->btnNo, Qt::LeftButton); }, &shown);
    EXPECT_EQ(AskLayer(), kMsgNo);
    EXPECT_TRUE(shown);
}

TEST(MessageBox, EscapeOnReleaseAnswersNoAndTheCloseBoxCancel) {
    TestHome home;
    struct Case {
        const char* Name;
        bool Ticked;
        std::function<void(TfrmMsg*)> Close;
        int Expected;
    };
    const Case cases[] = {
        {"escape", false,
         [](TfrmMsg* box) {
             QTest::keyPress(Focused(box), Qt::Key_Escape);
             EXPECT_TRUE(box->isVisible()) << "the press alone does not close";
             QTest::keyRelease(Focused(box), Qt::Key_Escape);
         },
         kMsgNo},
        {"close box", false, [](TfrmMsg* box) { box->close(); }, kMsgCancel},
        {"enter presses nothing, then the close box", false,
         [](TfrmMsg* box) {
             QTest::keyClick(Focused(box), Qt::Key_Return);
             EXPECT_TRUE(box->isVisible());
             box->close();
         },
         kMsgCancel},
        {"ticked close box", true, [](TfrmMsg* box) { box->close(); }, kMsgCancel},
    };
    for (const Case& c : cases) {
        DeleteSetting(kFlagsKey, "MsgMp3TypeUsingFiles");
        bool shown = false;
        ShownAndAnswered(
            [&c](TfrmMsg* box) {
                if (c.Ticked)
                    Tick(box);
                c.Close(box);
            },
            &shown);
        EXPECT_EQ(NoticeMp3(), c.Expected) << c.Name;
        EXPECT_EQ(ReadSetting(kFlagsKey, "MsgMp3TypeUsingFiles"),
                  c.Ticked ? QStringLiteral("T") : QString())
            << c.Name;
    }
}

TEST(MessageBox, EveryButtonHasItsResultAndTheRowShrinksToThem) {
    TestHome home;
    const struct {
        MsgButtons Buttons;
        int Slots;
        const char* Caption;
    } layouts[] = {
        {MsgButton::Ok, 1, "Do not show this message again."},
        {MsgButton::Ok | MsgButton::Cancel, 2, "Do not ask me again."},
        {MsgButton::Yes | MsgButton::No | MsgButton::Cancel, 3, "Do not ask me again."},
        {MsgButton::Ok | MsgButton::Yes | MsgButton::No | MsgButton::Cancel, 4,
         "Do not ask me again."},
    };
    for (const auto& layout : layouts) {
        TfrmMsg box(150, "text", layout.Buttons, MsgKind::Warning, kFlagsKey, "MsgAny", "Zorvane");
        EXPECT_EQ(box.pnl2->width(), layout.Slots * 81);
        EXPECT_EQ(box.chkShowAgain->text(), layout.Caption);
        EXPECT_FALSE(box.btnOk->isDefault() || box.btnOk->autoDefault());
    }
    const struct {
        QPushButton* TfrmMsg::*Button;
        int Result;
    } results[] = {{&TfrmMsg::btnOk, kMsgOk},
                   {&TfrmMsg::btnYes, kMsgYes},
                   {&TfrmMsg::btnNo, kMsgNo},
                   {&TfrmMsg::btnCancel, kMsgCancel}};
    for (const auto& r : results) {
        bool shown = false;
        ShownAndAnswered(
            [&r](TfrmMsg* box) { QTest::mouseClick(box->*(r.Button), Qt::LeftButton); }, &shown);
        EXPECT_EQ(ShowMsg(150, "text",
                          MsgButton::Ok | MsgButton::Yes | MsgButton::No | MsgButton::Cancel,
                          MsgKind::Error, kFlagsKey, "MsgAll", "Zorvane"),
                  r.Result);
    }
}

TEST(MessageBox, TheIconOfTheKindIsPaintedAtTwelveTen) {
    const struct {
        MsgKind Kind;
        QStyle::StandardPixmap Icon;
    } kinds[] = {{MsgKind::Warning, QStyle::SP_MessageBoxWarning},
                 {MsgKind::Error, QStyle::SP_MessageBoxCritical},
                 {MsgKind::Information, QStyle::SP_MessageBoxInformation},
                 {MsgKind::Confirmation, QStyle::SP_MessageBoxQuestion}};
    for (const auto& k : kinds) {
        TfrmMsg box(121, "text", MsgButton::Ok, k.Kind, kFlagsKey, "MsgAny", "Zorvane");
        const QImage shot =
            box.grab(QRect(12, 10, 32, 32)).toImage().convertToFormat(QImage::Format_RGB32);
        QImage expected(32, 32, QImage::Format_RGB32);
        expected.fill(box.palette().color(QPalette::Window));
        {
            QPainter painter(&expected);
            box.style()->standardIcon(k.Icon).paint(&painter, QRect(0, 0, 32, 32));
        }
        QImage plain(32, 32, QImage::Format_RGB32);
        plain.fill(box.palette().color(QPalette::Window));
        ASSERT_NE(expected, plain) << "the style has this icon";
        EXPECT_EQ(shot, expected) << static_cast<int>(k.Kind);
    }
}

// The callers size the box for the designed font; with any other font no
// line may be cut and the text may not run into the check box.
TEST(MessageBox, EveryCallersTextFitsInsideTheBox) {
    struct Case {
        int height;
        const char* text;
        MsgButtons buttons;
    };
    const Case cases[] = {
        {171,
         "Choosing an Mp3 file type sound can increase the Surprise file size\r\nand may it not "
         "play on all computers.\r\n\r\nIs recommended to use MID file type sounds.",
         MsgButton::Ok},
        {156,
         "Choosing an WAV or AU file type sound can increase the Surprise file size.\r\n\r\nIs "
         "recommended to use MID file type sounds.",
         MsgButton::Ok},
        {121, "Are you sure you want to delete the selected layer?",
         MsgButton::Yes | MsgButton::No},
        {195,
         "This will send your surprise with your default e-mail program.\r\n\r\nIf you use a "
         "FireWall protection you must allow the Zorvane to connect to the Internet.\r\nHowever, "
         "you can send it as attachment with your online e-mail (save it to disk and\r\nattach it "
         "to your e-mail).\r\n\r\nDo you want to continue?",
         MsgButton::Yes | MsgButton::No},
    };
    for (const Case& c : cases) {
        TfrmMsg box(c.height, QString::fromLatin1(c.text), c.buttons, MsgKind::Information,
                    kFlagsKey, "MsgNeverSet", "Zorvane");
        const QFontMetrics metrics(box.lblMsg->font());
        const QStringList lines = box.lblMsg->text().split(QLatin1Char('\n'));
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), box.lblMsg->width()) << line.toStdString();
        EXPECT_GE(box.width(), 515);
        EXPECT_GE(box.height(), c.height);
        EXPECT_LE(box.lblMsg->geometry().right(), box.width()) << c.text;
        EXPECT_LT(box.lblMsg->geometry().bottom(), box.chkShowAgain->y()) << c.text;
        EXPECT_EQ(box.chkShowAgain->y(), box.height() - 60);
    }
}
