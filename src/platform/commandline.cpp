#include "platform/commandline.h"

#include "platform/filenames.h"

#include <QByteArray>
#include <QByteArrayList>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

QByteArray &noDisplayLine()
{
    static QByteArray line;
    return line;
}

QByteArrayList &heldMessages()
{
    static QByteArrayList messages;
    return messages;
}

// Qt gives up with a fatal message when its platform plugin cannot start, which the window
// system's plugin does only for want of a display.
void holdOrExit(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fputs(noDisplayLine().constData(), stderr);
        std::fflush(stderr);
        std::_Exit(2);
    }
    heldMessages().append(qFormatLogMessage(type, context, message).toLocal8Bit() + '\n');
}

} // namespace

QString programVersion()
{
    return QStringLiteral(FOLIOSCOPE_VERSION);
}

bool hasOption(int argc, char **argv, const char *option)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], option) == 0)
            return true;
    }
    return false;
}

QStringList argumentsAsFileNames(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc && argv[i]; ++i)
        arguments.append(decodeFileName(argv[i]));
    return arguments;
}

int printToStandardOutput(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const bool written
        = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
    return written ? 0 : 1;
}

NoDisplayExit::NoDisplayExit(const QString &line)
{
    noDisplayLine() = line.toLocal8Bit() + '\n';
    qInstallMessageHandler(holdOrExit);
}

NoDisplayExit::~NoDisplayExit()
{
    qInstallMessageHandler(nullptr);
    for (const QByteArray &message : heldMessages())
        std::fputs(message.constData(), stderr);
    heldMessages().clear();
}

} // namespace platform
