#include "support/tempdir.h"

#include <QFile>

#include <filesystem>
#include <system_error>

TemporaryDir::~TemporaryDir()
{
    if (autoRemove() && isValid())
        removeTree(path());
}

bool removeTree(const QString &path)
{
#ifdef Q_OS_WIN
    const std::filesystem::path native(path.toStdWString());
#else
    const std::filesystem::path native(QFile::encodeName(path).toStdString());
#endif
    std::error_code error;
    std::filesystem::remove_all(native, error);
    return !error;
}
