#include "app/ChooseColour.h"
#include "app/gCustomColors.h"
#include "app/gVars.h"
#include "support/TestSupport.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::TestHome;
using testsupport::WorkingFolder;
using testsupport::WriteFile;

namespace {

// The lines a first OK writes when every slot but those named is empty.
QByteArray SixteenLines(const QMap<char, QByteArray>& set = {}) {
    QByteArray text;
    for (char slot = 'A'; slot <= 'P'; ++slot)
        text += "Color" + QByteArray(1, slot) + "=" + set.value(slot, "ffffffff") + "\r\n";
    return text;
}

void PressInDialog(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    if (!buttons || !buttons->button(which)) {
        dialog->close();
        return;
    }
    buttons->button(which)->click();
}

struct Folder {
    Folder() { appFolders() = AppFolders::FromProgramFolder(Work.Path()); }
    QString File() const { return Work.Path() + "CustomColors.dat"; }
    TestHome Home;
    WorkingFolder Work;
};

} // namespace

TEST(CustomColorsFile, SlotsFromLines) {
    const QStringList lines = {"ColorA=0000ff", "colorb=FF00",   "ColorC=ffffffff", "ColorD=zz",
                               "Other=1",       "ColorE=",       "ColorA=00ff00",   "ColorZ=1",
                               "ColorF = 12",   "ColorPP=123456"};
    const CustomColorSlots values = CustomColorsFromLines(lines);
    EXPECT_EQ(values[0], 0x0000ffu) << "the first line of a name counts";
    EXPECT_EQ(values[1], 0x00ff00u) << "names ignore case, digits any case";
    for (int empty : {2, 3, 4, 5, 15})
        EXPECT_EQ(values[static_cast<size_t>(empty)], kEmptyCustomColor) << empty;
}

TEST(CustomColorsFile, LinesKeepTheirPlacesAndMissingSlotsFollowInOrder) {
    CustomColorSlots values;
    values.fill(kEmptyCustomColor);
    values[0] = 0x0000ff;  // pure red
    values[1] = 0x000001;  // six digits at least
    values[2] = 0x1234567; // more when needed
    values[15] = 0xabcdef; // lower case
    const QStringList lines =
        CustomColorsToLines({"Keep=this line", "colorB=ff", "", "ColorP=0"}, values);
    QStringList expected = {"Keep=this line", "colorB=000001", "",
                            "ColorP=abcdef",  "ColorA=0000ff", "ColorC=1234567"};
    for (char slot = 'D'; slot <= 'O'; ++slot)
        expected.append(QStringLiteral("Color%1=ffffffff").arg(QLatin1Char(slot)));
    EXPECT_EQ(lines, expected);
}

TEST(ChooseColour, FirstOkWritesSixteenSlotsAndTheChosenColour) {
    Folder folder;
    quint32 colour = 0x000000ff;
    QColor offered;
    testsupport::AnswerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->currentColor();
        // A person adds a custom colour and picks green.
        QColorDialog::setCustomColor(2, QColor(255, 0, 0));
        QColorDialog::setCustomColor(4, QColor(1, 2, 3));
        dialog->setCurrentColor(QColor(0, 255, 0));
        PressInDialog(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(ChooseColour(nullptr, colour));
    EXPECT_EQ(offered, QColor(255, 0, 0)) << "red is the lowest byte";
    EXPECT_EQ(colour, 0x0000ff00u);
    EXPECT_EQ(ReadFile(folder.File()), SixteenLines({{'C', "0000ff"}, {'E', "030201"}}));
}

TEST(ChooseColour, CancelWritesNothingAndKeepsTheColour) {
    Folder folder;
    quint32 colour = 0x00123456;
    testsupport::AnswerNextModal([](QWidget* modal) {
        QColorDialog::setCustomColor(0, Qt::blue);
        PressInDialog(modal, QDialogButtonBox::Cancel);
    });
    EXPECT_FALSE(ChooseColour(nullptr, colour));
    EXPECT_EQ(colour, 0x00123456u);
    EXPECT_FALSE(QFileInfo::exists(folder.File()));

    WriteFile(folder.File(), "ColorA=00ff00\r\n");
    testsupport::AnswerNextModal(
        [](QWidget* modal) { PressInDialog(modal, QDialogButtonBox::Cancel); });
    EXPECT_FALSE(ChooseColour(nullptr, colour));
    EXPECT_EQ(ReadFile(folder.File()), "ColorA=00ff00\r\n");
}

TEST(ChooseColour, TheFileFillsTheDialogAndUnknownLinesAreCarried) {
    Folder folder;
    WriteFile(folder.File(), "Unknown=1\r\nColorB=00ff00\r\nColorA=ffffffff\n");
    QColor slotB, slotC;
    testsupport::AnswerNextModal([&](QWidget* modal) {
        slotB = QColorDialog::customColor(1);
        slotC = QColorDialog::customColor(2);
        PressInDialog(modal, QDialogButtonBox::Ok);
    });
    // A slot left by an earlier dialog of this run must not leak in.
    QColorDialog::setCustomColor(2, Qt::red);
    quint32 colour = 0;
    EXPECT_TRUE(ChooseColour(nullptr, colour));
    EXPECT_EQ(slotB, QColor(0, 255, 0));
    EXPECT_EQ(slotC, QColor(Qt::white)) << "an empty slot";
    QByteArray expected = "Unknown=1\r\nColorB=00ff00\r\nColorA=ffffffff\r\n";
    for (char slot = 'C'; slot <= 'P'; ++slot)
        expected += "Color" + QByteArray(1, slot) + "=ffffffff\r\n";
    EXPECT_EQ(ReadFile(folder.File()), expected);
}
