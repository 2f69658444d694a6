// Starting a program on POSIX systems. QProcess hands every argument over in its UTF-8 form,
// so a Latin-1 file name would reach the program as a name that does not exist: here each
// word goes over as the bytes encodeFilePath finds for it.
#include "platform/filenames.h"
#include "platform/shell.h"

#include <QByteArray>
#include <QFile>

#include <vector>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

void reportError(int fd, int error)
{
    [[maybe_unused]] const ssize_t written = ::write(fd, &error, sizeof error);
}

} // namespace

bool launchDetached(const LaunchCommand &command)
{
    if (command.program.isEmpty())
        return false;
    // All the child needs is made before the fork: after it only async-signal-safe calls.
    std::vector<QByteArray> words { encodeFilePath(command.program) };
    for (const QString &argument : command.arguments)
        words.push_back(encodeFilePath(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    struct sigaction defaultAction {
    };
    defaultAction.sa_handler = SIG_DFL;

    // The program's exec closes the pipe; a failed exec writes its errno into it first.
    int report[2];
    if (::pipe(report) != 0)
        return false;
    ::fcntl(report[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(report[1], F_SETFD, FD_CLOEXEC);
    const pid_t middle = ::fork();
    if (middle < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (middle == 0) {
        // The middle process ends at once: the program is nobody's child here, never a zombie.
        ::close(report[0]);
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) {
            ::sigaction(SIGPIPE, &defaultAction, nullptr);
            ::execvp(argv[0], argv.data());
            reportError(report[1], errno);
            ::_exit(127);
        }
        if (program < 0)
            reportError(report[1], errno);
        ::_exit(0);
    }
    ::close(report[1]);
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) { }
    int error = 0;
    ssize_t got = 0;
    do
        got = ::read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 0;
}

QString replaceProcessWith(const QString &program, char **argv)
{
    ::execv(QFile::encodeName(program).constData(), argv);
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace platform
