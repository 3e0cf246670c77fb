#include "library/PictureImport.h"

#include "app/gUtils.h"

#include <QDir>
#include <QFile>
#include <QSet>

QString PictureDropPatterns() {
    return QStringLiteral("*.bmp;*.gif;*.tga;*.tif;*.png;*.jpg;*.jpeg;*.pcx;*.ico;*.wmf;");
}

QString PictureDialogFilter() {
    return QStringLiteral(
        "All (*.bmp;*.gif;*.tga;*.tif;*.png;*.jpg;*.jpeg;*.pcx;*.ico;*.wmf)|*.bmp;*.gif;*.tga;*."
        "tif;*.png;*.jpg;*.jpeg;*.pcx;*.ico;*.wmf|Bitmaps (*.bmp)|*.bmp|CompuServe GIF Image "
        "(*.gif)|*.gif|Targa (*.tga)|*.tga|TIFF file (*.tif)|*.tif|Portable Network Graphic "
        "(*.png)|*.png|JPEG (*.jpg)|*.jpg|JPEG (*.jpeg)|*.jpeg|ZSoft PC Paintbrush "
        "(*.pcx)|*.pcx|Icons (*.ico)|*.ico|Metafiles (*.wmf)|*.wmf");
}

QString FileExtension(const QString& path) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool AcceptsDroppedFile(const QString& path, const QString& patterns) {
    const QString extension = FileExtension(path).toLower();
    return patterns.contains(QLatin1Char('*') + extension + QLatin1Char(';'));
}

QString ImportTimeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyMMddHHmmsszzz"));
}

QString EditTimeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyyMMddHHmmsszzz"));
}

QString FreeImportName(const QString& folder, const QString& source, const QDateTime& when) {
    const QString extension = FileExtension(source);
    // Names that differ only in case count as taken: the lists find items
    // without regard to case, and some file systems ignore it too.
    QSet<QString> taken;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        taken.insert(entry.toUpper());
    QDateTime stamp = when;
    QString name = ImportTimeStamp(stamp) + extension;
    while (taken.contains(name.toUpper())) {
        stamp = stamp.addMSecs(1);
        name = ImportTimeStamp(stamp) + extension;
    }
    return IncludeBackslash(folder) + name;
}

QString ImportSeriesFolder(const QString& root, const QString& seriesName) {
    if (!seriesName.isEmpty())
        return IncludeBackslash(root + seriesName);
    const QString custom = root + QStringLiteral("Custom/");
    QDir().mkpath(custom);
    return custom;
}

QString CopyIntoSeries(const QString& source, const QString& folder) {
    const QString target = FreeImportName(folder, source, QDateTime::currentDateTime());
    // QFile::copy never overwrites, so a name taken since the check fails
    // the copy instead of replacing a picture.
    if (!QFile::copy(source, target))
        return {};
    return target;
}
