#pragma once

#include "platform/dialogs.h"

namespace platformui {

// The real message boxes and file dialogs, captioned with the application title.
class QtDialogs : public platform::Dialogs
{
public:
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
    int execDialog(QDialog &dialog) override;
};

// Makes the Qt dialogs the default of platform::dialogs(): every program with windows
// calls it once at start.
void useQtDialogs();

} // namespace platformui
