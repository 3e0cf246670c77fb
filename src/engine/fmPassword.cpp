#include "engine/fmPassword.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString WrongPasswordText() {
    return QStringLiteral("Wrong password. Please try again.");
}

TfrmPassword::TfrmPassword(Checker isRight, QWidget* parent)
    : QDialog(parent), IsRight(std::move(isRight)) {
    setWindowTitle(QStringLiteral("Surprise"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("This surprise is locked. Enter its password:"), this));
    edtPassword = new QLineEdit(this);
    edtPassword->setEchoMode(QLineEdit::Password);
    layout->addWidget(edtPassword);
    lblWrong = new QLabel(this);
    lblWrong->setVisible(false);
    layout->addWidget(lblWrong);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmPassword::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmPassword::reject);
    layout->addWidget(buttons);
    edtPassword->setFocus();
}

void TfrmPassword::accept() {
    if (IsRight(edtPassword->text())) {
        QDialog::accept();
        return;
    }
    lblWrong->setText(WrongPasswordText());
    lblWrong->setVisible(true);
    edtPassword->clear();
    edtPassword->setFocus();
}
