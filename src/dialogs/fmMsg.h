#pragma once

#include <QDialog>
#include <QFlags>
#include <QString>

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
// (Yes when Yes is offered, else OK). Ticking the check box stores the flag
// "T" when the box closes.
int ShowMsg(int clientHeight, const QString& text, MsgButtons buttons, MsgKind kind,
            const QString& key, const QString& valueName, const QString& caption);
