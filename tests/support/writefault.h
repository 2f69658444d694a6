#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

// Makes every write of this process to a regular file stop after `bytes` bytes, as a full disk
// does half-way through a file: write() then fails with EFBIG (SIGXFSZ is ignored meanwhile).
// The old limit and signal handling come back at the end of the scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // The same for a child process, called between fork and exec (only async-signal-safe
    // calls), e.g. from QProcess::setChildProcessModifier.
    static void applyInChild(qint64 bytes);

private:
    rlimit m_old {};
    struct sigaction m_oldAction {
    };
};

// The entries of `folder` other than `expected`: what a failed write left behind.
QStringList strayFiles(const QString &folder, const QStringList &expected);

// Sets the file's modification time `seconds` before now; false when it cannot.
bool ageFile(const QString &path, int seconds);
