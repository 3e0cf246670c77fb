#pragma once

#include "app/gVars.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The builder's three sound slots, and the decisions the sound library
// dialog takes about them.

enum class SoundSlot { Packet, OpenEffect, Surprise };

QString& SlotValue(BuilderState& state, SoundSlot slot);
const QString& SlotValue(const BuilderState& state, SoundSlot slot);

// Puts value into the slot. True when the value really changed, so the
// caller knows to invalidate the last build.
bool EnterSlotSound(BuilderState& state, SoundSlot slot, const QString& value);

// "Packet", "Open effect", "Surprise" for each slot holding exactly name,
// in that order.
QStringList SlotWordsHolding(const BuilderState& state, const QString& name);

// "a", "a and b", "a, b and c".
QString JoinSlotWords(const QStringList& words);

// The refusal to remove a sound that slots hold; words already joined.
QString RemoveRefusalText(const QString& name, const QString& joinedWords);
QString RemoveQuestionText(const QString& name);

// The dialog's and the slots' overwrite questions differ in one word.
QString ImportOverwriteText();
QString DropOverwriteText();

// The notices about costly sound types.
struct SoundTypeNotice {
    int ClientHeight;
    QString Text;
    QString ValueName; // do-not-show flag under the flags key
};

// The notices WarnSoundType shows for name, a file name or an extension.
QVector<SoundTypeNotice> SoundTypeNotices(const QString& name);
