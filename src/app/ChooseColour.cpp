#include "app/ChooseColour.h"

#include "app/gCustomColors.h"
#include "app/gVars.h"

#include <QColorDialog>
#include <QFileInfo>

namespace {

QColor FromBgr(quint32 colour) {
    return QColor(static_cast<int>(colour & 0xff), static_cast<int>((colour >> 8) & 0xff),
                  static_cast<int>((colour >> 16) & 0xff));
}

quint32 ToBgr(const QColor& colour) {
    return static_cast<quint32>(colour.red()) | (static_cast<quint32>(colour.green()) << 8) |
           (static_cast<quint32>(colour.blue()) << 16);
}

// Qt shows an empty slot as white.
const QColor kEmptySlotColour(Qt::white);

} // namespace

bool ChooseColour(QWidget* parent, quint32& colour) {
    const QString path = appFolders().ProgramFolder + CustomColorsFileName();
    const QStringList lines = QFileInfo::exists(path) ? ReadCustomColorLines(path) : QStringList();
    const CustomColorSlots loaded = CustomColorsFromLines(lines);
    // Qt keeps one set of custom colours for the process; each dialog starts
    // from the file, as every dialog of the program has its own list.
    for (int slot = 0; slot < kCustomColorCount; ++slot) {
        const quint32 value = loaded[static_cast<size_t>(slot)];
        QColorDialog::setCustomColor(slot, value == kEmptyCustomColor ? kEmptySlotColour
                                                                      : FromBgr(value));
    }

    QColorDialog dialog(FromBgr(colour), parent);
    // The platform's own dialog would not show the custom colours.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    colour = ToBgr(dialog.selectedColor());

    CustomColorSlots chosen;
    for (int slot = 0; slot < kCustomColorCount; ++slot) {
        const QColor shown = QColorDialog::customColor(slot);
        const quint32 before = loaded[static_cast<size_t>(slot)];
        // Qt cannot tell an empty slot from a white one: a slot that was
        // empty and still shows white stays empty.
        chosen[static_cast<size_t>(slot)] =
            before == kEmptyCustomColor && shown.rgb() == kEmptySlotColour.rgb() ? kEmptyCustomColor
                                                                                 : ToBgr(shown);
    }
    WriteCustomColorLines(path, CustomColorsToLines(lines, chosen));
    return true;
}
