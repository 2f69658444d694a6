// The commands that render pages, and resize, as folioscope-batch runs them: by the program
// beside it that holds the browser engine, with the same arguments, streams and exit status.
#include "application.h"
#include "batchargs.h"
#include "resizecommand.h"
#include "snapshotcommand.h"
#include "thumbscommand.h"
#include "visualcheckcommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace batch {

namespace {

QString renderProgram()
{
    QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-render");
#ifdef Q_OS_WIN
    path += QStringLiteral(".exe");
#endif
    return path;
}

int cannotStart(QIODevice &err, const QString &program, const QString &reason)
{
    writeLine(err, QStringLiteral("folioscope-batch: cannot start %1: %2").arg(program, reason));
    return ExitFailed;
}

int handOver(QIODevice &err)
{
    const QString program = renderProgram();
#ifdef Q_OS_UNIX
    char **argv = rememberedArguments();
    if (argv) {
        // Nothing has been written yet, so nothing is lost with this process.
        ::execv(QFile::encodeName(program).constData(), argv);
        return cannotStart(err, program, QString::fromLocal8Bit(std::strerror(errno)));
    }
#endif
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(program, QCoreApplication::arguments().mid(1));
    if (!process.waitForFinished(-1) && process.error() == QProcess::FailedToStart)
        return cannotStart(err, program, process.errorString());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : ExitFailed;
}

} // namespace

int runSnapshotCommand(const QStringList &, QIODevice &, QIODevice &err)
{
    return handOver(err);
}

int runThumbsCommand(const QStringList &, QIODevice &, QIODevice &err)
{
    return handOver(err);
}

int runResizeCommand(const QStringList &, QIODevice &, QIODevice &err)
{
    return handOver(err);
}

int runVisualCheckCommand(const QStringList &, QIODevice &, QIODevice &err)
{
    return handOver(err);
}

// The rendering commands run in folioscope-render: this executable needs only Qt Core.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv, bool)
{
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace batch
