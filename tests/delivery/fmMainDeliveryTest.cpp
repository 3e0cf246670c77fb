#include "app/fmMain.h"

#include "app/gRegistry.h"
#include "app/gVars.h"
#include "build/BuildProcedure.h"
#include "delivery/MapiMail.h"
#include "delivery/WebLinks.h"
#include "dialogs/fmAbout.h"
#include "dialogs/fmOptions.h"
#include "support/TestSupport.h"
#include "MailRecorder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using testsupport::AnswerNextMessageBox;
using testsupport::AnswerNextModal;
using testsupport::ReadFile;
using testsupport::ScopedEnv;
using testsupport::TestHome;
using testsupport::WorkingFolder;
using testsupport::WriteFile;

namespace {

// Found before any test points PATH elsewhere.
const QString kPython = QStandardPaths::findExecutable("python3", {"/usr/bin", "/bin"});

// Entry names of a ZIP as Python's zipfile reads them.
QStringList ZipNames(const QString& archive) {
    QProcess python;
    python.start(kPython, {"-c",
                           "import json, sys, zipfile\n"
                           "print(json.dumps(zipfile.ZipFile(sys.argv[1]).namelist()))\n",
                           archive});
    python.waitForFinished();
    QStringList names;
    for (const auto& name : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        names << name.toString();
    return names;
}

// Answers every modal window that shows up while it lives: the first ones
// by pressing the buttons named in answers (after ticking the check box when
// the answer starts with "+"), the rest by closing them; all are recorded. A
// box nobody expected fails the test instead of hanging it.
class ModalWatch {
public:
    struct Seen {
        QString Class;
        QString Title;
        QString Text; // a message box's text
        QMessageBox::Icon Icon = QMessageBox::NoIcon;
    };

    explicit ModalWatch(QStringList answers = {}) : Answers(std::move(answers)) {
        QObject::connect(&Timer, &QTimer::timeout, [this] { Answer(); });
        Timer.start(10);
    }
    QList<Seen> Modals;
    QStringList Texts() const {
        QStringList texts;
        for (const Seen& seen : Modals)
            texts << seen.Text;
        return texts;
    }

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        Seen seen{modal->metaObject()->className(), modal->windowTitle(), {}, {}};
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.Text = box->text();
            seen.Icon = box->icon();
        }
        Modals << seen;
        QString answer = Answers.isEmpty() ? QString() : Answers.takeFirst();
        if (answer.startsWith('+')) {
            answer.remove(0, 1);
            if (auto* check = modal->findChild<QCheckBox*>())
                check->setChecked(true);
        }
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
            if (!answer.isEmpty() && button->text().remove('&') == answer) {
                button->click();
                return;
            }
        }
        modal->close();
    }

    QStringList Answers;
    QTimer Timer;
};

// A builder window in a working folder whose engine is a stand-in that
// records being started, with a real build of its surprise.
class DeliveryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const QString engine = WriteFile(
            Work.Path() + "Engines/Surprise.exe",
            QString("#!/bin/sh\necho started > '%1'\nexit 0\n").arg(StartedMarker()).toUtf8());
        QFile::setPermissions(engine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Picture(Work.Path() + "Pictures/Packets/Series/packet.png");
        Picture(Work.Path() + "Pictures/Surprises/Series/surprise.png");
        ASSERT_TRUE(Window.FormCreate());
        PreviousOpener = SetUrlOpener([this](const QUrl& url) { Opened << url.toString(); });
    }
    void TearDown() override {
        SetUrlOpener(PreviousOpener);
        Window.FormClose();
    }

    static void Picture(const QString& path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(120, 90, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(path));
    }

    QString StartedMarker() const { return Home.Path() + "/engine-started"; }

    // Builds the surprise with the current options, as the builder does.
    QString Build(const QString& customName = {}, bool compressed = true) {
        if (!customName.isEmpty())
            WriteSetting(kSettingsKey, "g2", customName);
        WriteSetting(kSettingsKey, "g1", compressed ? "T" : "F");
        BuilderState& state = builderState();
        ReadOptions(state);
        AppFolders& folders = appFolders();
        BuildInputs inputs;
        inputs.PacketPicture = folders.PacketsRoot + "Series/packet.png";
        inputs.SurprisePicture = folders.SurprisesRoot + "Series/surprise.png";
        inputs.OutputFileName = state.OutputFileName;
        inputs.EnginesFolder = folders.EnginesFolder;
        inputs.SoundsFolder = folders.SoundsFolder;
        inputs.TempRoot = folders.TempRoot;
        const BuildOutcome outcome = RunBuild(inputs);
        EXPECT_TRUE(outcome.Built);
        folders.BuildFolder = outcome.BuildFolder;
        state.Built = outcome.Built;
        Window.KeyState();
        return outcome.OutputPath;
    }

    TestHome Home;
    WorkingFolder Work;
    TfrmMain Window{Work.Path()};
    QStringList Opened;
    UrlOpener PreviousOpener;
};

struct SendCase {
    const char* name;
    void (TfrmMain::*send)();
    QString (TestHome::*folder)() const;
};

const SendCase kSendCases[] = {
    {"Desktop", &TfrmMain::ActSendToDesktopExecute, &TestHome::Desktop},
    {"My Documents", &TfrmMain::ActSendToMyDocumentsExecute, &TestHome::Documents},
};

} // namespace

TEST_F(DeliveryFixture, SendPlacesTheZipOrTheExecutable) {
    for (const SendCase& c : kSendCases) {
        const QString folder = (Home.*c.folder)();
        Build();
        (Window.*c.send)();
        EXPECT_EQ(ZipNames(folder + "/Surprise.zip"), QStringList({"Surprise.exe"})) << c.name;
        EXPECT_FALSE(QFileInfo::exists(folder + "/Surprise.exe")) << c.name;

        const QString built = Build({}, false);
        (Window.*c.send)();
        EXPECT_EQ(ReadFile(folder + "/Surprise.exe"), ReadFile(built)) << c.name;
        EXPECT_TRUE(QFileInfo(folder + "/Surprise.exe").isExecutable()) << c.name;
    }
}

TEST_F(DeliveryFixture, SecondSendAsksAndNoLeavesTheFirstFile) {
    for (const SendCase& c : kSendCases) {
        const QString target = (Home.*c.folder)() + "/Surprise.zip";
        Build();
        (Window.*c.send)();
        ASSERT_TRUE(QFileInfo::exists(target)) << c.name;
        const QDateTime past = QDateTime::currentDateTime().addDays(-3);
        {
            QFile file(target);
            file.open(QIODevice::ReadWrite);
            file.setFileTime(past, QFileDevice::FileModificationTime);
        }
        const QByteArray first = ReadFile(target);

        Build(); // a new build: its archive differs in its build time
        QString question;
        AnswerNextMessageBox("No", &question);
        (Window.*c.send)();
        EXPECT_EQ(question, target + " already exists.\nDo you want to replace it?") << c.name;
        EXPECT_EQ(ReadFile(target), first) << c.name;
        EXPECT_EQ(QFileInfo(target).lastModified(), past) << c.name;

        AnswerNextMessageBox("Yes");
        (Window.*c.send)();
        EXPECT_NE(QFileInfo(target).lastModified(), past) << c.name;
        EXPECT_EQ(ZipNames(target), QStringList({"Surprise.exe"})) << c.name;
    }
}

TEST_F(DeliveryFixture, MissingFolderIsReportedFirstEvenWithNothingBuilt) {
    const std::pair<const SendCase*, const char*> cases[] = {
        {&kSendCases[0], "Desktop folder not found, use the save as method."},
        {&kSendCases[1], "My Documents folder not found, use Save As method."},
    };
    for (const auto& [c, message] : cases) {
        ASSERT_TRUE(QDir((Home.*c->folder)()).removeRecursively());
        ModalWatch watch;
        (Window.*c->send)();
        EXPECT_EQ(watch.Texts(), QStringList({message})) << c->name;
    }
}

TEST_F(DeliveryFixture, NothingBuiltNothingHappens) {
    ModalWatch watch;
    for (const SendCase& c : kSendCases)
        (Window.*c.send)();
    Window.ActSaveAsExecute();
    Window.ActSendToMailRecipientExecute();
    Window.ActPreviewExecute();
    EXPECT_EQ(watch.Modals.size(), 0);
    EXPECT_EQ(QDir(Home.Desktop()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(Home.Documents()).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(QFileInfo::exists(StartedMarker()));
}

TEST_F(DeliveryFixture, CustomNameAndRepeatedDelivery) {
    Build("Birthday");
    Window.ActSendToDesktopExecute();
    EXPECT_EQ(ZipNames(Home.Desktop() + "/Birthday.zip"), QStringList({"Birthday.exe"}));
    AnswerNextMessageBox("Yes");
    Window.ActSendToDesktopExecute();
    Window.ActSendToMyDocumentsExecute();
    // The build folder's archive is updated in place: still one entry.
    EXPECT_EQ(ZipNames(appFolders().BuildFolder + "Birthday.zip"), QStringList({"Birthday.exe"}));
    EXPECT_EQ(ZipNames(Home.Desktop() + "/Birthday.zip"), QStringList({"Birthday.exe"}));
}

TEST_F(DeliveryFixture, PreviewRunsTheExecutableEvenWhenCompressed) {
    Build();
    ASSERT_TRUE(builderState().CompressedDelivery);
    Window.ActPreviewExecute();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(StartedMarker()); }, 5000));
    EXPECT_FALSE(QFileInfo::exists(appFolders().BuildFolder + "Surprise.zip"))
        << "preview delivers nothing";
}

TEST_F(DeliveryFixture, SaveAsProposesTheNameAndOnlyItsFilter) {
    struct Case {
        bool compressed;
        const char* name;
        const char* filter;
        const char* suffix;
    };
    const Case cases[] = {
        {true, "Surprise.zip", "Zip files (*.zip)", "zip"},
        {false, "Surprise.exe", "Executable files (*.exe)", "exe"},
    };
    for (const Case& c : cases) {
        Build({}, c.compressed);
        const QString chosen = Home.Path() + "/saved/" + c.name;
        QDir().mkpath(Home.Path() + "/saved");
        QStringList filters;
        QString proposed;
        QString suffix;
        bool confirmsOverwrite = false;
        AnswerNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
                proposed = edit->text();
            dialog->selectFile(chosen);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        Window.ActSaveAsExecute();
        EXPECT_EQ(filters, QStringList({c.filter})) << c.name;
        EXPECT_EQ(proposed, c.name);
        EXPECT_EQ(suffix, c.suffix);
        EXPECT_TRUE(confirmsOverwrite);
        EXPECT_EQ(ReadFile(chosen), ReadFile(appFolders().BuildFolder + c.name)) << c.name;
    }
    // Cancelled: nothing is written.
    Build();
    AnswerNextModal([](QWidget* modal) { modal->close(); });
    Window.ActSaveAsExecute();
    EXPECT_EQ(QDir(Home.Path() + "/saved").entryList(QDir::Files),
              QStringList({"Surprise.exe", "Surprise.zip"}));
}

TEST_F(DeliveryFixture, OptionsThroughTheWindow) {
    Build();
    ASSERT_TRUE(builderState().Built);
    // Unchanged name: the build stays valid.
    AnswerNextModal([](QWidget* modal) { qobject_cast<TfrmOptions*>(modal)->btnOk->click(); });
    Window.mniOptionsClick();
    EXPECT_TRUE(builderState().Built);

    AnswerNextModal([](QWidget* modal) {
        auto* options = qobject_cast<TfrmOptions*>(modal);
        options->edtSurpriseFileName->setText("  Birthday  ");
        options->btnOk->click();
    });
    Window.mniOptionsClick();
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), "Birthday");
    EXPECT_EQ(builderState().OutputFileName, "Birthday.exe");
    EXPECT_FALSE(builderState().Built);
}

TEST_F(DeliveryFixture, HelpAndMoreMenusOpenTheSite) {
    const std::pair<QAction * TfrmMain::*, const char*> cases[] = {
        {&TfrmMain::Programhelp1, "http://zorvane.example.org/zorvane.php#help"},
        {&TfrmMain::FAQ1, "http://zorvane.example.org/zorvane.php#faq"},
        {&TfrmMain::Homepage1, "http://zorvane.example.org/zorvane.php"},
        {&TfrmMain::Checkforupdate1, "http://zorvane.example.org/zorvane.php"},
        {&TfrmMain::MoreQUELVproducts1, "http://zorvane.example.org/quelv-software-products.php"},
        {&TfrmMain::GetNewsletter1, "http://zorvane.example.org/product-newsletter-register.php"},
        {&TfrmMain::SellthisProgramandEarnMoney1, "http://zorvane.example.org/affiliate.php"},
        {&TfrmMain::ellaFriendSendemail1,
         "mailto:?subject=Zorvane...&Body=http://zorvane.example.org/zorvane.php"},
    };
    for (const auto& [item, address] : cases) {
        Opened.clear();
        (Window.*item)->trigger();
        EXPECT_EQ(Opened, QStringList({address})) << (Window.*item)->text().toStdString();
    }
    Opened.clear();
    Window.show();
    QTest::mouseClick(Window.Image2, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(Opened, QStringList({"http://zorvane.example.org/zorvane.php"}));

    bool aboutShown = false;
    AnswerNextModal([&aboutShown](QWidget* modal) {
        aboutShown = qobject_cast<TfrmAbout*>(modal) != nullptr;
        modal->close();
    });
    Window.About2->trigger();
    EXPECT_TRUE(aboutShown);
}

TEST_F(DeliveryFixture, MailCarriesTheDeliveryFileAsItsOnlyAttachment) {
    MailPath path;
    path.InstallRecorder();
    // A window that was disabled before the hand-over stays disabled after it.
    QWidget otherWindow;
    otherWindow.setEnabled(false);
    otherWindow.show();
    Window.show();

    Build();
    {
        ModalWatch watch({"Yes"});
        Window.ActSendToMailRecipientExecute();
        ASSERT_EQ(watch.Modals.size(), 1);
        EXPECT_EQ(watch.Modals[0].Class, "TfrmMsg");
        EXPECT_EQ(watch.Modals[0].Title, "Zorvane");
    }
    const QString attachment = appFolders().BuildFolder + "Surprise.zip";
    EXPECT_EQ(path.RecordedArguments(),
              QStringList({"--utf8", "--subject", "A surprise for you...", "--body", MakeMailBody(),
                           "--attach", attachment}));
    EXPECT_EQ(ZipNames(attachment), QStringList({"Surprise.exe"})) << "kept for the mail program";
    EXPECT_TRUE(Window.isEnabled());
    EXPECT_FALSE(otherWindow.isEnabled());

    Build({}, false);
    ModalWatch again({"Yes"});
    Window.ActSendToMailRecipientExecute();
    EXPECT_EQ(path.RecordedArguments().last(), appFolders().BuildFolder + "Surprise.exe");
}

TEST_F(DeliveryFixture, DeclinedMailSendsNothing) {
    MailPath path;
    path.InstallRecorder();
    Build();
    ModalWatch watch({"No"});
    Window.ActSendToMailRecipientExecute();
    EXPECT_EQ(watch.Modals.size(), 1);
    EXPECT_FALSE(path.Ran());
    EXPECT_FALSE(QFileInfo::exists(appFolders().BuildFolder + "Surprise.zip"));
}

TEST_F(DeliveryFixture, NoMailProgramShowsTheErrorBoxOnly) {
    MailPath path; // PATH without xdg-email
    Build();
    ModalWatch watch({"Yes"});
    Window.ActSendToMailRecipientExecute();
    ASSERT_EQ(watch.Modals.size(), 2);
    EXPECT_EQ(watch.Modals[1].Text, "Error while trying to send email");
    EXPECT_EQ(watch.Modals[1].Title, "Error");
    EXPECT_EQ(watch.Modals[1].Icon, QMessageBox::Critical);
    EXPECT_TRUE(Window.isEnabled());
}

TEST_F(DeliveryFixture, SilencedConfirmationGoesStraightThrough) {
    MailPath path;
    path.InstallRecorder();
    Build();
    {
        ModalWatch watch({"+Yes"});
        Window.ActSendToMailRecipientExecute();
        EXPECT_EQ(watch.Modals.size(), 1);
    }
    EXPECT_EQ(ReadSetting(kFlagsKey, "MsgAllowFireWall"), "T");
    ModalWatch watch;
    Window.ActSendToMailRecipientExecute();
    EXPECT_EQ(watch.Modals.size(), 0);
    EXPECT_EQ(path.Runs(), 2);
}
