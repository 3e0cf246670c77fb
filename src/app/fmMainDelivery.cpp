// The builder's delivery commands, the Help and More menus and the title link.
#include "app/fmMain.h"

#include "app/gRegistry.h"
#include "app/gSite.h"
#include "app/gUtils.h"
#include "app/gVars.h"
#include "delivery/Delivery.h"
#include "delivery/MapiMail.h"
#include "delivery/WebLinks.h"
#include "dialogs/fmAbout.h"
#include "dialogs/fmMsg.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include <memory>
#include <vector>

namespace {

QString BuiltFile() {
    return BuiltFilePath(appFolders(), builderState());
}

// Message texts carry "\r\n" line breaks; Qt's boxes break on "\n".
QString DisplayText(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void ShowPlainMessage(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), DisplayText(text),
                    QMessageBox::Ok, owner);
    box.exec();
}

bool AskReplace(QWidget* owner, const QString& target) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                    DisplayText(ReplaceQuestionText(target)), QMessageBox::Yes | QMessageBox::No,
                    owner);
    return box.exec() == QMessageBox::Yes;
}

// The delivery file when there is a built surprise and its delivery file
// could be made; empty otherwise, and the command ends silently.
QString ReadyDeliveryFile() {
    if (!QFileInfo(BuiltFile()).isFile())
        return {};
    QString delivery;
    NormalOrCompressed(delivery);
    return QFileInfo(delivery).isFile() ? delivery : QString();
}

// Send to Desktop and Send to My Documents. The folder lookup comes first,
// even when nothing has been built.
void SendToFolder(QWidget* owner, const QString& folder, const QString& notFoundText) {
    if (folder.isEmpty()) {
        ShowPlainMessage(owner, notFoundText);
        return;
    }
    const QString delivery = ReadyDeliveryFile();
    if (delivery.isEmpty())
        return;
    const QString target = IncludeBackslash(folder) + QFileInfo(delivery).fileName();
    if (QFileInfo::exists(target) && !AskReplace(owner, target))
        return;
    CopyDeliveryFile(delivery, target); // a failed copy is not reported
}

// Where the save dialog opens: the folder of the last Save As of this run,
// else the documents folder, else home.
QString& LastSaveFolder() {
    static QString folder;
    return folder;
}

QString SaveDialogFolder() {
    if (!LastSaveFolder().isEmpty() && QFileInfo(LastSaveFolder()).isDir())
        return LastSaveFolder();
    const QString documents = GetDocumentsFolder();
    return documents.isEmpty() ? QDir::homePath() : documents;
}

MailHooks WindowMailHooks(QWidget* owner) {
    // The windows this hand-over disabled, so that only they are enabled again.
    auto disabled = std::make_shared<std::vector<QPointer<QWidget>>>();
    MailHooks hooks;
    hooks.ProcessEvents = [] { QCoreApplication::processEvents(); };
    hooks.EnableWindows = [disabled](bool enabled) {
        if (!enabled) {
            const QWidgetList windows = QApplication::topLevelWidgets();
            for (QWidget* window : windows) {
                if (window->isEnabled()) {
                    window->setEnabled(false);
                    disabled->emplace_back(window);
                }
            }
            return;
        }
        for (const QPointer<QWidget>& window : *disabled)
            if (window)
                window->setEnabled(true);
        disabled->clear();
    };
    hooks.ReportError = [owner] {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), MailErrorText(),
                        QMessageBox::Ok, owner);
        box.exec();
    };
    return hooks;
}

} // namespace

void TfrmMain::ActPreviewExecute() {
    // The executable runs even when compressed delivery is on.
    PreviewBuiltFile(BuiltFile());
}

void TfrmMain::ActSaveAsExecute() {
    const QString delivery = ReadyDeliveryFile();
    if (delivery.isEmpty())
        return;
    const SaveAsProposal proposal = ProposeSaveAs(delivery, builderState().CompressedDelivery);
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(proposal.NameFilter);
    dialog.setDefaultSuffix(proposal.DefaultSuffix);
    dialog.setDirectory(SaveDialogFolder());
    dialog.selectFile(proposal.FileName);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString chosen = dialog.selectedFiles().value(0);
    if (chosen.isEmpty())
        return;
    LastSaveFolder() = QFileInfo(chosen).absolutePath();
    // The dialog has asked before replacing; a failed copy is not reported.
    CopyDeliveryFile(delivery, chosen);
}

void TfrmMain::ActSendToDesktopExecute() {
    SendToFolder(this, GetDesktopFolder(), DesktopNotFoundText());
}

void TfrmMain::ActSendToMyDocumentsExecute() {
    SendToFolder(this, GetDocumentsFolder(), DocumentsNotFoundText());
}

void TfrmMain::ActSendToMailRecipientExecute() {
    if (!QFileInfo(BuiltFile()).isFile())
        return;
    if (ShowMsg(kMailConfirmHeight, MailConfirmText(), MsgButton::Yes | MsgButton::No,
                MsgKind::Confirmation, kFlagsKey, QStringLiteral("MsgAllowFireWall"),
                QStringLiteral("Zorvane")) != kMsgYes)
        return;
    QString delivery;
    NormalOrCompressed(delivery);
    if (!QFileInfo(delivery).isFile())
        return;
    SendMapiMail(WindowMailHooks(this), QString(), MailSubject(), MakeMailBody(), {delivery});
}

void TfrmMain::Programhelp1Click() {
    OpenAddress(gSite::HelpPage());
}

void TfrmMain::FAQ1Click() {
    OpenAddress(gSite::FaqPage());
}

void TfrmMain::Homepage1Click() {
    OpenAddress(gSite::HomePage());
}

void TfrmMain::Checkforupdate1Click() {
    OpenAddress(gSite::HomePage());
}

void TfrmMain::About2Click() {
    ShowAbout(this);
}

void TfrmMain::MoreQUELVproducts1Click() {
    OpenAddress(gSite::ProductsPage());
}

void TfrmMain::GetNewsletter1Click() {
    OpenAddress(gSite::NewsletterPage());
}

void TfrmMain::SellthisProgramandEarnMoney1Click() {
    OpenAddress(gSite::AffiliatePage());
}

void TfrmMain::ellaFriendSendemail1Click() {
    OpenMail(QString(), QStringLiteral("Zorvane..."), gSite::HomePage());
}

void TfrmMain::Image2Click() {
    OpenAddress(gSite::HomePage());
}
