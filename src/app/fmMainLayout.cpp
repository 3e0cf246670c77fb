// The builder window's layout: every position and size as designed, on a
// client area of 518 x 535.
#include "app/fmMain.h"

#include "app/fmMainWidgets.h"

#include "Artwork.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace {

const QColor kStripColour(0, 95, 140);
const QColor kStripTextColour(249, 253, 255);

QWidget* Strip(QWidget* parent, const QRect& geometry) {
    auto* strip = new QWidget(parent);
    strip->setGeometry(geometry);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, kStripColour);
    strip->setPalette(palette);
    strip->setAutoFillBackground(true);
    return strip;
}

QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A label whose width follows its text, so no caption is ever clipped.
QLabel* Caption(QWidget* parent, const QString& text, const QPoint& at, const QFont& font,
                const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}

QIcon ButtonImages(const QString& name) {
    QIcon icon;
    const QPixmap normal = ArtworkPixmap(name);
    const QPixmap disabled = ArtworkPixmap(name + QStringLiteral("-disabled"));
    if (!normal.isNull())
        icon.addPixmap(normal, QIcon::Normal);
    if (!disabled.isNull())
        icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}

// A flat button in the manner of a speed button: it never takes the focus,
// so the keys keep following the list the user last worked in.
QToolButton* FlatButton(QWidget* parent, const QRect& geometry, const QSize& iconSize) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setGeometry(geometry);
    button->setIconSize(iconSize);
    return button;
}

QToolButton* ActionButton(QWidget* parent, const QRect& geometry, QAction* action,
                          const QString& image, const QSize& iconSize) {
    action->setIcon(ButtonImages(image));
    QToolButton* button = FlatButton(parent, geometry, iconSize);
    button->setDefaultAction(action);
    return button;
}

} // namespace

void TfrmMain::CreateLayout() {
    auto* client = new QWidget(this);
    client->setFixedSize(518, 535);
    QPalette white = client->palette();
    white.setColor(QPalette::Window, Qt::white);
    client->setPalette(white);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    // Fixed size: the menu bar above the client area, nothing to resize.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    const QFont labelFont = PixelFont(font(), 16);

    // Top strip: title, title picture (a link), toolbar.
    QWidget* top = Strip(client, QRect(0, 0, 518, 46));
    lblTitle = Caption(top, QStringLiteral("Zadad"), QPoint(8, 0), labelFont, kStripTextColour);
    lblTitle->move(8, (46 - lblTitle->height()) / 2);
    // The picture follows the title; its blank right end may pass under the
    // toolbar, which stays on top.
    Image2 = new QLabel(top);
    Image2->setGeometry(lblTitle->geometry().right() + 5, 0, 275, 46);
    Image2->setPixmap(ArtworkPixmap(QStringLiteral("title")));
    Image2->setCursor(Qt::PointingHandCursor);

    const QSize toolbarImage(40, 40);
    const int sendWidth = 47 + 13; // the button and its drop-down arrow
    int x = 518 - 3 * 47 - sendWidth;
    btnBuild =
        ActionButton(top, QRect(x, 0, 47, 46), ActBuild, QStringLiteral("tb-build"), toolbarImage);
    x += 47;
    btnPreview = ActionButton(top, QRect(x, 0, 47, 46), ActPreview, QStringLiteral("tb-preview"),
                              toolbarImage);
    x += 47;
    btnSaveAs = ActionButton(top, QRect(x, 0, 47, 46), ActSaveAs, QStringLiteral("tb-saveas"),
                             toolbarImage);
    x += 47;
    btnSend = ActionButton(top, QRect(x, 0, sendWidth, 46), ActSendToMailRecipient,
                           QStringLiteral("tb-send"), toolbarImage);
    btnSend->setPopupMode(QToolButton::MenuButtonPopup);

    // The two picture columns.
    imgKeyTransparent = {ArtworkPixmap(QStringLiteral("trans-0")),
                         ArtworkPixmap(QStringLiteral("trans-1"))};
    const QSize buttonImage(25, 25);
    struct Column {
        int Left;
        QString Caption;
        TPictureList*& List;
        QListWidget*& Series;
        TThumbnailImages& Images;
        QToolButton*& Trans;
        QToolButton*& Import;
        QToolButton*& Modify;
        QToolButton*& Remove;
        QAction* ImportAction;
        QAction* ModifyAction;
        QAction* RemoveAction;
    };
    const Column columns[] = {
        {35, QStringLiteral("Packet"), lbPackets, lbPacketsSeries, imgPackets, btnTransPacket,
         btnImportPacket, btnModifyPacket, btnRemovePacket, ActImportPacketPicture,
         ActModifyPacketPicture, ActRemovePacketPicture},
        {288, QStringLiteral("Surprise"), lbSurprises, lbSurprisesSeries, imgSurprises,
         btnTransSurprise, btnImportSurprise, btnModifySurprise, btnRemoveSurprise,
         ActImportSurprisePicture, ActModifySurprisePicture, ActRemoveSurprisePicture},
    };
    for (const Column& column : columns) {
        const int left = column.Left;
        // Narrow bars of the strip colour frame the column.
        Strip(client, QRect(left - 3, 59, 3, 271));
        Strip(client, QRect(left + 220, 59, 3, 271));
        Strip(client, QRect(left - 3, 327, 226, 3));
        QWidget* header = Strip(client, QRect(left, 59, 220, 26));
        Caption(header, column.Caption, QPoint(6, 4), labelFont, kStripTextColour);
        column.Trans = FlatButton(header, QRect(120, 0, 25, 25), QSize(21, 21));
        column.Import = ActionButton(header, QRect(145, 0, 25, 25), column.ImportAction,
                                     QStringLiteral("btn-import"), buttonImage);
        column.Modify = ActionButton(header, QRect(170, 0, 25, 25), column.ModifyAction,
                                     QStringLiteral("btn-modify"), buttonImage);
        column.Remove = ActionButton(header, QRect(195, 0, 25, 25), column.RemoveAction,
                                     QStringLiteral("btn-remove"), buttonImage);

        column.List = new TPictureList(column.Images, client);
        column.List->setGeometry(left, 85, 220, 242);
        // The series lists are never shown; they hold the sorted series names.
        column.Series = new TListBox(client);
        column.Series->setVisible(false);
    }

    // The three sound rows, 33 pixels apart.
    struct SoundRow {
        QString Label;
        QListWidget*& Focus;
        TSoundPanel*& Panel;
        QToolButton*& Browse;
        QToolButton*& Clear;
        QAction* BrowseAction;
        QAction* ClearAction;
    };
    const SoundRow rows[] = {
        {QStringLiteral("Packet Sound"), lbPacketSound, pnlPacketSound, btn7, btn8,
         ActBrowsePacketSound, ActClearPacketSound},
        {QStringLiteral("Open Effect"), lbOpenEffect, pnlOpenEffectSound, btn9, btn10,
         ActBrowseOpenEffect, ActClearOpenEffect},
        {QStringLiteral("Surprise Sound"), lbSurpriseSound, pnlSurpriseSound, btn11, btn12,
         ActBrowseSurpriseSound, ActClearSurpriseSound},
    };
    int y = 340;
    for (const SoundRow& row : rows) {
        Caption(client, row.Label, QPoint(35, y + 7), labelFont, kStripColour);
        // Item-less: it only holds the slot's keyboard focus.
        row.Focus = new QListWidget(client);
        row.Focus->setGeometry(240, y, 268, 33);
        row.Focus->setFrameShape(QFrame::NoFrame);
        row.Focus->setPalette(white);
        row.Panel = new TSoundPanel(client);
        row.Panel->setGeometry(243, y + 4, 262, 25);
        QPalette panel = row.Panel->palette();
        panel.setColor(QPalette::Window, kStripColour);
        panel.setColor(QPalette::WindowText, kStripTextColour);
        row.Panel->setPalette(panel);
        row.Browse = ActionButton(row.Panel, QRect(0, 0, 25, 25), row.BrowseAction,
                                  QStringLiteral("btn-browse"), buttonImage);
        row.Clear = ActionButton(row.Panel, QRect(237, 0, 25, 25), row.ClearAction,
                                 QStringLiteral("btn-clear"), buttonImage);
        y += 33;
    }

    // Password and URL.
    Caption(client, QStringLiteral("Open Password"), QPoint(35, 450), labelFont, kStripColour);
    edtPassword = new QLineEdit(client);
    edtPassword->setGeometry(243, 447, 263, 21);
    edtPassword->setMaxLength(50);
    Caption(client, QStringLiteral("Go to URL"), QPoint(35, 479), labelFont, kStripColour);
    edtGoToURL = new QLineEdit(client);
    edtGoToURL->setGeometry(243, 476, 263, 21);
    edtGoToURL->setMaxLength(255);

    // Bottom strip.
    QWidget* bottom = Strip(client, QRect(0, 510, 518, 25));
    btnExit = new QPushButton(QStringLiteral("Exit"), bottom);
    btnExit->setGeometry(438, 1, 75, 23);

    setTabOrder(lbPackets, lbSurprises);
    setTabOrder(lbSurprises, lbPacketSound);
    setTabOrder(lbPacketSound, lbOpenEffect);
    setTabOrder(lbOpenEffect, lbSurpriseSound);
    setTabOrder(lbSurpriseSound, edtPassword);
    setTabOrder(edtPassword, edtGoToURL);
    setTabOrder(edtGoToURL, btnExit);
}
