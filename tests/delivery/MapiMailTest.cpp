#include "delivery/MapiMail.h"
#include "support/TestSupport.h"
#include "MailRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::WriteFile;

namespace {

struct HookLog {
    QStringList Calls;
    MailHooks Hooks() {
        MailHooks hooks;
        hooks.ProcessEvents = [this] { Calls << "events"; };
        hooks.EnableWindows = [this](bool on) { Calls << (on ? "enable" : "disable"); };
        hooks.ReportError = [this] { Calls << "error"; };
        return hooks;
    }
};

} // namespace

TEST(MakeMailBody, IsTheDesignedText) {
    const QString separator(96, QChar(0x00A8));
    const QString expected =
        "Hi, I've attached a little surprise...\r\n"
        "\r\n"
        "Bye ;)"
        "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n" +
        separator + "\r\nYou can find surprises & Zorvane on: " + "zorvane.example.org/zorvane.php";
    EXPECT_EQ(MakeMailBody(), expected);
    // The counts the design insists on, read independently.
    const QString body = MakeMailBody();
    const qsizetype bye = body.indexOf("Bye ;)") + 6;
    EXPECT_EQ(body.mid(bye, 22), QString("\r\n").repeated(11));
    EXPECT_EQ(body.mid(bye + 22, 96), separator);
    EXPECT_EQ(body.mid(bye + 22 + 96, 2), "\r\n");
}

TEST(SendMapiMail, HandsSubjectBodyAndAttachmentToXdgEmail) {
    MailPath path;
    path.InstallRecorder();
    QTemporaryDir dir;
    const QString attachment = WriteFile(dir.path() + "/Surprise.zip", "PK");
    HookLog log;

    const int result =
        SendMapiMail(log.Hooks(), QString(), MailSubject(), MakeMailBody(), {attachment});

    EXPECT_EQ(result, kMailSuccess);
    EXPECT_EQ(path.RecordedArguments(),
              QStringList({"--utf8", "--subject", "A surprise for you...", "--body", MakeMailBody(),
                           "--attach", attachment}));
    // Windows are disabled only while the mail program runs, and queued
    // input is let through to the disabled windows before they come back.
    EXPECT_EQ(log.Calls, QStringList({"events", "disable", "events", "enable"}));
    EXPECT_TRUE(QFileInfo::exists(attachment)) << "some mail programs read it later";
}

TEST(SendMapiMail, AddressBecomesTheRecipient) {
    MailPath path;
    path.InstallRecorder();
    HookLog log;
    SendMapiMail(log.Hooks(), "friend@example.org", "S", "B", {"/a/one", "/b/two"});
    EXPECT_EQ(path.RecordedArguments(),
              QStringList({"--utf8", "--subject", "S", "--body", "B", "--attach", "/a/one",
                           "--attach", "/b/two", "friend@example.org"}));
}

TEST(SendMapiMail, MailProgramFailureIsReturnedNotReported) {
    MailPath path;
    path.InstallRecorder(5);
    HookLog log;
    EXPECT_EQ(SendMapiMail(log.Hooks(), {}, "S", "B", {}), 5);
    EXPECT_FALSE(log.Calls.contains("error"));
    EXPECT_EQ(log.Calls.last(), "enable");
}

TEST(SendMapiMail, NoMailProgramReportsTheErrorOnly) {
    struct Case {
        const char* name;
        QByteArray script; // empty: no xdg-email at all
        bool executable;
    };
    const Case cases[] = {
        {"missing", {}, false},
        {"not executable", "#!/bin/sh\nexit 0\n", false},
        {"cannot start", "#!/nonexistent/interpreter\n", true},
    };
    for (const Case& c : cases) {
        MailPath path;
        if (!c.script.isEmpty())
            path.Install(c.script, c.executable);
        HookLog log;
        EXPECT_EQ(SendMapiMail(log.Hooks(), {}, "S", "B", {"/x"}), kMailLogonFailure) << c.name;
        EXPECT_EQ(log.Calls, QStringList({"events", "error"})) << c.name;
    }
}
