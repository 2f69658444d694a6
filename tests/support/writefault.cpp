#include "support/writefault.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_old);
    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &m_oldAction);
    rlimit limit = m_old;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    sigaction(SIGXFSZ, &m_oldAction, nullptr);
}

void FileSizeLimit::applyInChild(qint64 bytes)
{
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

QStringList strayFiles(const QString &folder, const QStringList &expected)
{
    QStringList stray = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : expected)
        stray.removeAll(name);
    return stray;
}

bool ageFile(const QString &path, int seconds)
{
    timespec times[2] {};
    times[0].tv_sec = ::time(nullptr) - seconds;
    times[1] = times[0];
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}
