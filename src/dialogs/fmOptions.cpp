#include "dialogs/fmOptions.h"

#include "app/gRegistry.h"
#include "app/gUtils.h"
#include "dialogs/DialogColours.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString kCompressedValue = QStringLiteral("g1");
const QString kFileNameValue = QStringLiteral("g2");

QString InvalidNameText() {
    return QStringLiteral("Please use only file name valid characters without file extension.\n"
                          "Do not use following characters: .\\/:*?\"<>|");
}

} // namespace

TfrmOptions::TfrmOptions(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(347, 393);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    Fill(this, Qt::white);

    const QColor strip = DesignColor(9199360);
    pnlTitle = new QWidget(this);
    pnlTitle->setGeometry(0, 0, 347, 25);
    Fill(pnlTitle, strip);
    lblDela = new QLabel(QStringLiteral("Options"), pnlTitle);
    QFont titleFont = font();
    titleFont.setPixelSize(16);
    lblDela->setFont(titleFont);
    QPalette titlePalette = lblDela->palette();
    titlePalette.setColor(QPalette::WindowText, DesignColor(16776697));
    lblDela->setPalette(titlePalette);
    lblDela->move(4, 3);
    lblDela->adjustSize();

    pgcOptions = new QTabWidget(this);
    pgcOptions->setGeometry(5, 30, 337, 333);
    tbGeneral = new QWidget;
    pgcOptions->addTab(tbGeneral, QStringLiteral("General"));
    lblSurpriseFileName =
        new QLabel(QStringLiteral("Surprise Custom File Name (without file extension)"), tbGeneral);
    lblSurpriseFileName->move(36, 32);
    lblSurpriseFileName->adjustSize();
    edtSurpriseFileName = new QLineEdit(tbGeneral);
    edtSurpriseFileName->setGeometry(36, 48, 249, edtSurpriseFileName->sizeHint().height());
    edtSurpriseFileName->installEventFilter(this);
    chkNormalOrCompressed =
        new QCheckBox(QStringLiteral("Save && Send Compressed Surprises (zip archive)"), tbGeneral);
    chkNormalOrCompressed->move(36, 88);
    chkNormalOrCompressed->adjustSize();
    chkNormalOrCompressed->setChecked(true);
    // Never shown: it only carries the stored "g1" through the dialog.
    chkNormalOrCompressed->hide();

    pnlButtons = new QWidget(this);
    pnlButtons->setGeometry(0, 368, 347, 25);
    Fill(pnlButtons, strip);
    btnOk = new QPushButton(QStringLiteral("OK"), pnlButtons);
    btnOk->setGeometry(219, 1, 59, 22);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), pnlButtons);
    btnCancel->setGeometry(283, 1, 59, 22);
    // Neither button is the window's default: Enter in the name field does nothing.
    for (QPushButton* button : {btnOk, btnCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(edtSurpriseFileName, chkNormalOrCompressed);
    setTabOrder(chkNormalOrCompressed, btnOk);
    setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &TfrmOptions::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOptions::btnCancelClick);
    FormCreate();
}

void TfrmOptions::FormCreate() {
    setWindowTitle(QStringLiteral("Zorvane"));
    chkNormalOrCompressed->setChecked(ReadSetting(kSettingsKey, kCompressedValue) !=
                                      QLatin1String("F"));
    const QString name = TrimBlanks(ReadSetting(kSettingsKey, kFileNameValue));
    if (!name.isEmpty())
        edtSurpriseFileName->setText(name);
}

void TfrmOptions::FormActivate() {
    edtSurpriseFileName->setFocus();
}

void TfrmOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

bool TfrmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtSurpriseFileName && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (!typed.isEmpty() && !IsValidFileName(typed)) {
            // Refused characters are dropped; the others of the same press are kept.
            QString kept;
            for (const QChar c : typed)
                if (IsValidFileName(QString(c)))
                    kept += c;
            if (!kept.isEmpty())
                edtSurpriseFileName->insert(kept);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmOptions::btnOkClick() {
    if (chkNormalOrCompressed->isChecked())
        DeleteSetting(kSettingsKey, kCompressedValue);
    else
        WriteSetting(kSettingsKey, kCompressedValue, QStringLiteral("F"));
    const QString name = TrimBlanks(edtSurpriseFileName->text());
    if (IsValidFileName(name)) {
        WriteSetting(kSettingsKey, kFileNameValue, name);
        accept();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), InvalidNameText(),
                    QMessageBox::Ok, this);
    box.exec();
    edtSurpriseFileName->setFocus();
}

void TfrmOptions::btnCancelClick() {
    reject();
}

int ShowOptions(QWidget* owner) {
    TfrmOptions dialog(owner);
    const int result = dialog.exec();
    QCoreApplication::processEvents();
    return result;
}
