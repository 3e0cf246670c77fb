#include "library/ImportDialog.h"

#include "app/gRegistry.h"
#include "app/gVars.h"
#include "library/PictureImport.h"
#include "library/PicturePreview.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

using testsupport::AnswerNextModal;
using testsupport::TestHome;
using testsupport::WriteFile;

namespace {

// A form owning the two picture dialogs of the builder, as the window has them.
struct Form {
    QWidget Window;
    QFileDialog Dialog1{&Window};
    QFileDialog Dialog2{&Window};
    Form() {
        Window.setObjectName(QStringLiteral("frmMain"));
        Dialog1.setObjectName(QStringLiteral("OpenPictureDialog1"));
        Dialog2.setObjectName(QStringLiteral("OpenPictureDialog2"));
        for (QFileDialog* dialog : {&Dialog1, &Dialog2})
            dialog->setFileMode(QFileDialog::ExistingFile);
    }
};

// Runs the dialog the way a person does: notes the folder it opened in,
// then enters fileName and presses Enter, or cancels when fileName is empty.
bool Choose(QFileDialog& dialog, const QString& fileName, QString* openedIn = nullptr) {
    AnswerNextModal([fileName, openedIn](QWidget* modal) {
        auto* shown = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(shown, nullptr);
        if (openedIn)
            *openedIn = shown->directory().absolutePath();
        if (fileName.isEmpty()) {
            QTest::keyClick(modal, Qt::Key_Escape);
            return;
        }
        auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        // Pasted rather than typed: typing opens the completer, which takes the Enter.
        edit->setText(fileName);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    return ExecuteImportDialog(dialog);
}

QString Remembered(const char* valueName) {
    return ReadSetting(kSettingsKey, QString::fromLatin1(valueName));
}

// Answers OK to every message box that call opens and returns their texts.
template <class Call> QStringList BoxesDuring(Call call) {
    QStringList seen;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.append(box->windowTitle() + QLatin1Char('|') + box->text());
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer.start();
    call();
    return seen;
}

} // namespace

TEST(ExecuteImportDialog, RemembersTheFolderPerDialogAndStartsOnTheDesktop) {
    TestHome home;
    Form form;
    const QString file = WriteFile(home.Path() + "/pictures/a.png", "x");
    QString openedIn;

    ASSERT_TRUE(Choose(form.Dialog1, file, &openedIn));
    EXPECT_EQ(openedIn, home.Desktop());
    EXPECT_EQ(form.Dialog1.selectedFiles().value(0), file);
    EXPECT_EQ(Remembered("frmMainOpenPictureDialog1"), home.Path() + "/pictures");

    ASSERT_TRUE(Choose(form.Dialog1, file, &openedIn));
    EXPECT_EQ(openedIn, home.Path() + "/pictures");
    // The other dialog keeps its own place.
    ASSERT_TRUE(Choose(form.Dialog2, file, &openedIn));
    EXPECT_EQ(openedIn, home.Desktop());
}

TEST(ExecuteImportDialog, CancelStoresNothing) {
    TestHome home;
    Form form;
    QDir().mkpath(home.Path() + "/old");
    WriteSetting(kSettingsKey, "frmMainOpenPictureDialog1", home.Path() + "/old");
    QString openedIn;
    EXPECT_FALSE(Choose(form.Dialog1, {}, &openedIn));
    EXPECT_EQ(openedIn, home.Path() + "/old");
    EXPECT_EQ(Remembered("frmMainOpenPictureDialog1"), home.Path() + "/old");
    EXPECT_FALSE(Choose(form.Dialog2, {}));
    EXPECT_EQ(Remembered("frmMainOpenPictureDialog2"), "");
}

TEST(ExecuteImportDialog, StaleOrPaddedRememberedFolders) {
    TestHome home;
    Form form;
    QDir().mkpath(home.Path() + "/kept");
    const struct {
        QString stored;
        QString opensIn;
    } cases[] = {
        {home.Path() + "/gone", home.Desktop()},
        {" \t" + home.Path() + "/kept\r\n", home.Path() + "/kept"},
        {WriteFile(home.Path() + "/a-file", "x"), home.Desktop()},
    };
    for (const auto& c : cases) {
        WriteSetting(kSettingsKey, "frmMainOpenPictureDialog1", c.stored);
        QString openedIn;
        EXPECT_FALSE(Choose(form.Dialog1, {}, &openedIn));
        EXPECT_EQ(openedIn, c.opensIn) << c.stored.toStdString();
    }
}

TEST(ExecuteImportDialog, NeedsNamedOwnerAndDialog) {
    TestHome home;
    QFileDialog orphan;
    orphan.setObjectName(QStringLiteral("OpenDialog1"));
    EXPECT_THROW(ExecuteImportDialog(orphan), std::logic_error);
    Form form;
    form.Dialog1.setObjectName(QString());
    EXPECT_THROW(ExecuteImportDialog(form.Dialog1), std::logic_error);
    EXPECT_EQ(ImportDialogValueName(form.Dialog2), "frmMainOpenPictureDialog2");
}

TEST(SetImportFilter, ShowsTheTextsAndMatchesWithoutCase) {
    TestHome home;
    Form form;
    const QString folder = home.Path() + "/mixed";
    for (const char* name : {"A.PNG", "b.png", "c.tif", "d.tiff", "e.txt", "f"})
        WriteFile(folder + "/" + name, "x");
    SetImportFilter(form.Dialog1, PictureDialogFilter());
    form.Dialog1.setDirectory(folder);
    form.Dialog1.show();

    auto* combo = form.Dialog1.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 11);
    EXPECT_EQ(combo->itemText(0),
              "All (*.bmp;*.gif;*.tga;*.tif;*.png;*.jpg;*.jpeg;*.pcx;*.ico;*.wmf)");
    EXPECT_EQ(combo->itemText(1), "Bitmaps (*.bmp)");
    EXPECT_EQ(combo->itemText(10), "Metafiles (*.wmf)");

    auto* model = form.Dialog1.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const auto listed = [&] {
        QStringList names;
        const QModelIndex parent = model->index(folder);
        for (int row = 0; row < model->rowCount(parent); ++row)
            names.append(model->index(row, 0, parent).data().toString());
        names.sort();
        return names;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed().size() == 3; }));
    EXPECT_EQ(listed(), QStringList({"A.PNG", "b.png", "c.tif"}));
}

TEST(PicturePreview, ShowsThePictureUnderTheCursor) {
    TestHome home;
    Form form;
    const QString folder = home.Path() + "/mixed";
    QImage wide(300, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    QDir().mkpath(folder);
    ASSERT_TRUE(wide.save(folder + "/wide.png"));
    WriteFile(folder + "/broken.png", "not a picture");
    AddPicturePreview(form.Dialog1);
    form.Dialog1.setDirectory(folder);
    form.Dialog1.show();
    auto* preview = form.Dialog1.findChild<QLabel*>(QStringLiteral("PicturePreview"));
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());

    auto* view = form.Dialog1.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    const auto click = [&](const QString& name) {
        QModelIndex index;
        const bool found = QTest::qWaitFor([&] {
            const QModelIndex root = view->rootIndex();
            for (int row = 0; row < view->model()->rowCount(root); ++row) {
                if (view->model()->index(row, 0, root).data().toString() == name)
                    index = view->model()->index(row, 0, root);
            }
            return index.isValid();
        });
        ASSERT_TRUE(found) << name.toStdString();
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    };
    click("wide.png");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->pixmap().isNull(); }));
    // Scaled to fit, keeping its proportions.
    EXPECT_EQ(preview->pixmap().size(), QSize(160, 53));
    click("broken.png");
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->pixmap().isNull(); }));
}

TEST(IsAlreadyImported, RefusesOnlyFilesInsideTheWorkingFolder) {
    TestHome home;
    const QString program = home.Path() + "/opt/z/";
    appFolders() = AppFolders::FromProgramFolder(program);
    const struct {
        QString file;
        bool inside;
    } cases[] = {
        {program + "Sounds/a.wav", true},
        {home.Path() + "/OPT/Z/sOUNDS/a.wav", true},
        {program + "a.wav", true},
        {program + "Pictures/Packets/x/deep.png", true},
        {home.Path() + "/opt/zz/a.wav", false},
        {home.Path() + "/opt/a.wav", false},
        {home.Path() + "/home/opt/z/Sounds/a.wav", false},
        {program + "Sounds/../../other/a.wav", false},
        {home.Path() + "/opt/other/../z/Sounds/a.wav", true},
    };
    for (const auto& c : cases) {
        bool result = false;
        const QStringList boxes = BoxesDuring([&] { result = IsAlreadyImported(program, c.file); });
        EXPECT_EQ(result, c.inside) << c.file.toStdString();
        EXPECT_EQ(boxes.size(), c.inside ? 1 : 0) << c.file.toStdString();
    }
    // The folder may be given without its separator.
    EXPECT_EQ(
        BoxesDuring([&] { IsAlreadyImported(home.Path() + "/opt/z", program + "a.wav"); }).size(),
        1);
    EXPECT_FALSE(IsAlreadyImported(QString(), program + "a.wav"));
}

TEST(IsAlreadyImported, TellsWhichFolderToBrowseOutside) {
    TestHome home;
    const QString program = home.Path() + "/opt/z/";
    appFolders() = AppFolders::FromProgramFolder(program);
    const QStringList boxes =
        BoxesDuring([&] { IsAlreadyImported(program, program + "Sounds/a.wav"); });
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first(), "Zorvane|You cannot import already imported files.\n\nYou must "
                             "browse outside the " +
                                 program +
                                 " working directory.\nThe file you try to import reside in "
                                 "the working directory mentioned above.");
}
