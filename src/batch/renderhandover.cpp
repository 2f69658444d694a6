// The commands that render pages, and resize, as folioscope-batch runs them: by the program
// beside it that holds the browser engine, with the same arguments, streams and exit status.
#include "application.h"
#include "batchargs.h"
#include "resizecommand.h"
#include "snapshotcommand.h"
#include "thumbscommand.h"
#include "visualcheckcommand.h"

#include "platform/shell.h"

#include <QCoreApplication>
#include <QProcess>


namespace batch {

namespace {

QString renderProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-render")
        + platform::programSuffix();
}

int cannotStart(QIODevice &err, const QString &program, const QString &reason)
{
    writeLine(err, QStringLiteral("folioscope-batch: cannot start %1: %2").arg(program, reason));
    return ExitFailed;
}

int handOver(QIODevice &err)
{
    const QString program = renderProgram();
    if (char **argv = rememberedArguments()) {
        // Nothing has been written yet, so nothing is lost with this process.
        const QString reason = platform::replaceProcessWith(program, argv);
        if (!reason.isEmpty())
            return cannotStart(err, program, reason);
    }
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
