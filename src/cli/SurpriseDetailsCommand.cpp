#include "cli/CliCommand.h"

#include "build/DataArchive.h"
#include "build/SurpriseContainer.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const char kHelp[] =
    "Usage: zorvane-cli inspect FILE\n"
    "\n"
    "Prints the record of a built surprise and the entries of its data archive as\n"
    "one JSON object, without running it. Flags are true or false; colours are the\n"
    "three stored bytes in hexadecimal, blue first (\"0000ff\" is red).\n"
    "\n"
    "Exit codes: 0 printed; 1 not a surprise, or damaged; 2 wrong arguments.";

// A JSON text for one value; QJsonObject would sort the keys, and the
// record reads best in its own order.
QString Json(const QJsonValue& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString Member(const char* name, const QJsonValue& value) {
    return QStringLiteral("  \"%1\": %2").arg(QLatin1String(name), Json(value));
}

int Run(const QStringList& arguments) {
    const CliArguments args = ParseArguments(arguments, {}, 1);
    const SurpriseContents contents = ReadSurpriseContainer(args.Positional[0]);
    const SurpriseRecord& r = contents.Record;
    const QList<ArchiveEntry> entries = ReadArchive(contents.Archive, kDataArchivePassword, false);

    QStringList list;
    for (const ArchiveEntry& entry : entries)
        list.append(QStringLiteral("    {\"name\": %1, \"size\": %2, \"encrypted\": %3}")
                        .arg(Json(entry.Name), Json(double(entry.Size)), Json(entry.Encrypted)));
    const QStringList members = {
        Member("EngineSize", double(r.EngineSize)),
        Member("ArchiveSize", double(r.ArchiveSize)),
        Member("BuildTime", r.BuildTime),
        Member("PacketPicture", r.PacketPicture),
        Member("PacketTransparent", r.PacketTransparent),
        Member("PacketTransparentColour", TripleHex(r.PacketTransparentColour)),
        Member("SurprisePicture", r.SurprisePicture),
        Member("SurpriseTransparent", r.SurpriseTransparent),
        Member("SurpriseTransparentColour", TripleHex(r.SurpriseTransparentColour)),
        Member("OpenPassword", r.OpenPassword),
        Member("BuildTag", r.BuildTag),
        Member("PacketSoundFile", r.PacketSoundFile),
        Member("OpenEffectSoundFile", r.OpenEffectSoundFile),
        Member("SurpriseSoundFile", r.SurpriseSoundFile),
        Member("HasGoToUrl", r.HasGoToUrl),
        Member("GoToUrl", r.GoToUrl),
    };
    const QString entriesMember = list.isEmpty() ? QStringLiteral("  \"entries\": []")
                                                 : QStringLiteral("  \"entries\": [\n") +
                                                       list.join(QStringLiteral(",\n")) +
                                                       QStringLiteral("\n  ]");
    PrintLine(QStringLiteral("{\n") + members.join(QStringLiteral(",\n")) + QStringLiteral(",\n") +
              entriesMember + QStringLiteral("\n}"));
    return kExitOk;
}

} // namespace

const CliCommand kInspectCommand = {"inspect", "show a surprise's record and archive as JSON",
                                    kHelp, Run};
