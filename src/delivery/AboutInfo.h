#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <functional>

// What the about box shows: version, years, maker and the memory summary.

// The program's own version, as compiled in.
QString ProgramVersion();

// "v" and the four numbers major.minor.release.build of version (missing
// numbers count as 0); empty when version is empty.
QString VersionText(const QString& version);

// "2005" up to 2005, otherwise "2005-" and the year.
QString YearRange(int currentYear);

// The maker's name, read back from its scrambled form.
QString MakerName();

// The about box's first lines: product, version, years and maker.
QString AboutVersionLabel(const QString& versionText, int currentYear);

struct MemoryStatus {
    qint64 TotalPhys = 0; // bytes
    int MemoryLoad = 0;   // per cent in use, 0 to 100
};

// From the text of /proc/meminfo: the total is MemTotal; the load is
// 100 * (1 - MemAvailable / MemTotal), rounded (MemFree where the kernel
// has no MemAvailable). Unreadable text gives zeros.
MemoryStatus ParseMemInfo(const QByteArray& text);
MemoryStatus ReadMemoryStatus(const QString& path = QStringLiteral("/proc/meminfo"));

// The total in kilobytes with the locale's thousands separators and " KB".
QString FormatTotalMemory(qint64 bytes, const QLocale& locale = QLocale());
// The load as "%d %%": the number, a space and a per cent sign.
QString FormatMemoryLoad(int percent);

// Everything the about box reads from the system when it is activated.
struct AboutFacts {
    QString VersionText; // VersionText(ProgramVersion())
    int CurrentYear = 0;
    MemoryStatus Memory;
};

// The facts of this program on this system, unless a reader has been set.
AboutFacts ReadAboutFacts();
// Replaces the reader (tests stand in a clock and a memory size) and returns
// the previous one; an empty reader brings back the system's facts.
using AboutFactsReader = std::function<AboutFacts()>;
AboutFactsReader SetAboutFactsReader(AboutFactsReader reader);
