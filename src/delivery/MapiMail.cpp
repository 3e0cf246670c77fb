#include "delivery/MapiMail.h"

#include "app/gSite.h"

#include <QProcess>
#include <QStandardPaths>

QString MailSubject() {
    return QStringLiteral("A surprise for you...");
}

QString MakeMailBody() {
    QString body = QStringLiteral("Hi, I've attached a little surprise...\r\n\r\nBye ;)");
    body += QStringLiteral("\r\n").repeated(11);
    // The separator is the diaeresis, character A8 of the Western code page.
    body += QString(96, QChar(0x00A8));
    body += QStringLiteral("\r\n");
    body += QStringLiteral("You can find surprises & Zorvane on: ") + gSite::SiteHost() +
            QStringLiteral("/zorvane.php");
    return body;
}

QString MailConfirmText() {
    return QStringLiteral(
        "This will send your surprise with your default e-mail program.\r\n\r\n"
        "If you use a FireWall protection you must allow the Zorvane to connect to the "
        "Internet.\r\n"
        "However, you can send it as attachment with your online e-mail (save it to disk and\r\n"
        "attach it to your e-mail).\r\n\r\n"
        "Do you want to continue?");
}

QString MailErrorText() {
    return QStringLiteral("Error while trying to send email");
}

namespace {

void Call(const std::function<void()>& hook) {
    if (hook)
        hook();
}

// Enables the windows again however the hand-over ends.
class DisabledWindows {
public:
    explicit DisabledWindows(const MailHooks& hooks) : Hooks(hooks) {
        if (Hooks.EnableWindows)
            Hooks.EnableWindows(false);
    }
    ~DisabledWindows() {
        // Clicks and keys that queued up while the mail program had the
        // user's attention reach disabled windows and are dropped.
        Call(Hooks.ProcessEvents);
        if (Hooks.EnableWindows)
            Hooks.EnableWindows(true);
    }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

private:
    const MailHooks& Hooks;
};

} // namespace

int SendMapiMail(const MailHooks& hooks, const QString& address, const QString& subject,
                 const QString& body, const QStringList& attachments) {
    Call(hooks.ProcessEvents);
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        Call(hooks.ReportError);
        return kMailLogonFailure;
    }
    // Qt passes arguments as UTF-8; the body's separator is not ASCII.
    QStringList arguments = {QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                             QStringLiteral("--body"), body};
    for (const QString& file : attachments)
        arguments << QStringLiteral("--attach") << file;
    if (!address.isEmpty())
        arguments << address;

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(-1)) {
        Call(hooks.ReportError);
        return kMailLogonFailure;
    }
    {
        const DisabledWindows disabled(hooks);
        process.waitForFinished(-1);
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return kMailFailure;
    return process.exitCode();
}
