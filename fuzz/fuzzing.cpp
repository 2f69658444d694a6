#include "fuzzing.h"

#include "platform/dialogs.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

void fail(const char *property, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
    std::abort();
}

QString scratchFolder()
{
    static QTemporaryDir folder;
    if (!folder.isValid())
        fail("scratch folder", __FILE__, __LINE__);
    return folder.path();
}

QString writeScratchFile(const QString &name, const QByteArray &bytes)
{
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("scratch file written", __FILE__, __LINE__);
    return path;
}

QList<QByteArray> splitInput(const QByteArray &input, char separator, int parts)
{
    QList<QByteArray> pieces;
    qsizetype start = 0;
    while (pieces.size() + 1 < parts) {
        const qsizetype at = input.indexOf(separator, start);
        if (at < 0)
            break;
        pieces.append(input.mid(start, at - start));
        start = at + 1;
    }
    pieces.append(input.mid(start));
    return pieces;
}

void silenceDialogs()
{
    static platform::SilentDialogs silent;
    platform::setDialogs(&silent);
}

} // namespace fuzzing
