#include "engine/fmSurprise.h"

#include "engine/fmPassword.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

QBitmap TransparencyMask(const QImage& image, const BgrTriple& colour) {
    // Alpha plays no part: the colour key alone decides.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb key = qRgb(colour[2], colour[1], colour[0]);
    bool keyed = false;
    bool visible = false;
    for (int y = 0; y < rgb.height() && !(keyed && visible); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (line[x] == key)
                keyed = true;
            else
                visible = true;
        }
    }
    if (!keyed || !visible)
        return {};
    // The key's pixels are set in this mask image, which makes them the clear
    // (see-through) pixels of the bitmap.
    return QBitmap::fromImage(rgb.createMaskFromColor(key, Qt::MaskInColor));
}

TfrmSurprise::TfrmSurprise(LoadedSurprise surprise, std::unique_ptr<SoundPlayer> player,
                           QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), Surprise(std::move(surprise)),
      Sounds(player ? std::move(player) : std::make_unique<SoundPlayer>()),
      OpenUrl([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("Surprise"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    connect(Sounds.get(), &SoundPlayer::Finished, this, &TfrmSurprise::OnSoundFinished);
    ShowPicture(Surprise.PacketImage, Surprise.Record.PacketTransparent,
                Surprise.Record.PacketTransparentColour);
}

TfrmSurprise::~TfrmSurprise() = default;

void TfrmSurprise::ShowPicture(const QImage& image, bool transparent, const BgrTriple& colour) {
    Picture = QPixmap::fromImage(image);
    setFixedSize(image.size());
    const QBitmap mask = transparent ? TransparencyMask(image, colour) : QBitmap();
    if (mask.isNull())
        clearMask();
    else
        setMask(mask);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, image.size(),
                                        screen->availableGeometry()));
    update();
}

void TfrmSurprise::Present() {
    show();
    raise();
    activateWindow();
    setFocus();
    PlaySound(Surprise.PacketSound);
}

void TfrmSurprise::PlaySound(const QString& path) {
    EffectPlaying = false;
    if (path.isEmpty() || !Sounds->Open(path))
        return;
    Sounds->Play();
}

void TfrmSurprise::OpenPacket() {
    if (StageNow != Stage::Packet || Prompting)
        return;
    if (!Surprise.Record.OpenPassword.isEmpty()) {
        Prompting = true;
        TfrmPassword prompt(
            [this](const QString& typed) { return IsOpenPassword(Surprise.Record, typed); }, this);
        const int answer = prompt.exec();
        Prompting = false;
        if (answer != QDialog::Accepted || StageNow != Stage::Packet)
            return;
    }
    Reveal();
}

void TfrmSurprise::Reveal() {
    StageNow = Stage::Revealed;
    Sounds->Stop();
    ShowPicture(Surprise.SurpriseImage, Surprise.Record.SurpriseTransparent,
                Surprise.Record.SurpriseTransparentColour);
    // The surprise sound follows the open effect; without an effect that
    // plays, it starts at once.
    if (!Surprise.OpenEffectSound.isEmpty() && Sounds->Open(Surprise.OpenEffectSound)) {
        Sounds->Play();
        EffectPlaying = true;
        return;
    }
    PlaySound(Surprise.SurpriseSound);
}

void TfrmSurprise::OnSoundFinished() {
    if (StageNow == Stage::Revealed && EffectPlaying)
        PlaySound(Surprise.SurpriseSound);
}

void TfrmSurprise::Finish() {
    if (StageNow != Stage::Revealed)
        return;
    StageNow = Stage::Ended;
    Sounds->Close();
    close();
    const QUrl address = GoToAddress(Surprise.Record);
    if (!address.isEmpty() && OpenUrl)
        OpenUrl(address);
}

void TfrmSurprise::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, Picture);
    if (!PacketPainted && StageNow == Stage::Packet) {
        PacketPainted = true;
        emit PacketShown();
    }
}

void TfrmSurprise::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (StageNow == Stage::Packet)
        OpenPacket();
    else if (StageNow == Stage::Revealed)
        Finish();
}

void TfrmSurprise::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (StageNow == Stage::Packet)
            OpenPacket();
        return;
    case Qt::Key_Escape:
        if (StageNow == Stage::Revealed) {
            Finish();
        } else if (StageNow == Stage::Packet) {
            StageNow = Stage::Ended;
            close();
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TfrmSurprise::closeEvent(QCloseEvent* event) {
    // However the window goes, no sound outlives it.
    Sounds->Close();
    QWidget::closeEvent(event);
}
