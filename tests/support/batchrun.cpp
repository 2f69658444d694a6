#include "support/batchrun.h"

#include <QCoreApplication>
#include <QProcess>

BatchRun runBatchTool(const QStringList &args, const QByteArray &input, const QString &program)
{
    QProcess process;
    process.start(program.isEmpty()
            ? QCoreApplication::applicationDirPath() + QStringLiteral("/folioscope-batch")
            : program,
        args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000))
        return {};
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput(), process.readAllStandardError() };
}

QString ownLines(const QString &err, const QString &prefix)
{
    QString lines;
    for (const QString &line : err.split(QLatin1Char('\n')))
        if (line.startsWith(prefix))
            lines += line + QLatin1Char('\n');
    return lines;
}
