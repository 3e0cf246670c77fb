#include "sounds/SoundSlots.h"

#include "sounds/SoundLibrary.h"

QString& SlotValue(BuilderState& state, SoundSlot slot) {
    switch (slot) {
    case SoundSlot::Packet:
        return state.PacketSound;
    case SoundSlot::OpenEffect:
        return state.OpenEffectSound;
    case SoundSlot::Surprise:
        break;
    }
    return state.SurpriseSound;
}

const QString& SlotValue(const BuilderState& state, SoundSlot slot) {
    return SlotValue(const_cast<BuilderState&>(state), slot);
}

bool EnterSlotSound(BuilderState& state, SoundSlot slot, const QString& value) {
    QString& held = SlotValue(state, slot);
    const bool changed = held != value;
    held = value;
    return changed;
}

QStringList SlotWordsHolding(const BuilderState& state, const QString& name) {
    QStringList words;
    if (state.PacketSound == name)
        words << QStringLiteral("Packet");
    if (state.OpenEffectSound == name)
        words << QStringLiteral("Open effect");
    if (state.SurpriseSound == name)
        words << QStringLiteral("Surprise");
    return words;
}

QString JoinSlotWords(const QStringList& words) {
    switch (words.size()) {
    case 0:
        return {};
    case 1:
        return words[0];
    case 2:
        return words[0] + QStringLiteral(" and ") + words[1];
    default:
        return words[0] + QStringLiteral(", ") + words[1] + QStringLiteral(" and ") + words[2];
    }
}

QString RemoveRefusalText(const QString& name, const QString& joinedWords) {
    return QStringLiteral("Can't remove ") + name + QStringLiteral(" sound.") +
           QStringLiteral("\r\n\r\n") +
           QStringLiteral("The sound you want to remove is selected as ") + joinedWords +
           QStringLiteral(" sound.") + QStringLiteral("\r\n") +
           QStringLiteral("In order to remove it you must first clear the ") + joinedWords +
           QStringLiteral(" sound selection") + QStringLiteral("\r\n") +
           QStringLiteral("in main menu window (Zadad).");
}

QString RemoveQuestionText(const QString& name) {
    return QStringLiteral("Are you sure you want to remove ") + name + QStringLiteral(" sound?");
}

QString ImportOverwriteText() {
    return QStringLiteral(
        "The sound you try to import is already in the list!\r\nWould you like to overwrite it?");
}

QString DropOverwriteText() {
    return QStringLiteral("The sound you try to import is already in the sound list!\r\nWould you "
                          "like to overwrite it?");
}

QVector<SoundTypeNotice> SoundTypeNotices(const QString& name) {
    QVector<SoundTypeNotice> notices;
    const QString ext = ExtractFileExt(name).toUpper();
    if (ext == QLatin1String(".MP3"))
        notices.append({171,
                        QStringLiteral("Choosing an Mp3 file type sound can increase the Surprise "
                                       "file size\r\nand may it not play on all computers.\r\n\r\n"
                                       "Is recommended to use MID file type sounds."),
                        QStringLiteral("MsgMp3TypeUsingFiles")});
    if (ext == QLatin1String(".WAV") || ext == QLatin1String(".AU"))
        notices.append({156,
                        QStringLiteral("Choosing an WAV or AU file type sound can increase the "
                                       "Surprise file size.\r\n\r\nIs recommended to use MID file "
                                       "type sounds."),
                        QStringLiteral("MsgWavAuTypeUsingFiles")});
    return notices;
}
