#pragma once

namespace app {
class Page;
}

namespace frame {

// The page control: which page is active, and whether the pages may be used at all.
class PageControl
{
public:
    virtual ~PageControl() = default;
    virtual app::Page *activePage() const = 0;
    virtual void setActivePage(app::Page *page) = 0;
    // The page control refuses every page while the folder view shows a forbidden folder.
    virtual void setPagesEnabled(bool enabled) = 0;
    // The window is not on the screen yet: the pages fill themselves from the settings, and
    // nothing asks or shows anything.
    virtual bool isStarting() const = 0;
};

} // namespace frame
