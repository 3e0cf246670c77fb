#include "engine/fmSurprise.h"

#include "engine/SurpriseFixture.h"
#include "engine/fmPassword.h"
#include "support/TestSupport.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Stands in for the audio device: records what the window asks of it.
class RecordingPlayer : public SoundPlayer {
public:
    QStringList Calls;
    QStringList Unplayable; // file names whose Open fails

    bool Open(const QString& path) override {
        const QString name = QFileInfo(path).fileName();
        Calls << QStringLiteral("open ") + name;
        OpenNow = QFileInfo(path).isFile() && !Unplayable.contains(name);
        return OpenNow;
    }
    void Play() override {
        Calls << QStringLiteral("play");
        PlayingNow = OpenNow;
    }
    void Stop() override {
        Calls << QStringLiteral("stop");
        PlayingNow = false;
    }
    void Close() override {
        Calls << QStringLiteral("close");
        OpenNow = PlayingNow = false;
    }
    bool IsOpen() const override { return OpenNow; }
    bool IsPlaying() const override { return PlayingNow; }

private:
    bool OpenNow = false;
    bool PlayingNow = false;
};

class SurpriseWindowTest : public ::testing::Test {
public:
    void Click() { QTest::mouseClick(Window.get(), Qt::LeftButton, {}, QPoint(50, 40)); }
    void Key(Qt::Key key) { QTest::keyClick(Window.get(), key); }

protected:
    // Builds wanted into a real surprise, loads it, and shows its window.
    TfrmSurprise& Show(const SurpriseSpec& wanted, const QStringList& unplayable = {}) {
        const ExtractedSurprise extracted = LoadSurpriseFile(BuildSurprise(wanted, Dir.path()));
        Folder = std::make_unique<PrivateSoundFolder>();
        auto player = std::make_unique<RecordingPlayer>();
        player->Unplayable = unplayable;
        Player = player.get();
        Window =
            std::make_unique<TfrmSurprise>(PlaceSurprise(extracted, *Folder), std::move(player));
        Window->SetUrlOpener([this](const QUrl& url) { Opened << url; });
        Window->Present();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
        return *Window;
    }

    QRgb PixelShown(const QPoint& at) const { return Window->grab().toImage().pixel(at); }

    testsupport::TestHome Home;
    QTemporaryDir Dir;
    std::unique_ptr<PrivateSoundFolder> Folder;
    std::unique_ptr<TfrmSurprise> Window;
    RecordingPlayer* Player = nullptr;
    QList<QUrl> Opened;
};

TEST_F(SurpriseWindowTest, PacketShowsFramelessCentredAtItsOwnSize) {
    SurpriseSpec wanted;
    TfrmSurprise& window = Show(wanted);
    EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Packet);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window.size(), QSize(120, 90));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 2);
    EXPECT_EQ(PixelShown({60, 45}), qRgb(200, 30, 30));
    EXPECT_EQ(PixelShown({3, 3}), qRgb(255, 255, 255));
    EXPECT_TRUE(window.mask().isEmpty());
}

TEST_F(SurpriseWindowTest, PacketShownIsReportedOnceWhenPainted) {
    SurpriseSpec wanted;
    const ExtractedSurprise extracted = LoadSurpriseFile(BuildSurprise(wanted, Dir.path()));
    PrivateSoundFolder folder;
    TfrmSurprise window(PlaceSurprise(extracted, folder), std::make_unique<RecordingPlayer>());
    QSignalSpy shown(&window, &TfrmSurprise::PacketShown);
    window.Present();
    ASSERT_EVENTUALLY((shown.size()) == (1), 5000);
    window.repaint();
    QTest::qWait(20);
    EXPECT_EQ(shown.size(), 1);
}

TEST_F(SurpriseWindowTest, ClickEnterOrSpaceReveals) {
    const std::pair<const char*, std::function<void(SurpriseWindowTest&)>> ways[] = {
        {"click", [](SurpriseWindowTest& t) { t.Click(); }},
        {"Return", [](SurpriseWindowTest& t) { t.Key(Qt::Key_Return); }},
        {"keypad Enter", [](SurpriseWindowTest& t) { t.Key(Qt::Key_Enter); }},
        {"Space", [](SurpriseWindowTest& t) { t.Key(Qt::Key_Space); }},
    };
    for (const auto& [name, open] : ways) {
        SCOPED_TRACE(name);
        TfrmSurprise& window = Show(SurpriseSpec());
        open(*this);
        EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Revealed);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.size(), QSize(160, 100));
        EXPECT_EQ(PixelShown({80, 50}), qRgb(30, 30, 200));
    }
}

TEST_F(SurpriseWindowTest, OtherInputLeavesThePacketClosed) {
    TfrmSurprise& window = Show(SurpriseSpec());
    QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(50, 40));
    Key(Qt::Key_A);
    Key(Qt::Key_Tab);
    EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Packet);
    EXPECT_EQ(window.size(), QSize(120, 90));
}

TEST_F(SurpriseWindowTest, EscapeBeforeOpeningClosesWithoutRevealing) {
    SurpriseSpec wanted;
    wanted.Url = QStringLiteral("http://example.com/");
    wanted.SurpriseSound = QStringLiteral("s3.wav");
    wanted.SoundFiles = {{QStringLiteral("s3.wav"), TinyWav()}};
    TfrmSurprise& window = Show(wanted);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Ended);
    EXPECT_FALSE(Player->Calls.contains(QStringLiteral("open s3.wav")));
    EXPECT_TRUE(Opened.isEmpty());
    // Nothing brings it back.
    Click();
    EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Ended);
}

TEST_F(SurpriseWindowTest, ClickOrEscapeAfterTheRevealClosesAndGoesToTheAddress) {
    for (const bool byClick : {true, false}) {
        SCOPED_TRACE(byClick ? "click" : "Escape");
        Opened.clear();
        SurpriseSpec wanted;
        wanted.Url = QStringLiteral("  http://example.com/greeting  ");
        TfrmSurprise& window = Show(wanted);
        Click();
        ASSERT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Revealed);
        Key(Qt::Key_Return); // does not end it
        Key(Qt::Key_Space);
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(Opened.isEmpty());
        if (byClick)
            Click();
        else
            Key(Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Ended);
        EXPECT_EQ(Opened, QList<QUrl>{QUrl(QStringLiteral("http://example.com/greeting"))});
    }
}

TEST_F(SurpriseWindowTest, OnlyHttpAddressesAreEverOpened) {
    const std::pair<const char*, bool> cases[] = {
        {"http://example.com/", true}, {"https://example.com/", false},
        {"file:///etc/passwd", false}, {"javascript:alert(1)", false},
        {"ftp://example.com/", false},
    };
    for (const auto& [url, opens] : cases) {
        SCOPED_TRACE(url);
        Opened.clear();
        SurpriseSpec wanted;
        wanted.Url = QLatin1String(url);
        Show(wanted);
        Click();
        Click();
        EXPECT_EQ(Opened.size(), opens ? 1 : 0);
    }
}

// Answers the password prompt with each text in turn, pressing OK each
// time; records what the prompt showed between tries.
struct PromptAnswers {
    QStringList Texts;
    QStringList WrongShown; // the wrong-password text after each try ("" if none)
    bool StillOpenAfterWrong = true;
};

PromptAnswers Answers(const QStringList& texts) {
    PromptAnswers answers;
    answers.Texts = texts;
    return answers;
}

void AnswerPrompt(PromptAnswers* answers) {
    testsupport::AnswerNextModal([answers](QWidget* modal) {
        auto* prompt = qobject_cast<TfrmPassword*>(modal);
        ASSERT_NE(prompt, nullptr);
        auto* ok = prompt->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        for (const QString& text : answers->Texts) {
            if (!prompt->isVisible())
                break;
            prompt->edtPassword->setText(text);
            ok->click();
            if (prompt->isVisible()) {
                answers->WrongShown
                    << (prompt->lblWrong->isVisible() ? prompt->lblWrong->text() : QString());
                answers->StillOpenAfterWrong =
                    answers->StillOpenAfterWrong && prompt->edtPassword->text().isEmpty();
            }
        }
        if (prompt->isVisible())
            QTest::keyClick(prompt, Qt::Key_Escape);
    });
}

TEST_F(SurpriseWindowTest, AWrongPasswordIsRefusedAndTheRightOneOpens) {
    SurpriseSpec wanted;
    wanted.Password = QStringLiteral("Open sesame");
    TfrmSurprise& window = Show(wanted);
    PromptAnswers answers =
        Answers({QStringLiteral("open sesame"), QString(), QStringLiteral(" Open sesame ")});
    AnswerPrompt(&answers);
    Click();
    EXPECT_EQ(answers.WrongShown, QStringList({WrongPasswordText(), WrongPasswordText()}));
    EXPECT_TRUE(answers.StillOpenAfterWrong);
    EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Revealed);
    EXPECT_EQ(window.size(), QSize(160, 100));
}

TEST_F(SurpriseWindowTest, EscapeLeavesThePromptAndThePacketStaysClosed) {
    SurpriseSpec wanted;
    wanted.Password = QStringLiteral("pw");
    TfrmSurprise& window = Show(wanted);
    PromptAnswers giveUp = Answers({QStringLiteral("nope")});
    AnswerPrompt(&giveUp);
    Key(Qt::Key_Return);
    EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Packet);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(120, 90));

    // A second try, and then it opens.
    PromptAnswers right = Answers({QStringLiteral("pw")});
    AnswerPrompt(&right);
    Click();
    EXPECT_TRUE(right.WrongShown.isEmpty());
    EXPECT_EQ(window.CurrentStage(), TfrmSurprise::Stage::Revealed);
}

struct SoundCase {
    const char* Name;
    const char* Packet;
    const char* Effect;
    const char* Surprise;
    QStringList Unplayable;
    QStringList AfterPresent; // what the player was asked, step by step
    QStringList AfterOpen;
    QStringList AfterEffectEnds;
};

TEST_F(SurpriseWindowTest, SoundsAreHandedToThePlayerInOrder) {
    const auto L = [](std::initializer_list<const char*> items) {
        QStringList list;
        for (const char* item : items)
            list << QLatin1String(item);
        return list;
    };
    const SoundCase cases[] = {
        {"all three",
         "s1.mid",
         "s2.wav",
         "s3.au",
         {},
         L({"open s1.mid", "play"}),
         L({"stop", "open s2.wav", "play"}),
         L({"open s3.au", "play"})},
        {"no open effect",
         "s1.mid",
         "",
         "s3.au",
         {},
         L({"open s1.mid", "play"}),
         L({"stop", "open s3.au", "play"}),
         {}},
        {"open effect cannot play",
         "s1.mid",
         "s2.mid",
         "s3.au",
         L({"s2.mid"}),
         L({"open s1.mid", "play"}),
         L({"stop", "open s2.mid", "open s3.au", "play"}),
         {}},
        {"one sound in every slot",
         "s1.wav",
         "s1.wav",
         "s1.wav",
         {},
         L({"open s1.wav", "play"}),
         L({"stop", "open s1.wav", "play"}),
         L({"open s1.wav", "play"})},
        {"surprise sound only", "", "", "s3.wav", {}, {}, L({"stop", "open s3.wav", "play"}), {}},
        {"no sounds", "", "", "", {}, {}, L({"stop"}), {}},
    };
    for (const SoundCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SurpriseSpec wanted;
        wanted.PacketSound = QLatin1String(c.Packet);
        wanted.OpenEffectSound = QLatin1String(c.Effect);
        wanted.SurpriseSound = QLatin1String(c.Surprise);
        for (const char* name : {c.Packet, c.Effect, c.Surprise}) {
            const QString entry = QLatin1String(name);
            const bool listed = std::any_of(wanted.SoundFiles.cbegin(), wanted.SoundFiles.cend(),
                                            [&](const auto& f) { return f.first == entry; });
            if (!entry.isEmpty() && !listed)
                wanted.SoundFiles.append({entry, TinyWav()});
        }
        Show(wanted, c.Unplayable);
        EXPECT_EQ(Player->Calls, c.AfterPresent);

        // The packet sound ending by itself changes nothing.
        emit Player->Finished();
        EXPECT_EQ(Player->Calls, c.AfterPresent);

        Player->Calls.clear();
        Click();
        EXPECT_EQ(Player->Calls, c.AfterOpen);

        Player->Calls.clear();
        emit Player->Finished();
        EXPECT_EQ(Player->Calls, c.AfterEffectEnds);
        // The surprise sound ending does not start anything again.
        Player->Calls.clear();
        emit Player->Finished();
        EXPECT_TRUE(Player->Calls.isEmpty());

        Click();
        ASSERT_FALSE(Player->Calls.isEmpty());
        EXPECT_EQ(Player->Calls.last(), QStringLiteral("close"));
        EXPECT_FALSE(Player->Calls.contains(QStringLiteral("play")));
    }
}

TEST_F(SurpriseWindowTest, ClosingTheWindowSilencesIt) {
    SurpriseSpec wanted;
    wanted.PacketSound = QStringLiteral("s1.wav");
    wanted.SoundFiles = {{QStringLiteral("s1.wav"), TinyWav()}};
    TfrmSurprise& window = Show(wanted);
    window.close();
    EXPECT_EQ(Player->Calls.last(), QStringLiteral("close"));
}

TEST_F(SurpriseWindowTest, TheTransparencyColourIsSeeThrough) {
    SurpriseSpec wanted;
    wanted.PacketTransparent = true;
    wanted.SurpriseTransparent = false;
    TfrmSurprise& window = Show(wanted);
    const QRegion packetMask = window.mask();
    EXPECT_FALSE(packetMask.contains(QPoint(5, 85))); // the key colour block
    EXPECT_FALSE(packetMask.contains(QPoint(19, 80)));
    EXPECT_TRUE(packetMask.contains(QPoint(20, 85))); // just beside it
    EXPECT_TRUE(packetMask.contains(QPoint(60, 45)));
    EXPECT_TRUE(packetMask.contains(QPoint(3, 3)));
    Click();
    EXPECT_TRUE(window.mask().isEmpty()); // the surprise is not transparent

    wanted.PacketTransparent = false;
    wanted.SurpriseTransparent = true;
    TfrmSurprise& second = Show(wanted);
    EXPECT_TRUE(second.mask().isEmpty());
    Click();
    EXPECT_FALSE(second.mask().contains(QPoint(5, 95)));
    EXPECT_TRUE(second.mask().contains(QPoint(80, 50)));
}

TEST(TransparencyMask, KeyColourOnlyAndNeverTheWholePicture) {
    QImage image(4, 2, QImage::Format_ARGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(0, 1, qRgb(255, 0, 255));
    image.setPixel(1, 1, qRgba(255, 0, 255, 0)); // alpha plays no part
    image.setPixel(2, 1, qRgb(254, 0, 255));     // a near miss stays
    const QRegion region(TransparencyMask(image, Bgr(qRgb(255, 0, 255))));
    EXPECT_FALSE(region.contains(QPoint(0, 1)));
    EXPECT_FALSE(region.contains(QPoint(1, 1)));
    EXPECT_TRUE(region.contains(QPoint(2, 1)));
    EXPECT_TRUE(region.contains(QPoint(3, 0)));

    EXPECT_TRUE(TransparencyMask(image, Bgr(qRgb(1, 2, 3))).isNull()); // colour absent
    QImage allKey(3, 3, QImage::Format_RGB32);
    allKey.fill(qRgb(255, 0, 255));
    EXPECT_TRUE(TransparencyMask(allKey, Bgr(qRgb(255, 0, 255))).isNull());
}

} // namespace
