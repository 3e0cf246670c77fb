#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;

// The small prompt before a protected surprise opens. A wrong password is
// said in the prompt itself, which stays for another try; Escape leaves it.
class TfrmPassword : public QDialog {
    Q_OBJECT
public:
    using Checker = std::function<bool(const QString&)>;
    explicit TfrmPassword(Checker isRight, QWidget* parent = nullptr);

    QLineEdit* edtPassword = nullptr;
    QLabel* lblWrong = nullptr;

    void accept() override;

private:
    Checker IsRight;
};

// The text the prompt shows after a wrong password.
QString WrongPasswordText();
