#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary folder that goes with everything in it, names that are not valid in the file
// system's encoding too: QTemporaryDir's own clean-up cannot remove those and leaves the
// folder behind.
class TemporaryDir : public QTemporaryDir
{
public:
    using QTemporaryDir::QTemporaryDir;
    ~TemporaryDir();
    TemporaryDir(const TemporaryDir &) = delete;
    TemporaryDir &operator=(const TemporaryDir &) = delete;
};

// Removes `path` and everything below it by the names' bytes; links are removed, never
// followed. False when something stayed.
bool removeTree(const QString &path);
