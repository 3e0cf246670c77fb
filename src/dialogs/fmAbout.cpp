#include "dialogs/fmAbout.h"

#include "app/gSite.h"
#include "delivery/AboutInfo.h"
#include "delivery/WebLinks.h"
#include "dialogs/DialogColours.h"

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

QLabel* MakeLink(QLabel* label, QObject* filter) {
    QFont underlined = label->font();
    underlined.setUnderline(true);
    label->setFont(underlined);
    SetTextColor(label, Qt::blue);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(filter);
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

    lblHomePage = MakeLink(AddLine(188, 17, 91, QStringLiteral("Home page:")), this);
    lblSupportMail = MakeLink(AddLine(204, 17, 91, QStringLiteral("Support e-mail:")), this);
    lblNewsletter = MakeLink(AddLine(220, 17, 91, QStringLiteral("Newsletter:")), this);
    Label4 = AddLine(253, 16, 107, QStringLiteral("Memory:"));
    Label5 = AddLine(269, 16, 107, QStringLiteral("System resources:"));

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

QLabel* TfrmAbout::AddLine(int top, int captionLeft, int valueLeft, const QString& caption) {
    QLabel* captionLabel = PlaceLabel(this, captionLeft, top, caption);
    QLabel* value = PlaceLabel(this, valueLeft, top);
    Lines.append({captionLabel, value, valueLeft});
    return value;
}

void TfrmAbout::FitTexts() {
    // The designed columns assume the designed font; a wider substitute moves
    // a value right of its caption, and a value too long for the window
    // breaks after a "/" or "-" into the free space below its line.
    constexpr int kGap = 4;
    constexpr int kRightMargin = 4;
    for (const Line& line : Lines) {
        line.Caption->adjustSize();
        const int left = qMax(line.ValueLeft, line.Caption->geometry().right() + 1 + kGap);
        const int room = width() - kRightMargin - left;
        line.Value->setWordWrap(false);
        line.Value->adjustSize();
        if (line.Value->width() > room) {
            line.Value->setWordWrap(true);
            line.Value->setFixedWidth(room);
            line.Value->setFixedHeight(line.Value->heightForWidth(room));
        }
        line.Value->move(left, line.Caption->y());
    }
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
    FitTexts();
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
