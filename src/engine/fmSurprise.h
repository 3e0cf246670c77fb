#pragma once

#include "engine/SurpriseLoader.h"
#include "platform/SoundPlayer.h"

#include <QBitmap>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>


// The surprise as the recipient meets it: a frameless window showing the
// packet with its sound; a click, Enter or Space opens it (after the
// password, when there is one) with the open effect, then the surprise
// picture with its sound; a click or Escape ends it and goes to the web
// address. Escape before opening ends it without revealing anything.
class TfrmSurprise : public QWidget {
    Q_OBJECT
public:
    enum class Stage { Packet, Revealed, Ended };
    using UrlOpener = std::function<void(const QUrl&)>;

    // player null: a real SoundPlayer.
    explicit TfrmSurprise(LoadedSurprise surprise, std::unique_ptr<SoundPlayer> player = nullptr,
                          QWidget* parent = nullptr);
    ~TfrmSurprise() override;

    // QDesktopServices::openUrl unless replaced.
    void SetUrlOpener(UrlOpener opener) { OpenUrl = std::move(opener); }

    // Shows the packet, centred, and starts its sound.
    void Present();
    // The recipient's request to open: the password first when there is one.
    void OpenPacket();
    // The end after the reveal: the window closes, then the address opens.
    void Finish();

    Stage CurrentStage() const { return StageNow; }
    SoundPlayer* Player() const { return Sounds.get(); }

signals:
    // The packet has been painted for the first time.
    void PacketShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowPicture(const QImage& image, bool transparent, const BgrTriple& colour);
    void Reveal();
    void PlaySound(const QString& path);
    void OnSoundFinished();

    LoadedSurprise Surprise;
    std::unique_ptr<SoundPlayer> Sounds;
    UrlOpener OpenUrl;
    QPixmap Picture;
    Stage StageNow = Stage::Packet;
    bool Prompting = false;
    bool EffectPlaying = false;
    bool PacketPainted = false;
};

// The window mask for a picture whose pixels of colour are see-through:
// empty (no mask) when no pixel has that colour, or when every pixel has it,
// so that the window never becomes invisible.
QBitmap TransparencyMask(const QImage& image, const BgrTriple& colour);
