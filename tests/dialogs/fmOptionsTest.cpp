#include "dialogs/fmOptions.h"

#include "app/gRegistry.h"
#include "app/gVars.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using testsupport::AnswerNextMessageBox;
using testsupport::TestHome;

namespace {

// The stored value itself: absent and empty are different here.
std::optional<QString> Stored(const QString& name) {
    QSettings store(SettingsFilePath(kSettingsKey), QSettings::IniFormat);
    const QString key = "V/" + name;
    if (!store.contains(key))
        return std::nullopt;
    return store.value(key).toString();
}

std::string Show(const std::optional<QString>& value) {
    return value ? "\"" + value->toStdString() + "\"" : "(absent)";
}

} // namespace

TEST(fmOptions, Layout) {
    TestHome home;
    TfrmOptions dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Zorvane");
    EXPECT_EQ(dialog.size(), QSize(347, 393));
    EXPECT_EQ(dialog.lblDela->text(), "Options");
    EXPECT_EQ(dialog.pgcOptions->count(), 1);
    EXPECT_EQ(dialog.pgcOptions->tabText(0), "General");
    EXPECT_EQ(dialog.edtSurpriseFileName->geometry().topLeft(), QPoint(36, 48));
    EXPECT_EQ(dialog.edtSurpriseFileName->width(), 249);
    EXPECT_FALSE(dialog.chkNormalOrCompressed->isVisible());
    EXPECT_EQ(dialog.chkNormalOrCompressed->text(),
              "Save && Send Compressed Surprises (zip archive)");
    EXPECT_EQ(dialog.btnOk->geometry(), QRect(219, 1, 59, 22));
    EXPECT_EQ(dialog.btnCancel->geometry(), QRect(283, 1, 59, 22));
    EXPECT_EQ(dialog.focusWidget(), dialog.edtSurpriseFileName);
    // No label may be cut off by the substituted font.
    EXPECT_LE(dialog.lblSurpriseFileName->geometry().right(), dialog.tbGeneral->width());
}

TEST(fmOptions, EmptyStoreOkWritesAnEmptyName) {
    TestHome home;
    TfrmOptions dialog;
    dialog.show();
    EXPECT_EQ(dialog.edtSurpriseFileName->text(), "");
    EXPECT_TRUE(dialog.chkNormalOrCompressed->isChecked());
    dialog.btnOk->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Stored("g1"), std::nullopt);
    EXPECT_EQ(Stored("g2"), QString(""));
    BuilderState state;
    ReadOptions(state);
    EXPECT_EQ(state.OutputFileName, "Surprise.exe");
    EXPECT_TRUE(state.CompressedDelivery);
}

TEST(fmOptions, TypedRefusedCharactersAreDiscarded) {
    TestHome home;
    TfrmOptions dialog;
    dialog.show();
    QTest::keyClicks(dialog.edtSurpriseFileName, "a.b\\c/d:e*f?g\"h<i>j|k");
    EXPECT_EQ(dialog.edtSurpriseFileName->text(), "abcdefghijk");
    QTest::keyClick(dialog.edtSurpriseFileName, Qt::Key_Backspace);
    EXPECT_EQ(dialog.edtSurpriseFileName->text(), "abcdefghij");
    // A key press that brings several characters keeps the allowed ones.
    QKeyEvent several(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, "x.y");
    QApplication::sendEvent(dialog.edtSurpriseFileName, &several);
    EXPECT_EQ(dialog.edtSurpriseFileName->text(), "abcdefghijxy");
}

TEST(fmOptions, PastedExtensionIsRefusedAndTheDialogStays) {
    TestHome home;
    WriteSetting(kSettingsKey, "g2", "Previous");
    TfrmOptions dialog;
    dialog.show();
    dialog.edtSurpriseFileName->clear();
    QApplication::clipboard()->setText("card.exe");
    QTest::keyClick(dialog.edtSurpriseFileName, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(dialog.edtSurpriseFileName->text(), "card.exe") << "pasting is not filtered";

    QString seen;
    AnswerNextMessageBox("OK", &seen);
    dialog.btnOk->click();
    EXPECT_EQ(seen, "Please use only file name valid characters without file extension.\n"
                    "Do not use following characters: .\\/:*?\"<>|");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), dialog.edtSurpriseFileName);
    EXPECT_EQ(Stored("g2"), QString("Previous"));

    dialog.btnCancel->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Stored("g2"), QString("Previous"));
}

TEST(fmOptions, NameIsStoredTrimmed) {
    TestHome home;
    TfrmOptions dialog;
    dialog.show();
    dialog.edtSurpriseFileName->setText("  Birthday \t");
    dialog.btnOk->click();
    EXPECT_EQ(Stored("g2"), QString("Birthday"));
    BuilderState state;
    ReadOptions(state);
    EXPECT_EQ(state.OutputFileName, "Birthday.exe");
}

TEST(fmOptions, StoredNameIsShownTrimmedEvenWhenInvalid) {
    const std::pair<const char*, const char*> cases[] = {
        {"  Party  ", "Party"}, {"old.exe", "old.exe"}, {"   ", ""}};
    for (const auto& [stored, shown] : cases) {
        TestHome home;
        WriteSetting(kSettingsKey, "g2", stored);
        TfrmOptions dialog;
        EXPECT_EQ(dialog.edtSurpriseFileName->text(), shown) << stored;
    }
}

TEST(fmOptions, CompressedDeliveryIsCarriedThrough) {
    struct Case {
        std::optional<QString> before;
        bool ticked;
        std::optional<QString> after;
    };
    const Case cases[] = {
        {std::nullopt, true, std::nullopt}, {QString("F"), false, QString("F")},
        {QString("T"), true, std::nullopt}, {QString(""), true, std::nullopt},
        {QString("f"), true, std::nullopt},
    };
    for (const Case& c : cases) {
        TestHome home;
        if (c.before)
            WriteSetting(kSettingsKey, "g1", *c.before);
        TfrmOptions dialog;
        dialog.show();
        EXPECT_EQ(dialog.chkNormalOrCompressed->isChecked(), c.ticked) << Show(c.before);
        dialog.btnOk->click();
        EXPECT_EQ(Stored("g1"), c.after) << Show(c.before);
    }
}

TEST(fmOptions, CancelEscapeAndEnter) {
    TestHome home;
    WriteSetting(kSettingsKey, "g1", "T");
    WriteSetting(kSettingsKey, "g2", "Old");
    {
        TfrmOptions dialog;
        dialog.show();
        dialog.edtSurpriseFileName->setText("New");
        // Neither button is the default: Enter does nothing.
        QTest::keyClick(dialog.edtSurpriseFileName, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClick(dialog.edtSurpriseFileName, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    }
    {
        TfrmOptions dialog;
        dialog.show();
        dialog.edtSurpriseFileName->setText("New");
        dialog.btnCancel->click();
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(Stored("g1"), QString("T"));
    EXPECT_EQ(Stored("g2"), QString("Old"));
}
