#include "app/fmMain.h"
#include "app/fmMainWidgets.h"
#include "app/gPictureLists.h"
#include "app/gVars.h"
#include "build/BuildProcedure.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using testsupport::TestHome;
using testsupport::WorkingFolder;
using testsupport::WriteFile;

namespace {

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, format).write(image))
        qFatal("cannot encode %s", format);
    return bytes;
}

QByteArray Png(const QImage& image) {
    return Encoded(image, "png");
}

// A picture the build accepts: two colours, at least 100 x 80.
QImage Picture(int width = 120, int height = 90, QColor colour = Qt::blue) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = height / 4; y < height * 3 / 4; ++y)
        for (int x = width / 4; x < width * 3 / 4; ++x)
            image.setPixelColor(x, y, colour);
    return image;
}

QImage Plain(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    return image;
}

// A builder window in a working folder of its own, shown and active.
class Builder {
public:
    // Adds a picture before the window opens; returns its path.
    QString AddPacket(const QString& series, const QString& name, const QImage& image = Picture()) {
        return WriteFile(Work.Path() + "Pictures/Packets/" + series + "/" + name, Png(image));
    }
    QString AddSurprise(const QString& series, const QString& name,
                        const QImage& image = Picture()) {
        return WriteFile(Work.Path() + "Pictures/Surprises/" + series + "/" + name, Png(image));
    }
    void AddEngine() {
        WriteFile(Work.Path() + "Engines/Surprise.exe", "any bytes make an engine");
    }
    // One picture in each library and an engine: everything a build needs.
    void AddEverything() {
        AddPacket("Birthday", "cake.png");
        AddSurprise("Birthday", "gift.png", Picture(160, 100, Qt::red));
        AddEngine();
    }

    TfrmMain& Open() {
        Window = std::make_unique<TfrmMain>(Work.Path());
        if (!Window->FormCreate())
            qFatal("FormCreate failed");
        Window->show();
        Window->activateWindow();
        if (!QTest::qWaitForWindowActive(Window.get()))
            qFatal("the window did not become active");
        return *Window;
    }

    // Focuses widget the way a click or Tab would and waits until it has it.
    void Focus(QWidget* widget) {
        widget->setFocus(Qt::OtherFocusReason);
        ASSERT_EVENTUALLY(widget->hasFocus(), 5000);
    }

    // Every action answers only through its triggered signal: the handlers
    // of other subsystems stay out of the window's own tests.
    void SilenceHandlers() {
        for (QAction* action : Window->Actions())
            QObject::disconnect(action, &QAction::triggered, Window.get(), nullptr);
    }

    TestHome Home;
    WorkingFolder Work;
    std::unique_ptr<TfrmMain> Window;
};

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QPoint ItemCentre(QListWidget* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

QString Answered(const std::function<void()>& command) {
    QString seen = QStringLiteral("(no message)");
    testsupport::AnswerNextMessageBox(QStringLiteral("OK"), &seen);
    command();
    return seen;
}

} // namespace

// ---- Layout, actions and menus

TEST(BuilderLayout, PositionsAndSizesAsDesigned) {
    Builder builder;
    TfrmMain& window = builder.Open();
    QWidget* client = window.centralWidget();
    EXPECT_EQ(client->size(), QSize(518, 535));
    EXPECT_EQ(client->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed size";
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window.windowTitle(), "Zorvane");

    auto at = [client](const QWidget* widget) {
        return QRect(widget->mapTo(client, QPoint(0, 0)), widget->size());
    };
    const struct {
        const char* Name;
        const QWidget* Widget;
        QRect Expected;
    } cases[] = {
        {"lbPackets", window.lbPackets, {35, 85, 220, 242}},
        {"lbSurprises", window.lbSurprises, {288, 85, 220, 242}},
        {"btnTransPacket", window.btnTransPacket, {155, 59, 25, 25}},
        {"btnRemovePacket", window.btnRemovePacket, {230, 59, 25, 25}},
        {"btnTransSurprise", window.btnTransSurprise, {408, 59, 25, 25}},
        {"btnRemoveSurprise", window.btnRemoveSurprise, {483, 59, 25, 25}},
        {"Image2", window.Image2, {window.Image2->x(), 0, 275, 46}},
        {"btnBuild", window.btnBuild, {317, 0, 47, 46}},
        {"btnSaveAs", window.btnSaveAs, {411, 0, 47, 46}},
        {"btnSend", window.btnSend, {458, 0, 60, 46}},
        {"lbPacketSound", window.lbPacketSound, {240, 340, 268, 33}},
        {"pnlPacketSound", window.pnlPacketSound, {243, 344, 262, 25}},
        {"lbOpenEffect", window.lbOpenEffect, {240, 373, 268, 33}},
        {"pnlSurpriseSound", window.pnlSurpriseSound, {243, 410, 262, 25}},
        {"btn7", window.btn7, {243, 344, 25, 25}},
        {"btn8", window.btn8, {480, 344, 25, 25}},
        {"edtPassword", window.edtPassword, {243, 447, 263, 21}},
        {"btnExit", window.btnExit, {438, 511, 75, 23}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(at(c.Widget), c.Expected) << c.Name;
    EXPECT_FALSE(window.lbPacketsSeries->isVisible());
    EXPECT_FALSE(window.lbSurprisesSeries->isVisible());
    EXPECT_EQ(window.edtPassword->maxLength(), 50);
    EXPECT_EQ(window.edtGoToURL->maxLength(), 255);
    EXPECT_EQ(window.lblTitle->text(), "Zadad");
    EXPECT_EQ(window.lblTitle->font().pixelSize(), 16);
    EXPECT_EQ(window.lblTitle->palette().color(QPalette::WindowText), QColor(249, 253, 255));
    EXPECT_EQ(window.Image2->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window.btnSend->menu(), window.popSendTo);
}

TEST(BuilderLayout, NoCaptionIsClipped) {
    Builder builder;
    TfrmMain& window = builder.Open();
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisible())
            continue;
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
        EXPECT_LE(label->sizeHint().height(), label->height()) << label->text().toStdString();
        EXPECT_LE(label->mapTo(&window, QPoint(label->width(), 0)).x(), window.width())
            << label->text().toStdString();
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        // The flat buttons show images only.
        if (button->text().isEmpty() || !button->isVisible() || qobject_cast<QToolButton*>(button))
            continue;
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width() - 8)
            << button->text().toStdString();
    }
}

TEST(BuilderActions, HintsAreToolTipsAndTheStartingAvailability) {
    TestHome home;
    WorkingFolder work;
    TfrmMain window(work.Path()); // before FormCreate: as created
    const struct {
        QAction* Action;
        const char* Hint;
        bool Available;
    } cases[] = {
        {window.ActBuild, "Build Surprise", false},
        {window.ActImportPacketPicture, "Import Packet Picture", true},
        {window.ActRemovePacketPicture, "Remove Packet Picture", false},
        {window.ActImportSurprisePicture, "Import Surprise Picture", true},
        {window.ActRemoveSurprisePicture, "Remove Surprise Picture", false},
        {window.ActModifyPacketPicture, "Modify Packet Picture", false},
        {window.ActModifySurprisePicture, "Modify Surprise Picture", false},
        {window.ActPreview, "Preview", false},
        {window.ActSendToMailRecipient, "Send to E-Mail Recipient", false},
        {window.ActSendToMyDocuments, "Send to My Documents", false},
        {window.ActSendToDesktop, "Send to Desktop", false},
        {window.ActSaveAs, "Save As...", false},
        {window.ActBrowsePacketSound, "Browse Packet Sound", true},
        {window.ActBrowseOpenEffect, "Browse Open Effect", true},
        {window.ActBrowseSurpriseSound, "Browse Surprise Sound", true},
        {window.ActClearPacketSound, "Clear Packet Sound", true},
        {window.ActClearOpenEffect, "Clear Open Effect", true},
        {window.ActClearSurpriseSound, "Clear Surprise Sound", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Action->toolTip(), c.Hint);
        EXPECT_EQ(c.Action->isEnabled(), c.Available) << c.Hint;
    }
    EXPECT_TRUE(window.ActPacketTransparencyToggle->isEnabled());
    EXPECT_TRUE(window.ActSurpriseTransparencyToggle->isEnabled());
    const struct {
        QToolButton* Button;
        const char* Hint;
    } buttons[] = {
        {window.btnBuild, "Build Surprise"},
        {window.btnPreview, "Preview"},
        {window.btnSaveAs, "Save As..."},
        {window.btnSend, "Send to E-Mail Recipient"},
        {window.btnImportPacket, "Import Packet Picture"},
        {window.btnModifySurprise, "Modify Surprise Picture"},
        {window.btn7, "Browse Packet Sound"},
        {window.btn12, "Clear Surprise Sound"},
    };
    for (const auto& b : buttons)
        EXPECT_EQ(b.Button->toolTip(), b.Hint);
}

TEST(BuilderActions, MainMenuInItsOrderWithItsDefaultItems) {
    Builder builder;
    TfrmMain& window = builder.Open();
    QStringList titles;
    for (const QAction* menu : window.menuBar()->actions())
        titles.append(menu->text());
    EXPECT_EQ(titles, QStringList({"Build", "Packet", "Surprise", "Sound", "Help", "More"}));

    EXPECT_EQ(Captions(window.mnuBuild),
              QStringList({"Build Surprise", "Preview", "-", "Save As...", "Send to", "-",
                           "Options...", "-", "Exit"}));
    const QMenu* sendTo = window.mnuBuild->actions().at(4)->menu();
    ASSERT_NE(sendTo, nullptr);
    EXPECT_EQ(Captions(sendTo), QStringList({"Desktop", "E-Mail Recipient", "My Documents"}));
    EXPECT_EQ(Captions(window.mnuPacket),
              QStringList({"Import Packet Picture", "Modify Packet Picture", "-",
                           "Remove Packet Picture", "-", "Disable Packet Transparency"}));
    EXPECT_EQ(Captions(window.mnuSurprise),
              QStringList({"Import Surprise Picture", "Modify Surprise Picture", "-",
                           "Remove Surprise Picture", "-", "Disable Surprise Transparency"}));
    EXPECT_EQ(
        Captions(window.mnuSound),
        QStringList({"Browse Packet Sound", "Browse Open Effect", "Browse Surprise Sound", "-",
                     "Clear Packet Sound", "Clear Open Effect", "Clear Surprise Sound"}));
    EXPECT_EQ(Captions(window.mnuHelp), QStringList({"Program Help", "FAQ", "-", "Home Page",
                                                     "Check for Update", "-", "About..."}));
    EXPECT_EQ(Captions(window.mnuMore),
              QStringList({"Get More Quelv Products", "Get Newsletter",
                           "Sell this Program and Earn Money", "Tell a Friend (Send e-mail)"}));
    EXPECT_EQ(Captions(window.popSendTo),
              QStringList({"Send to Desktop", "Send to E-Mail Recipient", "Send to My Documents"}));

    EXPECT_EQ(window.mnuBuild->defaultAction(), window.ActBuild);
    EXPECT_EQ(window.mnuPacket->defaultAction(), window.ActImportPacketPicture);
    EXPECT_EQ(window.mnuSurprise->defaultAction(), window.ActImportSurprisePicture);
    EXPECT_EQ(window.mnuSound->defaultAction(), window.ActBrowsePacketSound);
    EXPECT_EQ(window.mnuMore->defaultAction(), window.MoreQUELVproducts1);
    EXPECT_EQ(window.popSendTo->defaultAction(), window.ActSendToMailRecipient);
    EXPECT_EQ(window.mnuHelp->defaultAction(), nullptr);
    for (const QAction* item : window.findChildren<QAction*>())
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();
}

TEST(BuilderActions, ADisabledActionDoesNothingFromItsMenuItemOrButton) {
    Builder builder;
    TfrmMain& window = builder.Open();
    builder.SilenceHandlers();
    QSignalSpy desktop(window.ActSendToDesktop, &QAction::triggered);
    QMenu* sendTo = window.mnuBuild->actions().at(4)->menu();
    QAction* desktopItem = sendTo->actions().at(0);
    EXPECT_FALSE(desktopItem->isEnabled());
    desktopItem->trigger();
    QTest::mouseClick(window.btnBuild, Qt::LeftButton);
    EXPECT_EQ(desktop.count(), 0);

    builderState().Built = true;
    window.KeyState();
    EXPECT_TRUE(desktopItem->isEnabled()) << "the menu item follows its action";
    desktopItem->trigger();
    EXPECT_EQ(desktop.count(), 1);
}

// ---- KeyState

TEST(BuilderKeyState, EveryCommandFollowsItsRule) {
    // One window per combination of empty and filled libraries; in each,
    // every combination of Building and Built.
    for (const bool packets : {false, true}) {
        for (const bool surprises : {false, true}) {
            Builder builder;
            if (packets)
                builder.AddPacket("Series", "p.png");
            if (surprises)
                builder.AddSurprise("Series", "s.png");
            TfrmMain& window = builder.Open();
            for (const bool building : {false, true}) {
                for (const bool built : {false, true}) {
                    builderState().Building = building;
                    builderState().Built = built;
                    window.KeyState();
                    const bool p = !building && packets;
                    const bool s = !building && surprises;
                    const struct {
                        const char* Name;
                        bool Enabled;
                        bool Expected;
                    } rows[] = {
                        {"Modify packet", window.ActModifyPacketPicture->isEnabled(), p},
                        {"Remove packet", window.ActRemovePacketPicture->isEnabled(), p},
                        {"Modify surprise", window.ActModifySurprisePicture->isEnabled(), s},
                        {"Remove surprise", window.ActRemoveSurprisePicture->isEnabled(), s},
                        {"Packet toggle", window.ActPacketTransparencyToggle->isEnabled(),
                         !building},
                        {"Surprise toggle", window.ActSurpriseTransparencyToggle->isEnabled(),
                         !building},
                        {"Import packet", window.ActImportPacketPicture->isEnabled(), !building},
                        {"Import surprise", window.ActImportSurprisePicture->isEnabled(),
                         !building},
                        {"Browse packet", window.ActBrowsePacketSound->isEnabled(), !building},
                        {"Browse open", window.ActBrowseOpenEffect->isEnabled(), !building},
                        {"Browse surprise", window.ActBrowseSurpriseSound->isEnabled(), !building},
                        {"Clear packet", window.ActClearPacketSound->isEnabled(), !building},
                        {"Clear open", window.ActClearOpenEffect->isEnabled(), !building},
                        {"Clear surprise", window.ActClearSurpriseSound->isEnabled(), !building},
                        {"Password", window.edtPassword->isEnabled(), !building},
                        {"URL", window.edtGoToURL->isEnabled(), !building},
                        {"Options", window.mniOptions->isEnabled(), !building},
                        {"Exit item", window.mniExit->isEnabled(), !building},
                        {"Exit button", window.btnExit->isEnabled(), !building},
                        {"Mail", window.ActSendToMailRecipient->isEnabled(), !building && built},
                        {"Desktop", window.ActSendToDesktop->isEnabled(), !building && built},
                        {"Documents", window.ActSendToMyDocuments->isEnabled(), !building && built},
                        {"Preview", window.ActPreview->isEnabled(), !building && built},
                        {"Save As", window.ActSaveAs->isEnabled(), !building && built},
                        {"Build", window.ActBuild->isEnabled(), p && s && !built},
                        {"Build button", window.btnBuild->isEnabled(), p && s && !built},
                        {"Toggle button", window.btnTransPacket->isEnabled(), !building},
                    };
                    for (const auto& row : rows)
                        EXPECT_EQ(row.Enabled, row.Expected)
                            << row.Name << " packets " << packets << " surprises " << surprises
                            << " building " << building << " built " << built;
                }
            }
            builderState().Building = false;
        }
    }
}

TEST(BuilderKeyState, FalsizeBuildedClearsBuiltAndEveryEditDoesIt) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    for (QLineEdit* edit : {window.edtPassword, window.edtGoToURL}) {
        builderState().Built = true;
        window.KeyState();
        EXPECT_FALSE(window.ActBuild->isEnabled());
        builder.Focus(edit);
        QTest::keyClick(edit, Qt::Key_A);
        EXPECT_FALSE(builderState().Built);
        EXPECT_TRUE(window.ActBuild->isEnabled());
        EXPECT_FALSE(window.ActPreview->isEnabled());
    }
}

// ---- Keyboard

TEST(BuilderKeyboard, TheTableThroughRealKeys) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    builder.SilenceHandlers();
    // Each key starts from a finished build, so the delivery keys can act.
    struct Case {
        QWidget* Focus;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        QAction* Expected; // nullptr: no command
    };
    const Case cases[] = {
        {window.lbPackets, Qt::Key_Insert, Qt::NoModifier, window.ActImportPacketPicture},
        {window.lbSurprises, Qt::Key_Insert, Qt::ShiftModifier, window.ActImportSurprisePicture},
        {window.lbPacketSound, Qt::Key_Insert, Qt::NoModifier, window.ActBrowsePacketSound},
        {window.lbOpenEffect, Qt::Key_Insert, Qt::ControlModifier, window.ActBrowseOpenEffect},
        {window.lbSurpriseSound, Qt::Key_Insert, Qt::NoModifier, window.ActBrowseSurpriseSound},
        {window.lbPackets, Qt::Key_Delete, Qt::NoModifier, window.ActRemovePacketPicture},
        {window.lbSurprises, Qt::Key_Delete, Qt::AltModifier, window.ActRemoveSurprisePicture},
        {window.lbPacketSound, Qt::Key_Delete, Qt::NoModifier, window.ActClearPacketSound},
        {window.lbOpenEffect, Qt::Key_Delete, Qt::NoModifier, window.ActClearOpenEffect},
        {window.lbSurpriseSound, Qt::Key_Delete, Qt::NoModifier, window.ActClearSurpriseSound},
        {window.lbPackets, Qt::Key_Space, Qt::NoModifier, window.ActModifyPacketPicture},
        {window.lbSurprises, Qt::Key_Space, Qt::NoModifier, window.ActModifySurprisePicture},
        {window.lbOpenEffect, Qt::Key_Space, Qt::NoModifier, window.ActBrowseOpenEffect},
        {window.lbPackets, Qt::Key_Return, Qt::NoModifier, window.ActModifyPacketPicture},
        {window.lbSurprises, Qt::Key_Enter, Qt::KeypadModifier, window.ActModifySurprisePicture},
        {window.lbSurpriseSound, Qt::Key_Return, Qt::NoModifier, window.ActBrowseSurpriseSound},
        {window.lbPacketSound, Qt::Key_Backspace, Qt::NoModifier, window.ActClearPacketSound},
        {window.lbOpenEffect, Qt::Key_Backspace, Qt::ShiftModifier, window.ActClearOpenEffect},
        {window.lbPackets, Qt::Key_Backspace, Qt::NoModifier, nullptr},
        {window.edtPassword, Qt::Key_F3, Qt::NoModifier, window.ActPreview},
        {window.lbSurprises, Qt::Key_F2, Qt::ControlModifier, window.ActSaveAs},
        {window.edtGoToURL, Qt::Key_F7, Qt::NoModifier, window.ActSendToMailRecipient},
        {window.edtPassword, Qt::Key_Insert, Qt::NoModifier, nullptr},
        {window.edtGoToURL, Qt::Key_Space, Qt::NoModifier, nullptr},
        {window.btnExit, Qt::Key_Delete, Qt::NoModifier, nullptr},
    };
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QAction* action : window.Actions())
        spies.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));
    for (const Case& c : cases) {
        for (auto& spy : spies)
            spy->clear();
        builderState().Built = true;
        window.KeyState();
        builder.Focus(c.Focus);
        QTest::keyClick(c.Focus, c.Key, c.Modifiers);
        const QList<QAction*> actions = window.Actions();
        for (int i = 0; i < actions.size(); ++i) {
            const int expected = actions.at(i) == c.Expected ? 1 : 0;
            EXPECT_EQ(spies.at(static_cast<size_t>(i))->count(), expected)
                << actions.at(i)->toolTip().toStdString() << " after key " << c.Key << " on "
                << c.Focus->metaObject()->className();
        }
    }
}

TEST(BuilderKeyboard, VirtualKeysActOnTheirReleaseOnly) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    builder.SilenceHandlers();
    QSignalSpy import(window.ActImportPacketPicture, &QAction::triggered);
    builder.Focus(window.lbPackets);
    QTest::keyPress(window.lbPackets, Qt::Key_Insert);
    EXPECT_EQ(import.count(), 0);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Insert, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(window.lbPackets, &repeated);
    EXPECT_EQ(import.count(), 0) << "an auto-repeated key is not released yet";
    QTest::keyRelease(window.lbPackets, Qt::Key_Insert);
    EXPECT_EQ(import.count(), 1);
}

TEST(BuilderKeyboard, DeleteInThePasswordEditsTheTextAndRunsNothing) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    builder.SilenceHandlers();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QAction* action : window.Actions())
        spies.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));
    builder.Focus(window.edtPassword);
    QTest::keyClicks(window.edtPassword, "abc");
    window.edtPassword->setCursorPosition(1);
    QTest::keyClick(window.edtPassword, Qt::Key_Delete);
    EXPECT_EQ(window.edtPassword->text(), "ac");
    for (auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);
}

TEST(BuilderKeyboard, TheKeyStillReachesTheFocusedList) {
    Builder builder;
    builder.AddPacket("Series", "a.png");
    builder.AddPacket("Series", "b.png");
    TfrmMain& window = builder.Open();
    builder.SilenceHandlers();
    builder.Focus(window.lbPackets);
    ASSERT_EQ(ItemIndex(window.lbPackets), 0);
    QTest::keyClick(window.lbPackets, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(ItemIndex(window.lbPackets), 1);
}

// ---- Transparency toggles

TEST(BuilderToggles, CaptionsGlyphAndBuiltAfterOneAndTwoToggles) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    const struct {
        QToolButton* Button;
        QAction* Action;
        QAction* MenuItem;
        const char* Disable;
        const char* Enable;
        std::function<bool()> Transparent;
    } toggles[] = {
        {window.btnTransPacket, window.ActPacketTransparencyToggle,
         window.mnuPacketTransparencyToggle, "Disable Packet Transparency",
         "Enable Packet Transparency", [&] { return window.PacketTransparent(); }},
        {window.btnTransSurprise, window.ActSurpriseTransparencyToggle,
         window.mnuSurpriseTransparencyToggle, "Disable Surprise Transparency",
         "Enable Surprise Transparency", [&] { return window.SurpriseTransparent(); }},
    };
    for (const auto& t : toggles) {
        EXPECT_EQ(t.MenuItem->text(), t.Disable);
        EXPECT_EQ(t.Button->toolTip(), t.Disable);
        EXPECT_TRUE(t.Transparent());
        const qint64 onGlyph = t.Button->icon().cacheKey();

        builderState().Built = true;
        QTest::mouseClick(t.Button, Qt::LeftButton);
        EXPECT_FALSE(builderState().Built);
        EXPECT_EQ(TfrmMain::Tag(t.Action), 0);
        EXPECT_FALSE(t.Transparent());
        EXPECT_EQ(t.MenuItem->text(), t.Enable);
        EXPECT_EQ(t.Action->toolTip(), t.Enable);
        EXPECT_EQ(t.Button->toolTip(), t.Enable);
        if (!window.imgKeyTransparent.at(0).isNull()) {
            EXPECT_NE(t.Button->icon().cacheKey(), onGlyph);
        }

        builderState().Built = true;
        t.MenuItem->trigger();
        EXPECT_FALSE(builderState().Built);
        EXPECT_EQ(TfrmMain::Tag(t.Action), 1);
        EXPECT_EQ(t.MenuItem->text(), t.Disable);
        EXPECT_EQ(t.Button->toolTip(), t.Disable);
    }
}

TEST(BuilderToggles, DrawButtonTakesTheNormalAndDisabledHalves) {
    QPixmap image(42, 21);
    image.fill(Qt::red);
    {
        QPainter painter(&image);
        painter.fillRect(21, 0, 21, 21, Qt::gray);
    }
    QToolButton button;
    TfrmMain::DrawButton({QPixmap(), image}, &button, 1);
    EXPECT_EQ(button.iconSize(), QSize(21, 21));
    EXPECT_EQ(button.icon().pixmap(QSize(21, 21), QIcon::Normal).toImage().pixel(3, 3),
              qRgb(255, 0, 0));
    EXPECT_EQ(button.icon().pixmap(QSize(21, 21), QIcon::Disabled).toImage().pixel(3, 3),
              QColor(Qt::gray).rgb());
    TfrmMain::DrawButton({QPixmap(), image}, &button, 0);
    EXPECT_TRUE(button.icon().isNull()) << "a missing image leaves no glyph, and no crash";
}

// ---- Picture lists in the window

TEST(BuilderLists, FirstSeriesAlphabeticallyWithExactlyItsPictures) {
    Builder builder;
    const QString first = builder.AddPacket("alpha", "one.png");
    const QString second = WriteFile(builder.Work.Path() + "Pictures/Packets/alpha/two.BMP",
                                     Encoded(Picture(), "bmp"));
    WriteFile(builder.Work.Path() + "Pictures/Packets/alpha/notes.txt", "not a picture");
    WriteFile(builder.Work.Path() + "Pictures/Packets/alpha/Thumbs.db", QByteArray(64, '\0'));
    builder.AddPacket("gamma", "g.png");
    builder.AddPacket("Beta", "b.png");
    QDir().mkpath(builder.Work.Path() + "Pictures/Packets/.cache");
    TfrmMain& window = builder.Open();

    EXPECT_EQ(ItemStrings(window.lbPacketsSeries), QStringList({"alpha", "Beta", "gamma"}));
    EXPECT_EQ(ItemIndex(window.lbPacketsSeries), 0);
    QStringList items = ItemStrings(window.lbPackets);
    items.sort();
    EXPECT_EQ(items, QStringList({first, second}));
    EXPECT_EQ(window.imgPackets.size(), 2);
    EXPECT_EQ(ItemIndex(window.lbPackets), 0);
    EXPECT_EQ(builderState().LoadedPacketsSeries, 0);
    EXPECT_EQ(FindItemByPath(window.lbPackets, first.toUpper()),
              ItemStrings(window.lbPackets).indexOf(first));
    EXPECT_EQ(window.lbSurprises->count(), 0) << "the surprise library is empty";
    EXPECT_EQ(builderState().LoadedSurprisesSeries, -2);
}

TEST(BuilderLists, SeriesChangedReloadsOnlyAnotherSeriesAndKeepsBuilt) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    builder.AddPacket("Birthday", "later.png");
    builderState().Built = true;
    window.lbPacketsSeriesChanged();
    EXPECT_EQ(window.lbPackets->count(), 1) << "same series: nothing reloaded";
    builderState().LoadedPacketsSeries = -2;
    window.lbPacketsSeriesChanged();
    EXPECT_EQ(window.lbPackets->count(), 2);
    EXPECT_EQ(window.imgPackets.size(), 2);
    EXPECT_EQ(ItemIndex(window.lbPackets), 0);
    EXPECT_TRUE(builderState().Built) << "a load is no pick of the user's";
}

TEST(BuilderLists, ClicksCompareTheIndexWithTheLastBuild) {
    Builder builder;
    for (const char* name : {"a.png", "b.png", "c.png"})
        builder.AddPacket("Series", QLatin1String(name));
    TfrmMain& window = builder.Open();
    BuilderState& state = builderState();
    state.LastBuildPacket = 1;
    state.LastBuildPacketsSeries = 0;

    state.Built = true;
    QTest::mouseClick(window.lbPackets->viewport(), Qt::LeftButton, {},
                      ItemCentre(window.lbPackets, 1));
    EXPECT_EQ(ItemIndex(window.lbPackets), 1);
    EXPECT_TRUE(state.Built) << "the index of the last build";

    QTest::mouseClick(window.lbPackets->viewport(), Qt::LeftButton, {},
                      ItemCentre(window.lbPackets, 2));
    EXPECT_FALSE(state.Built) << "another index";

    state.Built = true;
    builder.Focus(window.lbPackets);
    QTest::keyClick(window.lbPackets, Qt::Key_Up);
    EXPECT_EQ(ItemIndex(window.lbPackets), 1);
    EXPECT_TRUE(state.Built);
    QTest::keyClick(window.lbPackets, Qt::Key_Up);
    EXPECT_FALSE(state.Built) << "a key that picks another index";

    state.Built = true;
    state.LastBuildPacketsSeries = 3;
    emit static_cast<TListBox*>(window.lbPacketsSeries)->Click();
    EXPECT_FALSE(state.Built) << "the series index differs from the last build's";
}

TEST(BuilderLists, ThumbnailsAreDrawnCentredOnTheItemsBackground) {
    Builder builder;
    // White bottom-left: every white pixel shows the background.
    builder.AddPacket("Series", "a.png", Picture(120, 120));
    builder.AddPacket("Series", "b.png", Picture(120, 120));
    TfrmMain& window = builder.Open();
    QListWidget* list = window.lbPackets;
    SetItemIndex(list, 0);
    const QImage shot = list->viewport()->grab().toImage();
    const QColor highlight = list->palette().color(QPalette::Active, QPalette::Highlight);
    const QColor base = list->palette().color(QPalette::Active, QPalette::Base);
    for (int row = 0; row < 2; ++row) {
        const QRect item = list->visualItemRect(list->item(row));
        EXPECT_EQ(item.height(), 100);
        const int x = item.x() + (item.x() + item.width() - 90) / 2;
        const int y = item.y() + 5;
        const QColor background = row == 0 ? highlight : base;
        EXPECT_EQ(shot.pixelColor(x + 45, y + 45), QColor(Qt::blue)) << row;
        EXPECT_EQ(shot.pixelColor(x + 5, y + 5), background) << "masked white, row " << row;
        EXPECT_EQ(shot.pixelColor(x + 45, item.y() + 2), background) << row;
        EXPECT_EQ(shot.pixelColor(x + 45, item.y() + 97), background) << row;
    }
}

// ---- Drop targets

TEST(BuilderDrops, LocalFilesReachTheHandlerInDropOrder) {
    TThumbnailImages images;
    TPictureList list(images);
    TSoundPanel panel;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/b.png"), QUrl("http://example.org/x.png"),
                  QUrl::fromLocalFile("/tmp/a.png")});
    for (QWidget* target : std::initializer_list<QWidget*>{&list, &panel}) {
        QStringList received;
        auto take = [&received](const QStringList& files) { received = files; };
        if (target == &list)
            list.FilesDropped = take;
        else
            panel.FilesDropped = take;
        QWidget* receiver = target == &list ? list.viewport() : target;
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(receiver, &drop);
        EXPECT_EQ(received, QStringList({"/tmp/b.png", "/tmp/a.png"}));
    }
}

TEST(BuilderDrops, TheFiveTargetsAreRegisteredWhileTheWindowRuns) {
    Builder builder;
    TfrmMain& window = builder.Open();
    EXPECT_TRUE(window.lbPackets->FilesDropped);
    EXPECT_TRUE(window.lbSurprises->FilesDropped);
    for (TSoundPanel* panel :
         {window.pnlPacketSound, window.pnlOpenEffectSound, window.pnlSurpriseSound}) {
        EXPECT_TRUE(panel->FilesDropped);
        EXPECT_TRUE(panel->acceptDrops());
    }
    window.close();
    EXPECT_FALSE(window.lbPackets->FilesDropped);
    EXPECT_FALSE(window.pnlSurpriseSound->FilesDropped);
}

// ---- Build

TEST(BuilderBuild, ChecksReportInOrderAndChangeNothing) {
    const QString url = QStringLiteral("The Go To URL is not valid, it must begin with http:// "
                                       "prefix.\n\nExample:  ");
    struct Case {
        const char* Name;
        bool Engine;
        QImage Packet;
        QImage Surprise;
        const char* Url;
        QString Message; // the start of the message shown
    };
    const Case cases[] = {
        {"engine first", false, Plain(120, 90), Picture(), "",
         "Engine not found, reinstalling the program may solve this problem."},
        {"empty packet", true, Plain(120, 90), Plain(120, 90), "",
         "The Packet picture is empty. Double-click it to modify."},
        {"empty surprise", true, Picture(99, 80), Plain(120, 90), "",
         "The Surprise picture is empty. Double-click it to modify."},
        {"narrow packet", true, Picture(99, 80), Picture(100, 79), "",
         "The Packet picture size cannot be smaller than 100 x 80 pixels."},
        {"low surprise", true, Picture(100, 80), Picture(100, 79), "",
         "The Surprise picture size cannot be smaller than 100 x 80 pixels."},
        {"https", true, Picture(100, 80), Picture(100, 80), "https://example.org", url},
        {"bare prefix", true, Picture(), Picture(), "http://", url},
    };
    for (const Case& c : cases) {
        Builder builder;
        builder.AddPacket("S", "p.png", c.Packet);
        builder.AddSurprise("S", "s.png", c.Surprise);
        if (c.Engine)
            builder.AddEngine();
        TfrmMain& window = builder.Open();
        window.edtGoToURL->setText(QLatin1String(c.Url));
        ASSERT_TRUE(window.ActBuild->isEnabled()) << c.Name;
        const QString seen = Answered([&] { window.ActBuild->trigger(); });
        EXPECT_TRUE(seen.startsWith(c.Message)) << c.Name << ": " << seen.toStdString();
        EXPECT_FALSE(builderState().Built) << c.Name;
        EXPECT_FALSE(builderState().Building) << c.Name;
        EXPECT_TRUE(QDir(appFolders().TempRoot).isEmpty()) << c.Name << ": no build folder";
        EXPECT_TRUE(window.ActBuild->isEnabled()) << c.Name;
        if (c.Message == url) {
            EXPECT_EQ(window.focusWidget(), window.edtGoToURL) << c.Name;
            EXPECT_EQ(window.edtGoToURL->selectedText(), QLatin1String(c.Url)) << c.Name;
        }
    }
}

TEST(BuilderBuild, TheCheckMessageIsAPlainBoxCaptionedZorvane) {
    Builder builder;
    builder.AddPacket("S", "p.png");
    builder.AddSurprise("S", "s.png");
    TfrmMain& window = builder.Open();
    QString caption;
    bool plain = false;
    testsupport::AnswerNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        caption = modal->windowTitle();
        plain = box && box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1;
        modal->close();
    });
    window.ActBuild->trigger();
    EXPECT_EQ(caption, "Zorvane");
    EXPECT_TRUE(plain);
}

TEST(BuilderBuild, ASuccessfulBuildEnablesDeliveryUntilAChoiceChanges) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    window.edtGoToURL->setText(" HTTP://a ");

    bool closedDuringBuild = true;
    bool buildingSeen = false;
    builder.Focus(window.lbSurprises);
    QTimer::singleShot(0, &window, [&] {
        buildingSeen = builderState().Building && !window.ActImportPacketPicture->isEnabled();
        closedDuringBuild = window.close();
    });
    QTest::keyClick(window.lbSurprises, Qt::Key_F9);
    EXPECT_TRUE(buildingSeen) << "the window showed its building state while working";
    EXPECT_FALSE(closedDuringBuild);
    EXPECT_TRUE(window.isVisible());

    const BuilderState& state = builderState();
    ASSERT_TRUE(state.Built);
    EXPECT_FALSE(state.Building);
    const QString firstFolder = appFolders().BuildFolder;
    EXPECT_TRUE(QFileInfo::exists(firstFolder + state.OutputFileName));
    EXPECT_EQ(state.LastBuildPacketsSeries, 0);
    EXPECT_EQ(state.LastBuildSurprisesSeries, 0);
    EXPECT_EQ(state.LastBuildPacket, 0);
    EXPECT_EQ(state.LastBuildSurprise, 0);
    for (QAction* delivery : {window.ActPreview, window.ActSaveAs, window.ActSendToDesktop,
                              window.ActSendToMyDocuments, window.ActSendToMailRecipient})
        EXPECT_TRUE(delivery->isEnabled()) << delivery->toolTip().toStdString();
    EXPECT_FALSE(window.ActBuild->isEnabled());

    // F9 after a build does nothing until a choice changes.
    QTest::keyClick(window.lbSurprises, Qt::Key_F9);
    EXPECT_EQ(appFolders().BuildFolder, firstFolder);
    builder.Focus(window.edtPassword);
    QTest::keyClick(window.edtPassword, Qt::Key_X);
    EXPECT_FALSE(state.Built);
    EXPECT_FALSE(window.ActPreview->isEnabled());
    QTest::keyClick(window.edtPassword, Qt::Key_F9);
    EXPECT_TRUE(state.Built);
    EXPECT_NE(appFolders().BuildFolder, firstFolder) << "a new folder for the new build";
    EXPECT_TRUE(QFileInfo::exists(firstFolder + state.OutputFileName));

    EXPECT_TRUE(window.close()) << "after the build it closes";
}

TEST(BuilderBuild, AnErrorEndsTheBuildWithoutBuiltAndReachesTheErrorHandler) {
    Builder builder;
    builder.AddEverything();
    TfrmMain& window = builder.Open();
    // An output name the build refuses raises an error from the build itself.
    builderState().OutputFileName = QStringLiteral("data.zip");
    bool thrown = false;
    try {
        window.ActBuildExecute();
    } catch (const std::exception&) {
        thrown = true;
    }
    EXPECT_TRUE(thrown) << "the error leaves the command for the application's handler";
    EXPECT_FALSE(builderState().Building);
    EXPECT_FALSE(builderState().Built);
    EXPECT_TRUE(window.ActBuild->isEnabled());
    EXPECT_TRUE(window.ActImportPacketPicture->isEnabled());
}

TEST(BuilderBuild, APickDuringTheBuildLeavesItUnbuilt) {
    Builder builder;
    builder.AddEverything();
    builder.AddPacket("Birthday", "second.png");
    TfrmMain& window = builder.Open();
    QTimer::singleShot(0, &window, [&] {
        const int other = ItemIndex(window.lbPackets) == 0 ? 1 : 0;
        QTest::mouseClick(window.lbPackets->viewport(), Qt::LeftButton, {},
                          ItemCentre(window.lbPackets, other));
    });
    window.ActBuild->trigger();
    EXPECT_FALSE(builderState().Built) << "the file holds the picture picked before";
    EXPECT_TRUE(window.ActBuild->isEnabled());
}
