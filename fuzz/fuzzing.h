#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// Helpers shared by the fuzz targets.
namespace fuzzing {

// A broken property aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void fail(const char *property, const char *file, int line);

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// One temporary folder for the whole run, removed at exit.
QString scratchFolder();
// Writes bytes to name in the scratch folder and gives the full path.
QString writeScratchFile(const QString &name, const QByteArray &bytes);

// The input cut at every separator byte into at most `parts` pieces (fewer when it has
// fewer separators).
QList<QByteArray> splitInput(const QByteArray &input, char separator, int parts);

// Message boxes say nothing while fuzzing.
void silenceDialogs();

} // namespace fuzzing

#define FUZZ_CHECK(property)                                                                       \
    do {                                                                                           \
        if (!(property))                                                                           \
            fuzzing::fail(#property, __FILE__, __LINE__);                                          \
    } while (false)
