#pragma once

#include <QString>

// The settings store. Keys are registry-style paths; on this platform each
// product's keys live in one INI file, a group per remaining key part.
// Every call opens the store afresh: no cache, another process's change is
// seen at once.

// Options and remembered choices.
extern const QString kSettingsKey;
// Do-not-show-again flags of the message box.
extern const QString kFlagsKey;

// The value's text, or empty when it is missing, the store is missing,
// unreadable or damaged, or the value is not plain text.
QString ReadSetting(const QString& key, const QString& valueName);

// Stores text at once. Throws std::runtime_error when the store cannot be
// written; the file is then left as it was.
void WriteSetting(const QString& key, const QString& valueName, const QString& text);

// True when a value was there and has been deleted.
bool DeleteSetting(const QString& key, const QString& valueName);

// The INI file that holds key, or empty when key names no product.
QString SettingsFilePath(const QString& key);
