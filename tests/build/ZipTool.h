#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// Python's zipfile as the independent reader of the program's archives.
namespace ziptool {

// {"entries": [...]} or {"error": "..."}; password null for none.
QJsonObject List(const QString& archive, const QString& password = {});
// A plain ZIP holding name=hex entries.
void Make(const QString& archive, const QStringList& entries);

} // namespace ziptool
