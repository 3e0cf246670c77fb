// The builder's three sound slots.
#include "app/fmMain.h"

#include "app/fmMainWidgets.h"
#include "app/gVars.h"
#include "sounds/SoundLibrary.h"
#include "sounds/SoundSlots.h"
#include "sounds/fmSetSound.h"

#include <QAction>
#include <QListWidget>

namespace {

// The panel caption is the only display of a slot's value.
void ShowSlot(TSoundPanel* panel, const QString& value) {
    panel->setTextFormat(Qt::PlainText);
    panel->setText(SoundCaption(value));
}

void Browse(TfrmMain& window, SoundSlot slot, TSoundPanel* panel) {
    BuilderState& state = builderState();
    QString chosen;
    if (ChooseSound(SlotValue(state, slot), chosen, &window) != kSoundSelected)
        return;
    // The dialog has already shown the sound-type notice.
    const bool changed = EnterSlotSound(state, slot, chosen);
    ShowSlot(panel, chosen);
    if (changed)
        window.FalsizeBuilded();
}

void Clear(TfrmMain& window, SoundSlot slot, TSoundPanel* panel) {
    // The value decides, not the caption: a sound named ".mid" has an empty
    // caption and must still be clearable.
    BuilderState& state = builderState();
    if (SlotValue(state, slot).isEmpty())
        return;
    EnterSlotSound(state, slot, QString());
    ShowSlot(panel, QString());
    window.FalsizeBuilded();
}

void Drop(TfrmMain& window, SoundSlot slot, TSoundPanel* panel, const QStringList& files) {
    // A slot takes one file: the first of the drop.
    if (files.isEmpty() || !HasSoundExtension(files.first()))
        return;
    const QString dropped = files.first();
    const QString name = DropSound(dropped, appFolders().SoundsFolder, [&window] {
        return AskSoundQuestion(&window, DropOverwriteText());
    });
    if (name.isEmpty())
        return;
    WarnSoundType(ExtractFileExt(dropped));
    const bool changed = EnterSlotSound(builderState(), slot, name);
    ShowSlot(panel, name);
    if (changed)
        window.FalsizeBuilded();
}

} // namespace

void TfrmMain::ActBrowsePacketSoundExecute() {
    Browse(*this, SoundSlot::Packet, pnlPacketSound);
}

void TfrmMain::ActBrowseOpenEffectExecute() {
    Browse(*this, SoundSlot::OpenEffect, pnlOpenEffectSound);
}

void TfrmMain::ActBrowseSurpriseSoundExecute() {
    Browse(*this, SoundSlot::Surprise, pnlSurpriseSound);
}

void TfrmMain::ActClearPacketSoundExecute() {
    Clear(*this, SoundSlot::Packet, pnlPacketSound);
}

void TfrmMain::ActClearOpenEffectExecute() {
    Clear(*this, SoundSlot::OpenEffect, pnlOpenEffectSound);
}

void TfrmMain::ActClearSurpriseSoundExecute() {
    Clear(*this, SoundSlot::Surprise, pnlSurpriseSound);
}

void TfrmMain::DropFileTargetPacketSoundDrop(const QStringList& files) {
    Drop(*this, SoundSlot::Packet, pnlPacketSound, files);
}

void TfrmMain::DropFileTargetOpenEffectSoundDrop(const QStringList& files) {
    Drop(*this, SoundSlot::OpenEffect, pnlOpenEffectSound, files);
}

void TfrmMain::DropFileTargetSurpriseSoundDrop(const QStringList& files) {
    Drop(*this, SoundSlot::Surprise, pnlSurpriseSound, files);
}

// A click moves the focus to the slot's list box, so that the keyboard then
// acts on the slot last used with the mouse.
void TfrmMain::pnlPacketSoundClick() {
    lbPacketSound->setFocus(Qt::MouseFocusReason);
}

void TfrmMain::pnlOpenEffectSoundClick() {
    lbOpenEffect->setFocus(Qt::MouseFocusReason);
}

void TfrmMain::pnlSurpriseSoundClick() {
    lbSurpriseSound->setFocus(Qt::MouseFocusReason);
}

// Through the action, so a double-click during a build does nothing.
void TfrmMain::pnlPacketSoundDblClick() {
    ActBrowsePacketSound->trigger();
}

void TfrmMain::pnlOpenEffectSoundDblClick() {
    ActBrowseOpenEffect->trigger();
}

void TfrmMain::pnlSurpriseSoundDblClick() {
    ActBrowseSurpriseSound->trigger();
}

void TfrmMain::btn7MouseUp() {
    lbPacketSound->setFocus(Qt::MouseFocusReason);
}

void TfrmMain::btn9MouseUp() {
    lbOpenEffect->setFocus(Qt::MouseFocusReason);
}

void TfrmMain::btn11MouseUp() {
    lbSurpriseSound->setFocus(Qt::MouseFocusReason);
}
