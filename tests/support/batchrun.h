#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one run of the batch tool gave back.
struct BatchRun {
    int exitCode = -1; // -1: it did not start, did not end within two minutes, or crashed
    QByteArray out;
    QByteArray err;
};

// Runs `program` (by default folioscope-batch, built beside the test program) with `args`;
// `input` is its standard input.
BatchRun runBatchTool(
    const QStringList &args, const QByteArray &input = {}, const QString &program = {});

// The lines of standard error that the tool wrote itself (those starting with `prefix`),
// without what the libraries below it print.
QString ownLines(const QString &err, const QString &prefix);
