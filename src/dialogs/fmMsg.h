#pragma once

#include <QDialog>
#include <QFlags>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QWidget;

// The message box that can be silenced for good.

enum class MsgButton { Ok = 1, Yes = 2, No = 4, Cancel = 8 };
Q_DECLARE_FLAGS(MsgButtons, MsgButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MsgButtons)

enum class MsgKind { Warning, Error, Information, Confirmation, Custom };

// Results, as the callers compare them.
constexpr int kMsgOk = 1;
constexpr int kMsgCancel = 2;
constexpr int kMsgYes = 6;
constexpr int kMsgNo = 7;

// Shows text (with "\r\n" line breaks) in a modal box of the given client
// height, unless the flag valueName under key is set: then answers at once
// (Yes when Yes is offered, else OK, else 0). Ticking the check box stores
// the flag "T" when the box closes.
int ShowMsg(int clientHeight, const QString& text, MsgButtons buttons, MsgKind kind,
            const QString& key, const QString& valueName, const QString& caption);

// The box itself, for one call of ShowMsg.
class TfrmMsg : public QDialog {
    Q_OBJECT
public:
    TfrmMsg(int clientHeight, const QString& text, MsgButtons buttons, MsgKind kind,
            const QString& key, const QString& valueName, const QString& caption,
            QWidget* parent = nullptr);

    static constexpr int kClientWidth = 515;
    static constexpr int kSlotWidth = 81;

    QLabel* lblMsg = nullptr;
    QCheckBox* chkShowAgain = nullptr;
    QWidget* pnl2 = nullptr; // the row of button slots
    QPushButton* btnOk = nullptr;
    QPushButton* btnYes = nullptr;
    QPushButton* btnNo = nullptr;
    QPushButton* btnCancel = nullptr;

    // Closes with result; writes the flag when the check box is ticked.
    void done(int result) override;
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void pnl2Resize();
    void AnchorCheckBox();

    MsgKind Kind;
    QString Key;
    QString ValueName;
};
