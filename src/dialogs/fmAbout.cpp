#include "dialogs/fmAbout.h"

#include "app/gSite.h"
#include "delivery/AboutInfo.h"
#include "delivery/WebLinks.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

QPointer<TfrmAbout>& CurrentBox() {
    static QPointer<TfrmAbout> box;
    return box;
}

// Colours as the design gives them: 0x00BBGGRR.
QColor DesignColor(unsigned value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void Fill(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel* PlaceLabel(QWidget* parent, int left, int top, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(346, 322);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    Fill(this, Qt::white);

    const QColor strip = DesignColor(5614335);
    pnlTitle = new QWidget(this);
    pnlTitle->setGeometry(0, 0, 346, 25);
    Fill(pnlTitle, strip);
    lblTitle = PlaceLabel(pnlTitle, 4, 3, QStringLiteral("About"));
    QFont titleFont = font();
    titleFont.setPixelSize(16);
    lblTitle->setFont(titleFont);
    lblTitle->adjustSize();
    SetTextColor(lblTitle, DesignColor(16776697));

    lblVersion = new QLabel(this);
    lblVersion->setGeometry(17, 44, 313, 43);
    lblVersion->setWordWrap(true);
    lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold = font();
    bold.setBold(true);
    lblVersion->setFont(bold);
    SetTextColor(lblVersion, DesignColor(9199360));

    lblHomePage = AddLink(188, QStringLiteral("Home page:"));
    lblSupportMail = AddLink(204, QStringLiteral("Support e-mail:"));
    lblNewsletter = AddLink(220, QStringLiteral("Newsletter:"));

    PlaceLabel(this, 16, 253, QStringLiteral("Memory:"));
    Label4 = PlaceLabel(this, 107, 253);
    PlaceLabel(this, 16, 269, QStringLiteral("System resources:"));
    Label5 = PlaceLabel(this, 107, 269);

    pnlButtons = new QWidget(this);
    pnlButtons->setGeometry(0, 297, 346, 25);
    Fill(pnlButtons, strip);
    btnCancel = new QPushButton(QStringLiteral("Close"), pnlButtons);
    btnCancel->setGeometry(282, 1, 59, 22);
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmAbout::btnCancelClick);

    CurrentBox() = this;
}

TfrmAbout::~TfrmAbout() {
    if (CurrentBox() == this)
        CurrentBox() = nullptr;
}

TfrmAbout* TfrmAbout::Current() {
    return CurrentBox();
}

QLabel* TfrmAbout::AddLink(int top, const QString& caption) {
    PlaceLabel(this, 17, top, caption);
    QLabel* link = PlaceLabel(this, 91, top);
    QFont underlined = font();
    underlined.setUnderline(true);
    link->setFont(underlined);
    SetTextColor(link, Qt::blue);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    return link;
}

void TfrmAbout::LayOutSquares() {
    const int columns = (width() - 4) / 36;
    for (int i = 0; i < columns; ++i) {
        const int grey = (255 - 2 * (columns - 1) + 2 * i) & 0xFF;
        for (int j = 0; j < 4; ++j) {
            auto* square = new QWidget(this);
            square->setGeometry(4 + 36 * i, 29 + 36 * j, 32, 32);
            Fill(square, QColor(grey, grey, grey));
            square->lower();
            square->show();
            Squares.append(square);
        }
    }
}

void TfrmAbout::FormActivate() {
    if (Squares.isEmpty())
        LayOutSquares();
    setWindowTitle(QStringLiteral("Zorvane"));
    lblHomePage->setText(gSite::HomePage());
    lblSupportMail->setText(gSite::SupportMail());
    lblNewsletter->setText(gSite::NewsletterPage());
    const AboutFacts facts = ReadAboutFacts();
    lblVersion->setText(AboutVersionLabel(facts.VersionText, facts.CurrentYear));
    Label4->setText(FormatTotalMemory(facts.Memory.TotalPhys));
    Label5->setText(FormatMemoryLoad(facts.Memory.MemoryLoad));
    for (QLabel* label : {lblHomePage, lblSupportMail, lblNewsletter, Label4, Label5})
        label->adjustSize();
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
    FormActivate();
}

void TfrmAbout::btnCancelClick() {
    done(kCloseResult);
}

void TfrmAbout::reject() {
    done(kCloseResult);
}

void TfrmAbout::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        done(kCloseResult);
        return;
    case Qt::Key_Escape:
        // Closing waits for the release, so the key does not reach another window.
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TfrmAbout::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        done(kCloseResult);
        return;
    }
    QDialog::keyReleaseEvent(event);
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = qobject_cast<QLabel*>(watched);
        if (label && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (label == lblHomePage)
                lblHomePageClick();
            else if (label == lblSupportMail)
                lblSupportMailClick();
            else if (label == lblNewsletter)
                lblNewsletterClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAbout::lblHomePageClick() {
    OpenAddress(gSite::HomePage());
}

void TfrmAbout::lblSupportMailClick() {
    OpenMail(gSite::SupportMail(), QString(), QString());
}

void TfrmAbout::lblNewsletterClick() {
    OpenAddress(gSite::NewsletterPage());
}

int ShowAbout(QWidget* owner) {
    if (TfrmAbout* shown = TfrmAbout::Current()) {
        shown->done(TfrmAbout::kCloseResult);
        return 0;
    }
    TfrmAbout box(owner);
    const int result = box.exec();
    QCoreApplication::processEvents();
    return result;
}
