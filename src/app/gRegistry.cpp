#include "app/gRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>

#include <memory>
#include <stdexcept>

const QString kSettingsKey = QStringLiteral("\\SoftWare\\QUELV\\Zorvane\\V");
const QString kFlagsKey = QStringLiteral("\\SoftWare\\QUELV\\Zorvane\\S");

namespace {

QString ConfigHome() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

struct StoreLocation {
    QString file;
    QString group;
};

// "\SoftWare\<company>\<product>\<rest>" -> <config>/<company>/<product>.conf, group <rest>.
bool Locate(const QString& key, StoreLocation& where) {
    QStringList parts = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 4 || parts.front().compare(QLatin1String("SoftWare"), Qt::CaseInsensitive))
        return false;
    where.file = ConfigHome() + QLatin1Char('/') + parts[1] + QLatin1Char('/') + parts[2] +
                 QStringLiteral(".conf");
    where.group = parts.mid(3).join(QLatin1Char('/'));
    return true;
}

// Qt's INI reader keeps parsed files in a process-wide cache and reports a
// format error only on the first parse, so the file is judged here on every
// open: text that is not UTF-8, or a group header without its closing bracket.
bool StoreIsDamaged(const QString& file) {
    QFile in(file);
    if (!in.exists())
        return false;
    if (!in.open(QIODevice::ReadOnly))
        return true;
    const QByteArray bytes = in.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return true;
    const auto lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('[')) && !line.contains(QLatin1Char(']')))
            return true;
    }
    return false;
}

// An open store positioned on the key's group, or null when it cannot be used.
std::unique_ptr<QSettings> OpenKey(const QString& key) {
    StoreLocation where;
    if (!Locate(key, where))
        return nullptr;
    if (StoreIsDamaged(where.file))
        return nullptr;
    auto store = std::make_unique<QSettings>(where.file, QSettings::IniFormat);
    if (store->status() != QSettings::NoError)
        return nullptr;
    store->beginGroup(where.group);
    return store;
}

} // namespace

QString SettingsFilePath(const QString& key) {
    StoreLocation where;
    return Locate(key, where) ? where.file : QString();
}

QString ReadSetting(const QString& key, const QString& valueName) {
    const auto store = OpenKey(key);
    if (!store)
        return {};
    const QVariant value = store->value(valueName);
    // Text that the INI reader takes for a list or a typed value is not ours.
    if (value.typeId() != QMetaType::QString)
        return {};
    return value.toString();
}

void WriteSetting(const QString& key, const QString& valueName, const QString& text) {
    StoreLocation where;
    if (!Locate(key, where))
        return;
    QDir().mkpath(QFileInfo(where.file).absolutePath());
    auto store = OpenKey(key);
    // A damaged or unreadable store is not rewritten: that would lose what it holds.
    if (!store)
        throw std::runtime_error(
            QStringLiteral("The settings file %1 cannot be read, so it is not changed.")
                .arg(QDir::toNativeSeparators(where.file))
                .toStdString());
    store->setValue(valueName, text);
    store->sync();
    if (store->status() != QSettings::NoError)
        throw std::runtime_error(QStringLiteral("The settings cannot be written to %1.")
                                     .arg(QDir::toNativeSeparators(where.file))
                                     .toStdString());
}

bool DeleteSetting(const QString& key, const QString& valueName) {
    const auto store = OpenKey(key);
    if (!store || !store->contains(valueName))
        return false;
    store->remove(valueName);
    store->sync();
    return store->status() == QSettings::NoError;
}
