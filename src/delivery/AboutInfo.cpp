#include "delivery/AboutInfo.h"

#include "app/gSite.h"

#include <QDate>
#include <QFile>
#include <QStringList>

#include <cmath>

QString ProgramVersion() {
    return QStringLiteral(ZORVANE_VERSION);
}

QString VersionText(const QString& version) {
    if (version.isEmpty())
        return {};
    QStringList parts = version.split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts.append(QStringLiteral("0"));
    return QStringLiteral("v") + parts.mid(0, 4).join(QLatin1Char('.'));
}

QString YearRange(int currentYear) {
    if (currentYear <= 2005)
        return QStringLiteral("2005");
    return QStringLiteral("2005-") + QString::number(currentYear);
}

QString MakerName() {
    QString name;
    for (std::size_t i = 0; i < gSite::kMakerNameScrambled.size(); ++i)
        name +=
            QChar(static_cast<char16_t>(gSite::kMakerNameScrambled[i] ^ ((0x35 + 7 * i) & 0xFF)));
    return name;
}

QString AboutVersionLabel(const QString& versionText, int currentYear) {
    return QStringLiteral("Zorvane ") + versionText + QStringLiteral("\nCopyright \u00A9 ") +
           YearRange(currentYear) + QLatin1Char(' ') + MakerName();
}

namespace {

// The number of a "Name:   1234 kB" line, in bytes; -1 when absent.
qint64 MemInfoBytes(const QList<QByteArray>& lines, const QByteArray& name) {
    for (const QByteArray& line : lines) {
        if (!line.startsWith(name + ':'))
            continue;
        const QList<QByteArray> fields = line.mid(name.size() + 1).simplified().split(' ');
        bool ok = false;
        const qint64 value = fields.value(0).toLongLong(&ok);
        if (!ok || value < 0)
            return -1;
        const bool kilobytes = fields.value(1) == "kB";
        return kilobytes ? value * 1024 : value;
    }
    return -1;
}

} // namespace

MemoryStatus ParseMemInfo(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    MemoryStatus status;
    const qint64 total = MemInfoBytes(lines, "MemTotal");
    if (total <= 0)
        return status;
    status.TotalPhys = total;
    qint64 available = MemInfoBytes(lines, "MemAvailable");
    if (available < 0)
        available = MemInfoBytes(lines, "MemFree");
    if (available < 0)
        return status;
    const double used = 1.0 - static_cast<double>(available) / static_cast<double>(total);
    status.MemoryLoad = qBound(0, static_cast<int>(std::lround(100.0 * used)), 100);
    return status;
}

MemoryStatus ReadMemoryStatus(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // /proc files report no size; read them to the end.
    return ParseMemInfo(file.readAll());
}

QString FormatTotalMemory(qint64 bytes, const QLocale& locale) {
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(bytes / 1024) + QStringLiteral(" KB");
}

QString FormatMemoryLoad(int percent) {
    return QString::number(percent) + QStringLiteral(" %");
}

namespace {

AboutFactsReader& CurrentFactsReader() {
    static AboutFactsReader reader;
    return reader;
}

} // namespace

AboutFacts ReadAboutFacts() {
    if (const AboutFactsReader& reader = CurrentFactsReader())
        return reader();
    AboutFacts facts;
    facts.VersionText = VersionText(ProgramVersion());
    facts.CurrentYear = QDate::currentDate().year();
    facts.Memory = ReadMemoryStatus();
    return facts;
}

AboutFactsReader SetAboutFactsReader(AboutFactsReader reader) {
    AboutFactsReader previous = std::move(CurrentFactsReader());
    CurrentFactsReader() = std::move(reader);
    return previous;
}
