#pragma once

namespace engine {
class HtmlView;
}

namespace frame {

// The browser and the editor that the frame lends to the pages that show them.
class Views
{
public:
    virtual ~Views() = default;
    // Loads the active page's current file into the browser, the editor and the thumbnail
    // corner (unless it is there already and force is false); empties them when there is
    // none.
    virtual void showFileInViews(bool force) = 0;
    virtual void clearViews() = 0;
    virtual void setViewerButtonState() = 0;
    // The internal browser, whose display settings thumbnails are rendered with; may be null.
    virtual engine::HtmlView *browserView() = 0;
};

} // namespace frame
