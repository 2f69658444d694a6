#include "support/scripteddialogs.h"

#include <QDialog>

ScriptedDialogs::ScriptedDialogs() { platform::setDialogs(this); }

ScriptedDialogs::~ScriptedDialogs() { platform::setDialogs(nullptr); }

QStringList ScriptedDialogs::texts(const QString &kind) const
{
    QStringList result;
    for (const Call &call : calls)
        if (call.kind == kind)
            result.append(call.text);
    return result;
}

platform::Answer ScriptedDialogs::nextAnswer(platform::Answer whenNone)
{
    if (whileAsking)
        whileAsking();
    return answers.isEmpty() ? whenNone : answers.takeFirst();
}

QString ScriptedDialogs::nextPath() { return paths.isEmpty() ? QString() : paths.takeFirst(); }

void ScriptedDialogs::ShowInfo(const QString &text) { calls.append({QStringLiteral("info"), text}); }

bool ScriptedDialogs::AskYesNo(const QString &text)
{
    calls.append({QStringLiteral("yesno"), text});
    return nextAnswer(platform::Answer::No) == platform::Answer::Yes;
}

platform::Answer ScriptedDialogs::AskYesNoCancel(const QString &text)
{
    calls.append({QStringLiteral("yesnocancel"), text});
    return nextAnswer(platform::Answer::Cancel);
}

void ScriptedDialogs::errorBox(const QString &text) { calls.append({QStringLiteral("error"), text}); }

void ScriptedDialogs::plainMessage(const QString &text)
{
    calls.append({QStringLiteral("plain"), text});
}

void ScriptedDialogs::beep() { calls.append({QStringLiteral("beep"), QString()}); }

QString ScriptedDialogs::openFileName(const QString &caption, const QString &, const QString &)
{
    calls.append({QStringLiteral("open"), caption});
    return nextPath();
}

QStringList ScriptedDialogs::openFileNames(const QString &caption, const QString &,
                                           const QString &)
{
    calls.append({QStringLiteral("openmany"), caption});
    const QString path = nextPath();
    return path.isEmpty() ? QStringList() : path.split(QLatin1Char('\n'));
}

QString ScriptedDialogs::saveFileName(const QString &caption, const QString &startPath,
                                      const QString &)
{
    calls.append({QStringLiteral("save"), startPath.isEmpty() ? caption : startPath});
    return nextPath();
}

QString ScriptedDialogs::saveFileNameWithFilter(const QString &caption,
                                                const QString &startPath, const QString &filter,
                                                QString *selectedFilter)
{
    if (!filters.isEmpty() && selectedFilter)
        *selectedFilter = filters.takeFirst();
    return saveFileName(caption, startPath, filter);
}

QString ScriptedDialogs::folderName(const QString &, const QString &startFolder)
{
    calls.append({QStringLiteral("folder"), startFolder});
    return nextPath();
}

int ScriptedDialogs::execDialog(QDialog &dialog)
{
    calls.append({QStringLiteral("dialog"), dialog.windowTitle()});
    dialog.setResult(QDialog::Rejected);
    if (dialogScripts.isEmpty())
        return QDialog::Rejected;
    const std::function<void(QDialog &)> script = dialogScripts.takeFirst();
    dialog.show();
    script(dialog);
    const int result = dialog.isVisible() ? int(QDialog::Rejected) : dialog.result();
    dialog.hide();
    return result;
}
