#include "commandargs.h"

#include "batchargs.h"

#include "platform/safefile.h"

namespace batch {

namespace {

// Far beyond any page; a larger file would only exhaust the memory.
constexpr qint64 kLargestInputFile = qint64(1) << 30;

} // namespace

bool parseCommandArguments(
    const QStringList &args, CommandArguments *common, const OptionParser &option, QString *error)
{
    bool filesOnly = false;
    bool haveFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool isOption = !filesOnly && arg.startsWith(QLatin1Char('-')) && arg != u"-";
        if (isOption && (arg == u"--help" || arg == u"-h")) {
            common->help = true;
        } else if (isOption && arg == u"--") {
            filesOnly = true;
        } else if (isOption) {
            switch (option(args, i, error)) {
            case OptionResult::Taken:
                break;
            case OptionResult::Unknown:
                *error = QStringLiteral("unknown option %1").arg(arg);
                return false;
            case OptionResult::Bad:
                return false;
            }
        } else if (haveFile) {
            *error = QStringLiteral("only one FILE may be given");
            return false;
        } else {
            common->file = arg;
            haveFile = true;
        }
    }
    return true;
}

bool readCommandInput(const QString &file, QIODevice &in, QByteArray *bytes, QString *error)
{
    if (file.isEmpty() || file == u"-") {
        if (readAtMost(in, kLargestInputFile, bytes))
            return true;
        *error = QStringLiteral("cannot read %1: The input is too large.").arg(standardInputName());
        return false;
    }
    QString reason;
    if (!platform::readRegularFile(file, kLargestInputFile, bytes, &reason)) {
        *error = QStringLiteral("cannot read %1: %2").arg(file, reason);
        return false;
    }
    return true;
}

} // namespace batch
