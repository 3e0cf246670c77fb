// The builder's delivery commands, the Help and More menus and the title link.
#include "app/fmMain.h"

void TfrmMain::ActPreviewExecute() {}

void TfrmMain::ActSaveAsExecute() {}

void TfrmMain::ActSendToDesktopExecute() {}

void TfrmMain::ActSendToMyDocumentsExecute() {}

void TfrmMain::ActSendToMailRecipientExecute() {}

void TfrmMain::Programhelp1Click() {}

void TfrmMain::FAQ1Click() {}

void TfrmMain::Homepage1Click() {}

void TfrmMain::Checkforupdate1Click() {}

void TfrmMain::About2Click() {}

void TfrmMain::MoreQUELVproducts1Click() {}

void TfrmMain::GetNewsletter1Click() {}

void TfrmMain::SellthisProgramandEarnMoney1Click() {}

void TfrmMain::ellaFriendSendemail1Click() {}

void TfrmMain::Image2Click() {}
