#pragma once

#include <QString>
#include <QStringList>

class QDialog;

namespace platform {

// The answers of AskYesNoCancel.
enum class Answer { Yes, No, Cancel };

// Every message box and file dialog of the program goes through this interface, so that
// logic never blocks in a modal loop of its own and tests can answer in its place.
class Dialogs
{
public:
    virtual ~Dialogs();

    virtual void ShowInfo(const QString &text) = 0;
    virtual bool AskYesNo(const QString &text) = 0;
    virtual Answer AskYesNoCancel(const QString &text) = 0;
    virtual void errorBox(const QString &text) = 0;
    // A box with no icon, only "OK".
    virtual void plainMessage(const QString &text) = 0;
    virtual void beep() = 0;

    // File dialogs return an empty text (or list) when the user cancels.
    virtual QString openFileName(
        const QString &caption, const QString &folder, const QString &filter)
        = 0;
    // The filter's entries ("Pages (*.htm *.asp);;...") list the files their patterns take by
    // the folder view's rule (FileMask): "*.htm" takes page.html.
    virtual QStringList openFileNames(
        const QString &caption, const QString &folder, const QString &filter)
        = 0;
    // The dialog asks itself before it lets an existing file be chosen.
    virtual QString saveFileName(
        const QString &caption, const QString &startPath, const QString &filter)
        = 0;
    // The same with a filter list of several entries: *selectedFilter names the entry shown
    // first and receives the one chosen. By default the first choice stays.
    virtual QString saveFileNameWithFilter(const QString &caption, const QString &startPath,
        const QString &filters, QString *selectedFilter);
    // The folder chosen, or typed: a typed folder may not exist yet.
    virtual QString folderName(const QString &caption, const QString &startFolder) = 0;
    // The folder dialog of commands that write into the folder: a folder that does not exist
    // yet is created after asking. Empty when the dialog is cancelled, the question declined or
    // the folder cannot be created (after an error box).
    QString outputFolder(const QString &caption, const QString &startFolder);

    // Runs one of the program's own dialogs modally; returns QDialog::Accepted or Rejected.
    // Without a screen nothing is shown and the dialog counts as rejected.
    virtual int execDialog(QDialog &dialog);
};

// For runs without a screen: every file and folder dialog is cancelled, beeps are silent.
class HeadlessDialogs : public Dialogs
{
public:
    void beep() override { }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QStringList openFileNames(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

// Shows nothing and answers every question with No or Cancel: for unattended runs.
class SilentDialogs : public HeadlessDialogs
{
public:
    void ShowInfo(const QString &) override { }
    bool AskYesNo(const QString &) override { return false; }
    Answer AskYesNoCancel(const QString &) override { return Answer::Cancel; }
    void errorBox(const QString &) override { }
    void plainMessage(const QString &) override { }
};

// The dialogs in use: a replacement if one is installed, else the default. The default is
// silent until a program with windows installs the real ones (this layer has no windows).
Dialogs &dialogs();
// Installs a replacement (not owned); nullptr puts the default back.
void setDialogs(Dialogs *replacement);
// The dialogs used when no replacement is installed (not owned).
void setDefaultDialogs(Dialogs *dialogs);

// The caption of every message box. Kept apart from the application's display name, which
// the platform would append to every window title.
void setApplicationTitle(const QString &title);
QString applicationTitle();

} // namespace platform
