#pragma once

#include <QString>
#include <QStringList>

#include <array>

// "CustomColors.dat" in the program folder: the 16 custom colour slots of
// every colour dialog of the program, one line "ColorA=..." to "ColorP=..."
// per slot, the value in lower-case hexadecimal (blue, green, red; at least
// six digits), lines ending in "\r\n". Lines with other names are carried
// along unchanged.

constexpr int kCustomColorCount = 16;
// An empty slot; also what a missing, empty or unreadable value means.
constexpr quint32 kEmptyCustomColor = 0xffffffffu;

using CustomColorSlots = std::array<quint32, kCustomColorCount>;

QString CustomColorsFileName(); // "CustomColors.dat"

// The file's lines without their line ends; empty when there is no file.
QStringList ReadCustomColorLines(const QString& path);

// The slots the lines hold: colour values 0x00BBGGRR, or kEmptyCustomColor.
CustomColorSlots CustomColorsFromLines(const QStringList& lines);

// lines with every slot's line set to values: a slot's existing line keeps its
// place, missing slots follow in the order A to P.
QStringList CustomColorsToLines(QStringList lines, const CustomColorSlots& values);

// Writes lines, each ending in "\r\n", creating or replacing the file.
// Throws std::runtime_error when the file cannot be written.
void WriteCustomColorLines(const QString& path, const QStringList& lines);
