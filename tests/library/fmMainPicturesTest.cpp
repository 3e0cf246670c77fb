#include "app/fmMain.h"

#include "app/fmMainWidgets.h"
#include "app/gPictureLists.h"
#include "app/gRegistry.h"
#include "app/gVars.h"
#include "library/PictureImport.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using testsupport::AnswerNextMessageBox;
using testsupport::AnswerNextModal;
using testsupport::ReadFile;
using testsupport::TestHome;
using testsupport::WorkingFolder;
using testsupport::WriteFile;

namespace {

QString WritePicture(const QString& path, QRgb colour = qRgb(200, 30, 30)) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(120, 100, QImage::Format_RGB32);
    image.fill(colour);
    // Written in the format its extension names, so that the lists can show it.
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (!QList<QByteArray>({"bmp", "png", "jpg", "jpeg", "tif"}).contains(format))
        format = "png";
    if (!image.save(path, format.constData()))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The files of a folder, sorted.
QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The builder in a fresh working folder, with its own home.
struct Builder {
    TestHome Home;
    WorkingFolder Work;
    std::unique_ptr<TfrmMain> Window;

    QString Packets() const { return Work.Path() + "Pictures/Packets/"; }
    QString Surprises() const { return Work.Path() + "Pictures/Surprises/"; }

    TfrmMain& Start() {
        Window = std::make_unique<TfrmMain>(Work.Path());
        if (!Window->FormCreate())
            qFatal("the builder did not start");
        Window->show();
        return *Window;
    }
};

// Chooses fileName in the next open dialog, as a person enters it, and
// notes the folder the dialog opened in; cancels when fileName is empty.
void AnswerOpenDialog(const QString& fileName, QString* openedIn = nullptr) {
    AnswerNextModal([fileName, openedIn](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        if (openedIn)
            *openedIn = dialog->directory().absolutePath();
        if (fileName.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(fileName);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

// A drop from the file manager: enter, move and drop on the list's viewport.
bool DropFiles(QListWidget* list, const QStringList& files) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    mime.setUrls(urls);
    QWidget* viewport = list->viewport();
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    return drop.isAccepted();
}

const QRegularExpression kImportedName(QStringLiteral("^\\d{15}(\\.[^./]*)?$"));

} // namespace

TEST(PictureImportCommand, IntoARootWithoutSeriesMakesCustomAndSelectsThePicture) {
    Builder b;
    WritePicture(b.Surprises() + "Birthday/cake.png");
    TfrmMain& window = b.Start();
    const QString source = WritePicture(b.Home.Path() + "/camera/Holiday.PNG");
    builderState().Built = true;
    ASSERT_EQ(window.lbPacketsSeries->count(), 0);
    ASSERT_FALSE(window.ActRemovePacketPicture->isEnabled());

    AnswerOpenDialog(source);
    window.ActImportPacketPicture->trigger();

    ASSERT_EQ(ItemStrings(window.lbPacketsSeries), QStringList{"Custom"});
    EXPECT_EQ(ItemIndex(window.lbPacketsSeries), 0);
    const QStringList files = FilesIn(b.Packets() + "Custom");
    ASSERT_EQ(files.size(), 1);
    // The extension keeps its letter case.
    EXPECT_TRUE(QRegularExpression("^\\d{15}\\.PNG$").match(files.first()).hasMatch())
        << files.first().toStdString();
    EXPECT_EQ(ReadFile(b.Packets() + "Custom/" + files.first()), ReadFile(source));
    EXPECT_EQ(ItemStrings(window.lbPackets), QStringList{b.Packets() + "Custom/" + files.first()});
    EXPECT_EQ(ItemIndex(window.lbPackets), 0);
    EXPECT_EQ(window.imgPackets.size(), 1);
    EXPECT_FALSE(builderState().Built);
    EXPECT_TRUE(window.ActRemovePacketPicture->isEnabled());
    EXPECT_TRUE(window.ActModifyPacketPicture->isEnabled());
    EXPECT_EQ(ReadSetting(kSettingsKey, "frmMainOpenPictureDialog1"), b.Home.Path() + "/camera");
    // The other library is untouched.
    EXPECT_EQ(FilesIn(b.Surprises() + "Birthday"), QStringList{"cake.png"});
    EXPECT_EQ(ReadSetting(kSettingsKey, "frmMainOpenPictureDialog2"), "");
}

TEST(PictureImportCommand, EachDialogOpensWhereItWasLastUsed) {
    Builder b;
    WritePicture(b.Packets() + "alpha/a.png");
    WritePicture(b.Surprises() + "alpha/a.png");
    TfrmMain& window = b.Start();
    const QString folder = b.Home.Path() + "/mine";
    WritePicture(folder + "/gift.bmp");
    WriteSetting(kSettingsKey, "frmMainOpenPictureDialog2", folder);
    WriteSetting(kSettingsKey, "frmMainOpenPictureDialog1", b.Home.Path() + "/vanished");

    // "gift" without extension finds gift.bmp: the dialogs' default extension.
    QString openedIn;
    AnswerOpenDialog(folder + "/gift", &openedIn);
    window.ActImportSurprisePicture->trigger();
    EXPECT_EQ(openedIn, folder);
    EXPECT_EQ(window.lbSurprises->count(), 2);
    EXPECT_TRUE(window.lbSurprises->currentItem()->text().endsWith(".bmp"));

    AnswerOpenDialog(QString(), &openedIn);
    window.ActImportPacketPicture->trigger();
    EXPECT_EQ(openedIn, b.Home.Desktop());
    EXPECT_EQ(window.lbPackets->count(), 1);
    EXPECT_EQ(ReadSetting(kSettingsKey, "frmMainOpenPictureDialog1"), b.Home.Path() + "/vanished");
}

TEST(PictureDrops, TakeThePicturesOfADropInOrder) {
    Builder b;
    WritePicture(b.Packets() + "alpha/first.png");
    TfrmMain& window = b.Start();
    const QString in = b.Home.Path() + "/in/";
    const QString one = WritePicture(in + "one.png", qRgb(10, 200, 10));
    const QString two = WritePicture(in + "two.png", qRgb(10, 10, 200));
    const QString note = WriteFile(in + "note.txt", "not a picture");

    // Every name the clock could give during the drop is taken already, so
    // both pictures meet a clash, as two pictures in one millisecond do.
    const QDateTime now = QDateTime::currentDateTime();
    for (int ms = 0; ms < 1500; ++ms)
        WriteFile(b.Packets() + "alpha/" + ImportTimeStamp(now.addMSecs(ms)) + ".png", "");

    builderState().Built = true;
    ASSERT_TRUE(DropFiles(window.lbPackets, {note, one, two}));
    ASSERT_LT(now.msecsTo(QDateTime::currentDateTime()), 1500) << "the drop was too slow";

    const QStringList items = ItemStrings(window.lbPackets);
    ASSERT_EQ(items.size(), 3);
    QStringList imported;
    for (const QString& item : items) {
        if (kImportedName.match(QFileInfo(item).fileName()).hasMatch())
            imported.append(item);
    }
    ASSERT_EQ(imported.size(), 2);
    EXPECT_NE(imported.at(0), imported.at(1));
    const int last = window.lbPackets->currentRow();
    ASSERT_GE(last, 0);
    EXPECT_EQ(ReadFile(items.at(last)), ReadFile(two));
    EXPECT_EQ(ItemIndex(window.lbPackets), last);
    EXPECT_FALSE(builderState().Built);
    // Both went past the taken names; nothing was replaced.
    EXPECT_EQ(FilesIn(b.Packets() + "alpha").size(), 1500u + 3u);
    for (const QString& item : imported)
        EXPECT_FALSE(ReadFile(item).isEmpty()) << item.toStdString();
}

TEST(PictureDrops, FilterByExtension) {
    Builder b;
    WritePicture(b.Surprises() + "alpha/first.png");
    TfrmMain& window = b.Start();
    const QString in = b.Home.Path() + "/in/";
    const QStringList dropped = {
        WritePicture(in + "scan.tiff"), WritePicture(in + "noext"),
        WritePicture(in + "old.jpe"),   WritePicture(in + "scan.tif"),
        WritePicture(in + "Photo.JPG"),
    };
    QDir().mkpath(in + "folder.png");
    ASSERT_TRUE(DropFiles(window.lbSurprises,
                          dropped + QStringList{in + "folder.png", in + "missing.png"}));

    QStringList extensions;
    for (const QString& name : FilesIn(b.Surprises() + "alpha"))
        extensions.append(FileExtension(name));
    extensions.sort();
    EXPECT_EQ(extensions, QStringList({".JPG", ".png", ".tif"}));
    EXPECT_EQ(QDir(b.Surprises() + "alpha").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 0);
}

TEST(PictureDrops, WaitWhileABuildRuns) {
    Builder b;
    const QString packet = WritePicture(b.Packets() + "alpha/wrap.png");
    WritePicture(b.Surprises() + "alpha/inside.png");
    TfrmMain& window = b.Start();
    const QString dropped = WritePicture(b.Home.Path() + "/in/one.png");
    builderState().Building = true;
    DropFiles(window.lbPackets, {dropped});
    window.lbSurprisesDragDrop(window.lbPackets);
    builderState().Building = false;
    EXPECT_EQ(FilesIn(b.Packets() + "alpha"), QStringList{"wrap.png"});
    EXPECT_EQ(FilesIn(b.Surprises() + "alpha"), QStringList{"inside.png"});
}

TEST(PictureDrops, FailedCopyChangesNothing) {
    Builder b;
    WritePicture(b.Packets() + "alpha/first.png");
    TfrmMain& window = b.Start();
    builderState().Built = true;
    window.lbPackets->clearSelection();
    ASSERT_TRUE(DropFiles(window.lbPackets, {b.Home.Path() + "/gone.png"}));
    EXPECT_TRUE(builderState().Built);
    EXPECT_EQ(ItemIndex(window.lbPackets), -1);
    EXPECT_EQ(FilesIn(b.Packets() + "alpha"), QStringList{"first.png"});
}

TEST(PictureDrags, CopyOntoTheOtherListOnly) {
    Builder b;
    const QString packet = WritePicture(b.Packets() + "alpha/wrap.png");
    WritePicture(b.Surprises() + "Beta/inside.png");
    WritePicture(b.Surprises() + "gamma/other.png");
    TfrmMain& window = b.Start();
    ASSERT_EQ(ItemStrings(window.lbSurprisesSeries), QStringList({"Beta", "gamma"}));

    // Over its own list, or from another widget, a drag is refused.
    EXPECT_FALSE(window.lbPacketsDragOver(window.lbPackets));
    EXPECT_FALSE(window.lbPacketsDragOver(window.lbSurprisesSeries));
    EXPECT_FALSE(window.lbSurprisesDragOver(window.lbSurprises));
    EXPECT_TRUE(window.lbSurprisesDragOver(window.lbPackets));
    EXPECT_TRUE(window.lbPacketsDragOver(window.lbSurprises));
    window.lbPacketsDragDrop(window.lbPackets);
    EXPECT_EQ(FilesIn(b.Packets() + "alpha"), QStringList{"wrap.png"});

    window.lbSurprisesDragDrop(window.lbPackets);
    const QStringList beta = FilesIn(b.Surprises() + "Beta");
    ASSERT_EQ(beta.size(), 2);
    EXPECT_EQ(window.lbSurprises->count(), 2);
    EXPECT_TRUE(
        kImportedName.match(window.lbSurprises->currentItem()->text().section('/', -1)).hasMatch());
    EXPECT_EQ(ReadFile(window.lbSurprises->currentItem()->text()), ReadFile(packet));
    EXPECT_EQ(FilesIn(b.Packets() + "alpha"), QStringList{"wrap.png"});
    EXPECT_EQ(ItemStrings(window.lbPackets), QStringList{packet});
}

TEST(PictureRemoval, SelectsThePictureBeforeTheRemovedOne) {
    const struct {
        int pictures;
        int removed;
        int selectedAfter;
    } cases[] = {{3, 0, 0}, {3, 2, 1}, {3, 1, 0}, {1, 0, -1}};
    for (const auto& c : cases) {
        Builder b;
        for (int i = 0; i < c.pictures; ++i)
            WritePicture(b.Packets() + QString("alpha/p%1.png").arg(i));
        TfrmMain& window = b.Start();
        SetItemIndex(window.lbPackets, c.removed);
        const QStringList before = ItemStrings(window.lbPackets);
        builderState().Built = true;

        QString asked;
        AnswerNextModal([&asked](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            asked = box->windowTitle() + "|" + box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Question);
            box->button(QMessageBox::Yes)->click();
        });
        window.ActRemovePacketPicture->trigger();

        EXPECT_EQ(asked, "Confirm|Are you sure you want to remove the selected item?");
        QStringList expected = before;
        expected.removeAt(c.removed);
        EXPECT_EQ(ItemStrings(window.lbPackets), expected) << c.removed;
        EXPECT_FALSE(QFileInfo::exists(before.at(c.removed)));
        EXPECT_EQ(ItemIndex(window.lbPackets), c.selectedAfter) << c.removed;
        EXPECT_FALSE(builderState().Built);
        EXPECT_EQ(window.ActRemovePacketPicture->isEnabled(), c.selectedAfter >= 0);
        EXPECT_EQ(window.ActModifyPacketPicture->isEnabled(), c.selectedAfter >= 0);
        // The series stays, even when empty.
        EXPECT_TRUE(QFileInfo(b.Packets() + "alpha").isDir());
    }
}

TEST(PictureRemoval, NoOrAFailedDeletionLeavesEverything) {
    Builder b;
    WritePicture(b.Surprises() + "alpha/a.png");
    WritePicture(b.Surprises() + "alpha/b.png");
    TfrmMain& window = b.Start();
    SetItemIndex(window.lbSurprises, 1);
    const QStringList before = ItemStrings(window.lbSurprises);
    builderState().Built = true;

    AnswerNextMessageBox("No");
    window.ActRemoveSurprisePicture->trigger();
    EXPECT_EQ(ItemStrings(window.lbSurprises), before);
    EXPECT_EQ(ItemIndex(window.lbSurprises), 1);
    EXPECT_TRUE(QFileInfo::exists(before.at(1)));
    EXPECT_TRUE(builderState().Built);

    // Gone behind the program's back: silent, and the lists stay as they were.
    QFile::remove(before.at(1));
    AnswerNextMessageBox("Yes");
    window.ActRemoveSurprisePicture->trigger();
    EXPECT_EQ(ItemStrings(window.lbSurprises), before);
    EXPECT_TRUE(builderState().Built);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
