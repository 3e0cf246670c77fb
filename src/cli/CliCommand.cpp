#include "cli/CliCommand.h"

#include <cstdio>

CliArguments ParseArguments(const QStringList& args, const QStringList& valueOptions,
                            int positionalCount) {
    CliArguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            parsed.Positional.append(arg);
            continue;
        }
        const auto equals = arg.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? arg : arg.left(equals);
        if (!valueOptions.contains(name))
            throw UsageError(QStringLiteral("unknown option %1").arg(name).toStdString());
        if (parsed.Options.contains(name))
            throw UsageError(QStringLiteral("%1 is given twice").arg(name).toStdString());
        if (equals >= 0) {
            parsed.Options.insert(name, arg.mid(equals + 1));
        } else {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("%1 needs a value").arg(name).toStdString());
            parsed.Options.insert(name, args[++i]);
        }
    }
    if (parsed.Positional.size() != positionalCount)
        throw UsageError(positionalCount == 0 ? QStringLiteral("unexpected argument %1")
                                                    .arg(parsed.Positional.value(0))
                                                    .toStdString()
                                              : std::string("wrong number of arguments"));
    return parsed;
}

void PrintLine(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void PrintError(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

QString TripleHex(const BgrTriple& triple) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(triple.data()), int(triple.size())).toHex());
}
