#include "dialogs/fmMsg.h"

#include "app/gRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <exception>

namespace {

QIcon KindIcon(MsgKind kind, const QStyle* style) {
    switch (kind) {
    case MsgKind::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case MsgKind::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case MsgKind::Information:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case MsgKind::Confirmation:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case MsgKind::Custom:
        break;
    }
    const QIcon application = QApplication::windowIcon();
    return application.isNull() ? style->standardIcon(QStyle::SP_DesktopIcon) : application;
}

constexpr int kIconSize = 32;
constexpr int kCheckBoxFromBottom = 60;
constexpr int kLabelWidth = 430;
// The least room between the text and the check box below it.
constexpr int kTextToCheckBox = 8;
constexpr int kButtonStripHeight = 35;

} // namespace

TfrmMsg::TfrmMsg(int clientHeight, const QString& text, MsgButtons buttons, MsgKind kind,
                 const QString& key, const QString& valueName, const QString& caption,
                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Kind(kind), Key(key), ValueName(valueName) {
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setWindowTitle(caption);

    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lblMsg = new QLabel(shown, this);
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setWordWrap(false);
    lblMsg->move(58, 16);
    lblMsg->adjustSize();
    // Lines break only where the text breaks them. The callers sized the box
    // for the designed font; where this platform's font needs more room the
    // label and the box grow, so that no line is ever cut.
    const int labelWidth = qMax(kLabelWidth, lblMsg->width());
    lblMsg->resize(labelWidth, lblMsg->height());
    const int neededWidth = 58 + labelWidth + (kClientWidth - 58 - kLabelWidth);
    const int neededHeight = 16 + lblMsg->height() + kTextToCheckBox + kCheckBoxFromBottom;
    setFixedSize(qMax(kClientWidth, neededWidth), qMax(clientHeight, neededHeight));

    chkShowAgain = new QCheckBox(this);
    const bool notice = buttons.testFlag(MsgButton::Ok) && !buttons.testFlag(MsgButton::No) &&
                        !buttons.testFlag(MsgButton::Cancel);
    chkShowAgain->setText(notice ? QStringLiteral("Do not show this message again.")
                                 : QStringLiteral("Do not ask me again."));
    chkShowAgain->resize(qMax(185, chkShowAgain->sizeHint().width()),
                         qMax(13, chkShowAgain->sizeHint().height()));

    pnl2 = new QWidget(this);
    int shownSlots = 0;
    auto slot = [this, &shownSlots, buttons](MsgButton which, const QString& label, int result) {
        auto* button = new QPushButton(label, pnl2);
        button->setAutoDefault(false);
        button->setDefault(false);
        const bool requested = buttons.testFlag(which);
        button->setVisible(requested);
        if (requested) {
            // Each slot is 81 wide; the row shrinks to the slots shown.
            button->setGeometry(shownSlots * kSlotWidth + 3, 6, 75, 23);
            ++shownSlots;
        }
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        return button;
    };
    btnOk = slot(MsgButton::Ok, QStringLiteral("&OK"), kMsgOk);
    btnYes = slot(MsgButton::Yes, QStringLiteral("&Yes"), kMsgYes);
    btnNo = slot(MsgButton::No, QStringLiteral("&No"), kMsgNo);
    btnCancel = slot(MsgButton::Cancel, QStringLiteral("&Cancel"), kMsgCancel);
    pnl2->resize(shownSlots * kSlotWidth, kButtonStripHeight);
    AnchorCheckBox();
    pnl2Resize();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TfrmMsg::AnchorCheckBox() {
    chkShowAgain->move(58, height() - kCheckBoxFromBottom);
}

void TfrmMsg::pnl2Resize() {
    // Centred on the window's outer width, as the row has always been.
    const int outer = frameGeometry().width();
    pnl2->move((outer - pnl2->width()) / 2, height() - kButtonStripHeight);
}

void TfrmMsg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    AnchorCheckBox();
    pnl2Resize();
}

void TfrmMsg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    pnl2Resize(); // the frame is known once shown
}

void TfrmMsg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QIcon icon = KindIcon(Kind, style());
    icon.paint(&painter, QRect(12, 10, kIconSize, kIconSize));
}

void TfrmMsg::keyPressEvent(QKeyEvent* event) {
    // Escape answers on its release, and Enter presses no default button.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmMsg::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        event->accept();
        done(kMsgNo);
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void TfrmMsg::reject() {
    // The close box answers Cancel.
    done(kMsgCancel);
}

void TfrmMsg::done(int result) {
    if (chkShowAgain->isChecked()) {
        try {
            WriteSetting(Key, ValueName, QStringLiteral("T"));
        } catch (const std::exception&) {
            // Not reported: the box simply shows again next time.
        }
    }
    QDialog::done(result);
}

int ShowMsg(int clientHeight, const QString& text, MsgButtons buttons, MsgKind kind,
            const QString& key, const QString& valueName, const QString& caption) {
    if (!ReadSetting(key, valueName).isEmpty()) {
        if (buttons.testFlag(MsgButton::Yes))
            return kMsgYes;
        if (buttons.testFlag(MsgButton::Ok))
            return kMsgOk;
        return 0;
    }
    // A new box for every call, gone when the call returns.
    TfrmMsg box(clientHeight, text, buttons, kind, key, valueName, caption,
                QApplication::activeWindow());
    const int result = box.exec();
    QCoreApplication::processEvents();
    return result;
}
