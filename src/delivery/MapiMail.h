#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The hand-over of a built surprise to the user's mail program, through
// xdg-email: a new message with the attachment, the user picks the recipient
// and sends it in the mail program's own window.

QString MailSubject();     // "A surprise for you..."
QString MakeMailBody();    // with "\r\n" line breaks
QString MailConfirmText(); // the question before sending, "\r\n" line breaks
constexpr int kMailConfirmHeight = 195;
QString MailErrorText(); // "Error while trying to send email"

// Result codes as the messaging interface has them.
constexpr int kMailSuccess = 0;
constexpr int kMailFailure = 2;      // the mail program failed or crashed
constexpr int kMailLogonFailure = 3; // no mail program could be started

// What the window around the hand-over provides.
struct MailHooks {
    std::function<void()> ProcessEvents;             // let pending window messages run
    std::function<void(bool enabled)> EnableWindows; // all of the application's windows
    std::function<void()> ReportError;               // show MailErrorText() as an error box
};

// Starts xdg-email (looked up on PATH) with the subject, the body, one
// --attach per attachment in order and, when address is not empty, the
// address as recipient, and waits for it with the windows disabled. When it
// cannot be started, reports the error and returns kMailLogonFailure;
// otherwise its exit code. The attachments stay where they are: some mail
// programs read them only when the message is sent.
int SendMapiMail(const MailHooks& hooks, const QString& address, const QString& subject,
                 const QString& body, const QStringList& attachments);
