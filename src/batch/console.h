#pragma once

#include "batchargs.h"

#include "frame/batchprogress.h"
#include "platform/dialogs.h"

#include <QIODevice>
#include <QString>

namespace batch {

// The message boxes of a command: each message goes to the error stream on one line after the
// command's prefix and counts as a problem. Questions answer No, or Yes with force (overwrite).
// Installed for its lifetime.
class ConsoleDialogs : public platform::HeadlessDialogs
{
public:
    ConsoleDialogs(QIODevice &err, const QString &prefix, bool force = false);
    ~ConsoleDialogs() override;

    int problems = 0;
    void report(const QString &text);

    void ShowInfo(const QString &text) override { report(text); }
    bool AskYesNo(const QString &) override { return false; }
    platform::Answer AskYesNoCancel(const QString &text) override;
    void errorBox(const QString &text) override { report(text); }
    void plainMessage(const QString &text) override { report(text); }

private:
    QIODevice &m_err;
    QString m_prefix;
    bool m_force;
};

// The progress lines of a batch on standard output; a console batch is never stopped.
class ConsoleProgress : public frame::BatchProgress
{
public:
    explicit ConsoleProgress(QIODevice &out)
        : m_out(out)
    { }
    void initProgressBar(int) override { }
    void showProgress() override { }
    void setProgressText(const QString &text) override { writeLine(m_out, text); }
    void stepProgress() override { }
    bool stopRequested() const override { return false; }
    void closeProgress() override { }

private:
    QIODevice &m_out;
};

} // namespace batch
