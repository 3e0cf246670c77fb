#include "dialogs/fmAbout.h"

#include "delivery/AboutInfo.h"
#include "delivery/WebLinks.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Stands a clock, a version and a memory size in for the system's, and
// records what would have been opened.
class AboutFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Facts.VersionText = "v3.4.0.0";
        Facts.CurrentYear = 2024;
        Facts.Memory.TotalPhys = Q_INT64_C(2147483648);
        Facts.Memory.MemoryLoad = 37;
        PreviousReader = SetAboutFactsReader([this] { return Facts; });
        PreviousOpener = SetUrlOpener([this](const QUrl& url) { Opened << url.toString(); });
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override {
        SetAboutFactsReader(PreviousReader);
        SetUrlOpener(PreviousOpener);
        QLocale::setDefault(QLocale::system());
    }

    AboutFacts Facts;
    QStringList Opened;
    AboutFactsReader PreviousReader;
    UrlOpener PreviousOpener;
};

QColor Background(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}

void LeftClick(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

} // namespace

TEST_F(AboutFixture, LayoutAndGreySquares) {
    TfrmAbout box;
    box.show();
    EXPECT_EQ(box.windowTitle(), "Zorvane");
    EXPECT_EQ(box.size(), QSize(346, 322));
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(box.lblTitle->text(), "About");
    EXPECT_EQ(box.lblVersion->geometry(), QRect(17, 44, 313, 43));
    EXPECT_EQ(box.btnCancel->text(), "Close");
    EXPECT_EQ(box.btnCancel->geometry(), QRect(282, 1, 59, 22));
    EXPECT_EQ(Background(box.pnlTitle), QColor(255, 170, 85));

    // Nine columns of four, fading from grey 239 to white, behind everything.
    ASSERT_EQ(box.Squares.size(), 36);
    for (int i = 0; i < 9; ++i) {
        for (int j = 0; j < 4; ++j) {
            const QWidget* square = box.Squares[i * 4 + j];
            EXPECT_EQ(square->geometry(), QRect(4 + 36 * i, 29 + 36 * j, 32, 32));
            EXPECT_EQ(Background(square), QColor(239 + 2 * i, 239 + 2 * i, 239 + 2 * i));
        }
    }
    const QObjectList children = box.children();
    for (const QWidget* square : box.Squares)
        EXPECT_LT(children.indexOf(square), children.indexOf(box.lblVersion));

    // In the platform's font every text stays whole: each value right of its
    // caption, inside the window, a long address broken onto a second line
    // above the next line.
    const std::pair<const char*, QLabel*> lines[] = {
        {"Home page:", box.lblHomePage},    {"Support e-mail:", box.lblSupportMail},
        {"Newsletter:", box.lblNewsletter}, {"Memory:", box.Label4},
        {"System resources:", box.Label5},
    };
    QList<QRect> taken;
    for (const auto& [captionText, value] : lines) {
        const QLabel* caption = nullptr;
        for (const QLabel* label : box.findChildren<QLabel*>())
            if (label->text() == captionText)
                caption = label;
        ASSERT_NE(caption, nullptr) << captionText;
        EXPECT_GE(caption->width(), caption->sizeHint().width()) << captionText;
        EXPECT_GT(value->x(), caption->geometry().right()) << captionText;
        EXPECT_LE(value->geometry().right(), box.width()) << captionText;
        const int needed =
            value->wordWrap() ? value->heightForWidth(value->width()) : value->sizeHint().height();
        EXPECT_GE(value->height(), needed) << captionText;
        if (!value->wordWrap()) {
            EXPECT_GE(value->width(), value->sizeHint().width()) << captionText;
        }
        for (const QRect& other : taken)
            EXPECT_FALSE(value->geometry().intersects(other)) << captionText;
        taken << value->geometry() << caption->geometry();
    }

    // A second activation does not pile up another pattern.
    box.FormActivate();
    EXPECT_EQ(box.Squares.size(), 36);
}

TEST_F(AboutFixture, VersionYearsAndMemory) {
    const std::pair<int, const char*> years[] = {{2005, "2005"}, {2024, "2005-2024"}};
    for (const auto& [year, range] : years) {
        Facts.CurrentYear = year;
        TfrmAbout box;
        box.show();
        EXPECT_EQ(box.lblVersion->text(),
                  QString("Zorvane v3.4.0.0\nCopyright \u00A9 ") + range + " Quelv Software");
        EXPECT_EQ(box.Label4->text(), "2,097,152 KB");
        EXPECT_EQ(box.Label5->text(), "37 %");
    }
    // The memory texts are not cut off.
    TfrmAbout box;
    box.show();
    EXPECT_GE(box.Label4->width(), box.Label4->sizeHint().width());
}

TEST(fmAbout, ShowsTheProgramsOwnVersionAndThisSystemsMemory) {
    TfrmAbout box;
    box.show();
    EXPECT_TRUE(box.lblVersion->text().startsWith("Zorvane v" ZORVANE_VERSION ".0\n"));
    EXPECT_TRUE(box.Label4->text().endsWith(" KB"));
    EXPECT_NE(box.Label4->text(), "0 KB");
    EXPECT_TRUE(box.Label5->text().endsWith(" %"));
}

TEST_F(AboutFixture, Links) {
    TfrmAbout box;
    box.show();
    EXPECT_EQ(box.lblHomePage->text(), "http://zorvane.example.org/zorvane.php");
    EXPECT_EQ(box.lblSupportMail->text(), "support@zorvane.example.org");
    EXPECT_EQ(box.lblNewsletter->text(),
              "http://zorvane.example.org/product-newsletter-register.php");
    EXPECT_EQ(box.lblHomePage->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(box.lblHomePage->font().underline());

    LeftClick(box.lblHomePage);
    LeftClick(box.lblSupportMail);
    LeftClick(box.lblNewsletter);
    QTest::mouseClick(box.lblHomePage, Qt::RightButton);
    EXPECT_EQ(Opened, QStringList({"http://zorvane.example.org/zorvane.php",
                                   "mailto:support@zorvane.example.org?subject=&Body=",
                                   "http://zorvane.example.org/product-newsletter-register.php"}));
    EXPECT_TRUE(box.isVisible());
}

TEST_F(AboutFixture, EveryWayOfClosingGivesTwo) {
    struct Case {
        const char* name;
        std::function<void(TfrmAbout&)> close;
    };
    const Case cases[] = {
        {"Close button", [](TfrmAbout& box) { box.btnCancel->click(); }},
        {"Escape", [](TfrmAbout& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
        {"Enter", [](TfrmAbout& box) { QTest::keyPress(&box, Qt::Key_Enter); }},
        {"Return on the button",
         [](TfrmAbout& box) { QTest::keyPress(box.btnCancel, Qt::Key_Return); }},
        {"close box", [](TfrmAbout& box) { box.close(); }},
    };
    for (const Case& c : cases) {
        TfrmAbout box;
        box.show();
        c.close(box);
        EXPECT_FALSE(box.isVisible()) << c.name;
        EXPECT_EQ(box.result(), 2) << c.name;
    }
    // Escape closes on its release, not on its press.
    TfrmAbout box;
    box.show();
    QTest::keyPress(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());
    QTest::keyRelease(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutFixture, ShowAboutWhileShownClosesTheShownBox) {
    int inner = -1;
    QTimer::singleShot(0, [&inner] {
        ASSERT_NE(TfrmAbout::Current(), nullptr);
        inner = ShowAbout();
    });
    EXPECT_EQ(ShowAbout(), 2);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(TfrmAbout::Current(), nullptr);
}
