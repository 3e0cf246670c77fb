#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

// The options dialog: the custom file name of built surprises ("g2") and,
// carried through unseen, the compressed-delivery option ("g1"). It writes
// the settings store only; the builder re-reads it when the dialog closes.
class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOptions(QWidget* parent = nullptr);

    void FormCreate();
    void FormActivate();
    void btnOkClick();
    void btnCancelClick();

    QWidget* pnlTitle = nullptr;
    QLabel* lblDela = nullptr;
    QTabWidget* pgcOptions = nullptr;
    QWidget* tbGeneral = nullptr;
    QLabel* lblSurpriseFileName = nullptr;
    QLineEdit* edtSurpriseFileName = nullptr;
    QCheckBox* chkNormalOrCompressed = nullptr;
    QWidget* pnlButtons = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    // edtSurpriseFileNameKeyPress: the name field's typed characters.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Shows the options dialog modally over owner and returns its result, which
// means nothing: both buttons close it the same way.
int ShowOptions(QWidget* owner);
