#include "application.h"
#include "batchargs.h"
#include "checkhtmlcommand.h"
#include "checklinkscommand.h"
#include "cleanthumbscommand.h"
#include "colourrtfcommand.h"
#include "formatcommand.h"
#include "listcommands.h"
#include "replacecommand.h"
#include "resizecommand.h"
#include "snapshotcommand.h"
#include "thumbscommand.h"
#include "visualcheckcommand.h"

#include "platform/commandline.h"
#include "platform/startup.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

struct Streams {
    QFile in;
    QFile out;
    QFile err;
};

struct Command {
    const char *name;
    const char *summary;
    // Commands that render pages need the widgets and the engine, without a screen.
    bool renders;
    std::function<int(const QStringList &args, Streams &io)> run;
};

QString programFolder() { return QCoreApplication::applicationDirPath(); }

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = {
        {"format", "format, compress or trim an HTML page", false,
         [](const QStringList &args, Streams &io) {
             return batch::runFormatCommand(args, io.in, io.out, io.err, programFolder());
         }},
        {"search", "list the files of a folder as a file list", false,
         [](const QStringList &args, Streams &io) {
             return batch::runSearchCommand(args, io.out, io.err, programFolder());
         }},
        {"verify", "check a file list against the disk", false,
         [](const QStringList &args, Streams &io) {
             return batch::runVerifyCommand(args, io.out, io.err);
         }},
        {"resize", "scale a PPM, PNG or BMP picture with the resampler", false,
         [](const QStringList &args, Streams &io) {
             return batch::runResizeCommand(args, io.out, io.err);
         }},
        {"clean-thumbs", "remove orphaned (or all) thumbnails", false,
         [](const QStringList &args, Streams &io) {
             return batch::runCleanThumbsCommand(args, io.out, io.err, programFolder());
         }},
        {"snapshot", "write framed snapshots of pages as JPG or BMP files", true,
         [](const QStringList &args, Streams &io) {
             return batch::runSnapshotCommand(args, io.out, io.err);
         }},
        {"colour-rtf", "the editor's coloured Rich Text of a page", false,
         [](const QStringList &args, Streams &io) {
             return batch::runColourRtfCommand(args, io.in, io.out, io.err);
         }},
        {"check-links", "report the broken local links, anchors and pictures of a site", false,
         [](const QStringList &args, Streams &io) {
             return batch::runCheckLinksCommand(args, io.out, io.err, programFolder());
         }},
        {"check-html", "report the HTML errors of a site's pages", false,
         [](const QStringList &args, Streams &io) {
             return batch::runCheckHtmlCommand(args, io.out, io.err, programFolder());
         }},
        {"replace", "replace text across a site, with a diff first and undo", false,
         [](const QStringList &args, Streams &io) {
             return batch::runReplaceCommand(args, io.out, io.err, programFolder());
         }},
        {"thumbs", "make the thumbnails of pages as \"Make Thumbs\" does", true,
         [](const QStringList &args, Streams &io) {
             return batch::runThumbsCommand(args, io.out, io.err);
         }},
        {"visual-check", "find the pages that look different from their baselines", true,
         [](const QStringList &args, Streams &io) {
             return batch::runVisualCheckCommand(args, io.out, io.err);
         }},
    };
    return table;
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands())
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

QString usage()
{
    QString text = QStringLiteral("Usage: folioscope-batch COMMAND [OPTIONS]\n\nCommands:\n");
    for (const Command &command : commands())
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(command.name), -15)
                    .arg(QLatin1String(command.summary));
    text += QStringLiteral("\n\"folioscope-batch COMMAND --help\" describes a command.\n\n"
                           "Options:\n"
                           "  -h, --help     show this text\n"
                           "      --version  show the version\n");
    return text;
}

// What reached standard output decides the status too: output redirected to a file on a full
// disk must not pass for success (the stream keeps the error until it is flushed).
int finished(const Command &command, int status, Streams &io)
{
    errno = 0;
    const bool written = io.out.flush() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    // A command that failed has said why already.
    if (written || status != batch::ExitOk)
        return status;
    const int reason = errno;
    io.err.write(QStringLiteral("folioscope-batch %1: cannot write the standard output: %2\n")
                     .arg(QLatin1String(command.name),
                         QString::fromLocal8Bit(std::strerror(reason != 0 ? reason : EIO)))
                     .toLocal8Bit());
    return batch::ExitFailed;
}

} // namespace

int main(int argc, char **argv)
{
    batch::rememberArguments(argv);
    const Command *command = argc > 1 ? findCommand(QString::fromLocal8Bit(argv[1])) : nullptr;
    const bool renders = command && command->renders;
    if (renders) {
        platform::prepareHeadlessApplicationStart();
        // The engine's start-up chatter is not a problem of the user's files: stderr keeps
        // one line per problem.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
            if (type == QtFatalMsg)
                std::abort();
        });
    }
    const std::unique_ptr<QCoreApplication> app = batch::makeApplication(argc, argv, renders);
    Streams io;
    io.in.open(stdin, QIODevice::ReadOnly);
    io.out.open(stdout, QIODevice::WriteOnly);
    io.err.open(stderr, QIODevice::WriteOnly);

    const QStringList args = batch::decodedArguments(argc, argv).mid(1);
    const QString name = args.value(0);
    if (name == u"--help" || name == u"-h") {
        io.out.write(usage().toLocal8Bit());
        return batch::ExitOk;
    }
    if (name == u"--version") {
        io.out.write(QStringLiteral("folioscope-batch %1\n")
                         .arg(platform::programVersion())
                         .toLocal8Bit());
        return batch::ExitOk;
    }
    if (command) {
        // The commands that work on one file at a time name it; anything else ends here.
        const int status = batch::withMemoryGuard(io.err,
            QStringLiteral("folioscope-batch %1: ").arg(QLatin1String(command->name)),
            QStringLiteral("this run"), [&] { return command->run(args.mid(1), io); });
        return finished(*command, status, io);
    }
    const QString problem = name.isEmpty() ? QStringLiteral("no command given")
                                           : QStringLiteral("unknown command \"%1\"").arg(name);
    io.err.write((QStringLiteral("folioscope-batch: ") + problem
                  + QStringLiteral(" (see folioscope-batch --help)\n"))
                     .toLocal8Bit());
    return batch::ExitUsage;
}
