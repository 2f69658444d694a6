#pragma once

#include "platform/dialogs.h"

#include <QString>

#include <functional>
#include <optional>

class QObject;

namespace frame {

// The file in the internal editor, as the pages that change files on disk see it.
class EditedFile
{
public:
    virtual ~EditedFile() = default;
    // The file loaded into the browser and the editor; empty for none.
    virtual QString editedFile() const = 0;
    // The editor holds changes that askSaveChanges would ask about.
    virtual bool hasUnsavedChanges() const = 0;
    // The unsaved-changes question, empty when it did not ask; Cancel also when Yes could
    // not save.
    virtual std::optional<platform::Answer> askSaveChanges() = 0;
    // The same question, asked only when the views show another file than the current one,
    // which loading it would replace.
    virtual std::optional<platform::Answer> askSaveChangesBeforeShowing() = 0;
    // Loads the editor's file again after another writer changed it on disk.
    virtual void reloadEditedFile() = 0;
    // Calls saved with the path each time the editor writes its text to a file, for as long
    // as the receiver lives.
    virtual void followEditorSaves(
        QObject *receiver, const std::function<void(const QString &)> &saved)
        = 0;
};

} // namespace frame
