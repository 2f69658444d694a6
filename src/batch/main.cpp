#include "formatcommand.h"
#include "listcommands.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

QString usage()
{
    return QStringLiteral("Usage: folioscope-batch COMMAND [OPTIONS]\n"
                          "\n"
                          "Commands:\n"
                          "  format    format, compress or trim an HTML page (see "
                          "\"folioscope-batch format --help\")\n"
                          "  search    list the files of a folder as a file list\n"
                          "  verify    check a file list against the disk\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help    show this text\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QFile in;
    QFile out;
    QFile err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);

    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == u"--help" || command == u"-h") {
        out.write(usage().toLocal8Bit());
        return batch::ExitOk;
    }
    if (command == u"format")
        return batch::runFormatCommand(args.mid(1), in, out, err,
                                       QCoreApplication::applicationDirPath());
    if (command == u"search")
        return batch::runSearchCommand(
            args.mid(1), out, err, QCoreApplication::applicationDirPath());
    if (command == u"verify")
        return batch::runVerifyCommand(args.mid(1), out, err);
    const QString problem = command.isEmpty()
                                ? QStringLiteral("no command given")
                                : QStringLiteral("unknown command \"%1\"").arg(command);
    err.write((QStringLiteral("folioscope-batch: ") + problem
               + QStringLiteral(" (see folioscope-batch --help)\n"))
                  .toLocal8Bit());
    return batch::ExitUsage;
}
