#include "engine/fullpage.h"

#include "engine/captureform.h"
#include "engine/htmlview.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace engine {

namespace {

// Runs in the page and in every frame it can reach; answers the page's full height.
const char kStillPage[] = R"JS(
(masks => {
  const still = doc => {
    const style = doc.createElement('style');
    style.textContent = `*, *::before, *::after {
        animation-duration: 0s !important; animation-delay: 0s !important;
        animation-iteration-count: 1 !important; transition: none !important;
        caret-color: transparent !important; scroll-behavior: auto !important; }
      html { scrollbar-width: none !important; }
      ::-webkit-scrollbar { display: none !important; }`;
    (doc.head || doc.documentElement).appendChild(style);
    for (const mask of masks) {
      try { style.sheet.insertRule(mask + ' { visibility: hidden !important; }', style.sheet.cssRules.length); }
      catch (e) { /* a selector the engine does not take hides nothing */ }
    }
    for (const animation of doc.getAnimations ? doc.getAnimations() : []) {
      try { animation.finish(); } catch (e) { animation.cancel(); }
    }
    for (let i = 0; i < doc.defaultView.frames.length; ++i) {
      try { still(doc.defaultView.frames[i].document); } catch (e) { /* another origin */ }
    }
  };
  if (document.documentElement) still(document);
  window.scrollTo(0, 0);
  const body = document.body ? document.body.scrollHeight : 0;
  const root = document.documentElement ? document.documentElement.scrollHeight : 0;
  return Math.max(body, root);
})(%1)
)JS";

const char kFontsLoaded[] = "document.fonts ? document.fonts.status === 'loaded' : true";

// Web fonts the page asked for load after the load event; a capture must not catch them half-way.
void waitForFonts(HtmlView *view)
{
    QElapsedTimer waited;
    waited.start();
    while (!view->evaluateJavaScript(QString::fromLatin1(kFontsLoaded)).toBool() && waited.elapsed() < 3000)
        view->waitForFrame(50);
}

} // namespace

FullPageShot captureFullPage(CaptureForm &form, const FullPageSettings &settings)
{
    HtmlView *view = form.view();
    const QSize base = form.baseSize();
    const QString masks = QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(settings.masks)).toJson(QJsonDocument::Compact));
    FullPageShot shot;
    shot.pageHeight = std::max(view->evaluateJavaScript(QString::fromLatin1(kStillPage).arg(masks)).toInt(), 1);
    waitForFonts(view);
    const int height = std::clamp(shot.pageHeight, 1, std::max(settings.maxHeight, 1));
    form.setLayoutSize(QSize(base.width(), height));
    view->waitForFrame(2000);
    shot.picture = form.capture();
    form.setLayoutSize(base);
    return shot;
}

} // namespace engine
