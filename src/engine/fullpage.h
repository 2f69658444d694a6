#pragma once

#include "engine/captureoutcome.h"

#include <QImage>
#include <QStringList>

namespace engine {

class CaptureForm;

struct FullPageSettings {
    // Taller pages are cut here, and the cut is said.
    int maxHeight = 10000;
    // CSS selectors of elements that change on every load (a clock, an advert): hidden, their
    // room kept.
    QStringList masks;
};

struct FullPageShot {
    QImage picture;
    int pageHeight = 0; // the page's own height; more than the picture's where it was cut
    bool cut() const { return pageHeight > picture.height(); }
};

// With a page loaded in `form` at its base width: stills what moves (animations and
// transitions finished, the caret and scroll bars hidden, smooth scrolling off), hides the
// masked elements, waits for web fonts, lays the page out at its full height (at most
// maxHeight) and captures it. The form gets its base size back, so that a batch goes on with
// it. The same page captured twice gives the same pixels.
FullPageShot captureFullPage(CaptureForm &form, const FullPageSettings &settings);

} // namespace engine
