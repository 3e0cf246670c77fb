#include "app/gCustomColors.h"

#include <QFile>
#include <QSaveFile>

#include <stdexcept>

namespace {

QString SlotName(int slot) {
    return QStringLiteral("Color") + QLatin1Char(static_cast<char>('A' + slot));
}

// The slot a line names, or -1. Names compare without regard to case, as
// the name=value lists always have.
int SlotOfLine(const QString& line) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals != 6)
        return -1;
    const QString name = line.left(equals);
    for (int slot = 0; slot < kCustomColorCount; ++slot) {
        if (name.compare(SlotName(slot), Qt::CaseInsensitive) == 0)
            return slot;
    }
    return -1;
}

QString SlotValue(quint32 colour) {
    return QStringLiteral("%1").arg(colour, 6, 16, QLatin1Char('0')).toLower();
}

} // namespace

QString CustomColorsFileName() {
    return QStringLiteral("CustomColors.dat");
}

QStringList ReadCustomColorLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLatin1(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    // The last line end closes the last line; it starts no new one.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

CustomColorSlots CustomColorsFromLines(const QStringList& lines) {
    CustomColorSlots values;
    values.fill(kEmptyCustomColor);
    std::array<bool, kCustomColorCount> seen{};
    for (const QString& line : lines) {
        const int slot = SlotOfLine(line);
        if (slot < 0 || seen[static_cast<size_t>(slot)])
            continue;
        seen[static_cast<size_t>(slot)] = true;
        bool ok = false;
        const QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        const quint32 colour = value.toUInt(&ok, 16);
        // A value that is not a colour leaves its slot empty rather than
        // failing the dialog.
        values[static_cast<size_t>(slot)] = ok ? colour : kEmptyCustomColor;
    }
    return values;
}

QStringList CustomColorsToLines(QStringList lines, const CustomColorSlots& values) {
    std::array<bool, kCustomColorCount> written{};
    for (QString& line : lines) {
        const int slot = SlotOfLine(line);
        if (slot < 0 || written[static_cast<size_t>(slot)])
            continue;
        written[static_cast<size_t>(slot)] = true;
        line = line.left(line.indexOf(QLatin1Char('=')) + 1) +
               SlotValue(values[static_cast<size_t>(slot)]);
    }
    for (int slot = 0; slot < kCustomColorCount; ++slot) {
        if (!written[static_cast<size_t>(slot)])
            lines.append(SlotName(slot) + QLatin1Char('=') +
                         SlotValue(values[static_cast<size_t>(slot)]));
    }
    return lines;
}

void WriteCustomColorLines(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(
            QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()).toStdString());
}
