#pragma once

#include <QByteArray>
#include <QString>

// Files that tests set up and look at afterwards.

// The file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString &path);

// Writes the file, creating the folders on the way; false when it cannot be written.
bool putFile(const QString &path, const QByteArray &bytes);

// putFile for a test's set-up: a file that cannot be written fails the test.
void writeFile(const QString &path, const QByteArray &bytes);
