#include "formatcommand.h"
#include "snapshotcommand.h"

#include "platform/startup.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QString usage()
{
    return QStringLiteral("Usage: folioscope-batch COMMAND [OPTIONS]\n"
                          "\n"
                          "Commands:\n"
                          "  format    format, compress or trim an HTML page (see "
                          "\"folioscope-batch format --help\")\n"
                          "  snapshot  write framed snapshots of pages as JPG or BMP files\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help    show this text\n");
}

} // namespace

int main(int argc, char **argv)
{
    // Commands that render pages need the widgets and the engine, without a screen.
    const bool renders = argc > 1 && qstrcmp(argv[1], "snapshot") == 0;
    if (renders) {
        platform::prepareHeadlessApplicationStart();
        // The engine's start-up chatter is not a problem of the user's files: stderr keeps
        // one line per problem.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
            if (type == QtFatalMsg)
                std::abort();
        });
    }
    const std::unique_ptr<QCoreApplication> app = renders
        ? std::make_unique<QApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QFile in;
    QFile out;
    QFile err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);

    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.value(0);
    if (command == u"--help" || command == u"-h") {
        out.write(usage().toLocal8Bit());
        return batch::ExitOk;
    }
    if (command == u"format")
        return batch::runFormatCommand(args.mid(1), in, out, err,
                                       QCoreApplication::applicationDirPath());
    if (command == u"snapshot")
        return batch::runSnapshotCommand(args.mid(1), out, err);
    const QString problem = command.isEmpty()
                                ? QStringLiteral("no command given")
                                : QStringLiteral("unknown command \"%1\"").arg(command);
    err.write((QStringLiteral("folioscope-batch: ") + problem
               + QStringLiteral(" (see folioscope-batch --help)\n"))
                  .toLocal8Bit());
    return batch::ExitUsage;
}
