#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Stands in for the message boxes and file dialogs: records every call and answers from
// the scripts the test gave. Installed for its lifetime.
class ScriptedDialogs : public platform::Dialogs
{
public:
    struct Call {
        QString kind; // "info", "yesno", "yesnocancel", "error", "plain", "beep", "open", ...
        QString text;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Answers for AskYesNo (true = Yes) and AskYesNoCancel, taken in order. When they run out,
    // AskYesNo answers No and AskYesNoCancel answers Cancel.
    QList<platform::Answer> answers;
    // Results of the file and folder dialogs, taken in order; empty (cancel) when they run out.
    QStringList paths;
    // Filters chosen in the save dialogs with several filters, taken in order; when they run
    // out the filter shown first stays.
    QStringList filters;

    // Parts played in the program's own dialogs, taken in order: each gets the shown dialog,
    // sets its controls and presses its buttons. A dialog left open counts as cancelled;
    // without a script left, every dialog is cancelled.
    QList<std::function<void(QDialog &)>> dialogScripts;

    // Runs at every question before it is answered, to look at the screen the user sees then.
    std::function<void()> whileAsking;

    QList<Call> calls;
    QStringList texts(const QString &kind) const;
    int count(const QString &kind) const { return int(texts(kind).size()); }
    QString lastText() const { return calls.isEmpty() ? QString() : calls.constLast().text; }

    void ShowInfo(const QString &text) override;
    bool AskYesNo(const QString &text) override;
    platform::Answer AskYesNoCancel(const QString &text) override;
    void errorBox(const QString &text) override;
    void plainMessage(const QString &text) override;
    void beep() override;
    QString openFileName(const QString &caption, const QString &folder,
                         const QString &filter) override;
    QStringList openFileNames(const QString &caption, const QString &folder,
                              const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &startPath,
                         const QString &filter) override;
    QString saveFileNameWithFilter(const QString &caption, const QString &startPath,
                                   const QString &filters, QString *selectedFilter) override;
    QString folderName(const QString &caption, const QString &startFolder) override;
    // Recorded as "dialog" with the window title.
    int execDialog(QDialog &dialog) override;

private:
    platform::Answer nextAnswer(platform::Answer whenNone);
    QString nextPath();
};
