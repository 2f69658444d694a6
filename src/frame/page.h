#pragma once

#include "frame/contextitems.h"
#include "frame/selection.h"

#include <QString>

class QWidget;

namespace frame {

// One page of the main window, as Qt Creator's modes are: the frame shows its widget in the
// page control and knows nothing else of its inside. The selection queries answer for this
// page's own list.
class Page : public SelectionQueries
{
public:
    ~Page() override;

    // The tab's caption, to which the frame adds the selection counts.
    virtual QString title() const = 0;
    // What the caption's counts count: "files" unless the entries are something else.
    virtual QString entryNoun() const;
    virtual QWidget *widget() = 0;
    // Start-up, once the settings are read: the page fills itself from them.
    virtual void start() = 0;
    // The page became the active one: it refreshes itself and takes the keyboard focus.
    virtual void activate() = 0;
    // What the hint line says on arrival at the page; empty for the current file, as ever.
    virtual QString arrivalHint() const;
    // The page shows the borrowed browser or editor: leaving it with unsaved changes asks
    // first, and arriving on it loads its current file into them.
    virtual bool hostsViews() const = 0;

    // Whether the shared context menu offers the item while this page is active.
    virtual bool offersContextItem(ContextItem item) const = 0;
    // The page that serves a page-specific item runs it on the active page's selection and
    // returns true; every other page returns false.
    virtual bool runContextItem(ContextItem item) = 0;
};

// The tab's caption: the page's title, with the selection counts when they are its own.
QString tabCaption(const Page &page, const SelectionCount &counts);

} // namespace frame
