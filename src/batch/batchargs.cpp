#include "batchargs.h"

#include "platform/filenames.h"

#include <algorithm>

namespace batch {

namespace {

char **g_arguments = nullptr;

} // namespace

void rememberArguments(char **argv)
{
    g_arguments = argv;
}

char **rememberedArguments()
{
    return g_arguments;
}

QStringList decodedArguments(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc && argv[i]; ++i)
        args.append(platform::decodeFileName(argv[i]));
    return args;
}

void writeLine(QIODevice &device, const QString &line)
{
    device.write((line + QLatin1Char('\n')).toLocal8Bit());
}

bool isOption(const QString &arg, const QString &name)
{
    return arg == name || arg.startsWith(name + QLatin1Char('='));
}

bool takeValue(const QStringList &args, qsizetype &i, const QString &name, QString *value)
{
    const QString &arg = args.at(i);
    if (arg == name) {
        if (i + 1 >= args.size())
            return false;
        *value = args.at(++i);
        return true;
    }
    *value = arg.sliced(name.size() + 1);
    return true;
}

QString standardInputName()
{
    return QStringLiteral("standard input");
}

bool readAtMost(QIODevice &in, qint64 maxBytes, QByteArray *bytes)
{
    constexpr qint64 kPiece = qint64(1) << 20;
    QByteArray data;
    for (;;) {
        const QByteArray piece = in.read(std::min(kPiece, maxBytes + 1 - data.size()));
        if (piece.isEmpty())
            break;
        data += piece;
        if (data.size() > maxBytes)
            return false;
    }
    *bytes = std::move(data);
    return true;
}

void reportNoMemory(QIODevice &err, const QString &prefix, const QString &file)
{
    writeLine(err, prefix + QStringLiteral("not enough memory for ") + file);
}

} // namespace batch
