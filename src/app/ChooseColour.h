#pragma once

#include <QtGlobal>

class QWidget;

// The colour dialog of the program, with the custom colours remembered in
// "CustomColors.dat" of the program folder. colour is 0x00BBGGRR; on OK it
// becomes the chosen colour and the custom colours are written, on Cancel
// nothing changes. True on OK. A file that cannot be written throws
// std::runtime_error after colour has been set.
bool ChooseColour(QWidget* parent, quint32& colour);
