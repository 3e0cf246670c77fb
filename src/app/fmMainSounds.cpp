// The builder's three sound slots.
#include "app/fmMain.h"

void TfrmMain::ActBrowsePacketSoundExecute() {}

void TfrmMain::ActBrowseOpenEffectExecute() {}

void TfrmMain::ActBrowseSurpriseSoundExecute() {}

void TfrmMain::ActClearPacketSoundExecute() {}

void TfrmMain::ActClearOpenEffectExecute() {}

void TfrmMain::ActClearSurpriseSoundExecute() {}

void TfrmMain::DropFileTargetPacketSoundDrop(const QStringList& files) {
    Q_UNUSED(files);
}

void TfrmMain::DropFileTargetOpenEffectSoundDrop(const QStringList& files) {
    Q_UNUSED(files);
}

void TfrmMain::DropFileTargetSurpriseSoundDrop(const QStringList& files) {
    Q_UNUSED(files);
}

void TfrmMain::pnlPacketSoundClick() {}

void TfrmMain::pnlOpenEffectSoundClick() {}

void TfrmMain::pnlSurpriseSoundClick() {}

void TfrmMain::pnlPacketSoundDblClick() {}

void TfrmMain::pnlOpenEffectSoundDblClick() {}

void TfrmMain::pnlSurpriseSoundDblClick() {}

void TfrmMain::btn7MouseUp() {}

void TfrmMain::btn9MouseUp() {}

void TfrmMain::btn11MouseUp() {}
