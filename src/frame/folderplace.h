#pragma once

#include <QString>

namespace frame {

// The Folder View's folder and mask, where the other pages look for files, and its
// thumbnail corner.
class FolderPlace
{
public:
    virtual ~FolderPlace() = default;
    // With one trailing separator.
    virtual QString currentFolder() const = 0;
    virtual QString currentMask() const = 0;
    // The thumbnail corner shows the thumbnail of a page.
    virtual void showMiniThumb(const QString &page) = 0;
    // "Save As" wrote a copy into the current folder: the file list is read again and the
    // copy selected in it.
    virtual void showSavedCopy(const QString &path) = 0;
};

} // namespace frame
