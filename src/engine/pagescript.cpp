#include "engine/pagescript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <cmath>

namespace engine {

namespace {

QString cssColor(const QColor &color)
{
    return color.isValid() ? color.name(QColor::HexRgb) : QStringLiteral("inherit");
}

// A font family name as a CSS string.
QString jsString(const QString &text)
{
    // JSON string syntax is valid JavaScript.
    const QByteArray json = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// Classic grey scroll bars with arrow buttons, drawn by the page's own style sheet because
// the engine's native ones are not 16 pixels wide.
const char scrollBarCss[]
    = "::-webkit-scrollbar{width:16px!important;height:16px!important;background:#f0f0f0}"
      "::-webkit-scrollbar-track{background:#f0f0f0}"
      "::-webkit-scrollbar-thumb{background:#cdcdcd;border:1px solid #f0f0f0}"
      "::-webkit-scrollbar-thumb:hover{background:#a6a6a6}"
      "::-webkit-scrollbar-corner{background:#f0f0f0}"
      "::-webkit-scrollbar-button:single-button{display:block;width:16px;height:16px;"
      "background:#f0f0f0 no-repeat center}"
      "::-webkit-scrollbar-button:single-button:vertical:decrement{background-image:url(\"data:"
      "image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><path "
      "d='M0 6L4 2L8 6z' fill='%23606060'/></svg>\")}"
      "::-webkit-scrollbar-button:single-button:vertical:increment{background-image:url(\"data:"
      "image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><path "
      "d='M0 2L4 6L8 2z' fill='%23606060'/></svg>\")}"
      "::-webkit-scrollbar-button:single-button:horizontal:decrement{background-image:url(\"data:"
      "image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><path "
      "d='M6 0L2 4L6 8z' fill='%23606060'/></svg>\")}"
      "::-webkit-scrollbar-button:single-button:horizontal:increment{background-image:url(\"data:"
      "image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><path "
      "d='M2 0L6 4L2 8z' fill='%23606060'/></svg>\")}";

// Runs in every frame of every document, in a world of its own that the page cannot touch.
const char pageScriptTemplate[] = R"JS(
(function () {
  var TAG = %1;
  if (window.__folioscope) { window.__folioscope.restyle(%2, %3); return; }
  var sheet = null, css = '', linkRule = '', applied = null;
  function post(kind, data) { console.log(TAG + JSON.stringify([kind].concat(data))); }
  function ownLinkColor() { return document.body && document.body.hasAttribute('link'); }
  function restyle(newCss, newLinkRule) {
    css = newCss; linkRule = newLinkRule;
    var text = css + (ownLinkColor() ? '' : linkRule);
    // Replacing the sheet restyles the whole document: only when its text changes.
    if (sheet && text === applied) return;
    try {
      if (!sheet) {
        sheet = new CSSStyleSheet();
        document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);
      }
      sheet.replaceSync(text);
      applied = text;
    } catch (e) {}
  }
  function linkOf(node) {
    while (node && node.nodeType !== 1) node = node.parentNode;
    return node && node.closest ? node.closest('a[href], area[href]') : null;
  }
  function targetOf(link) {
    var target = link.getAttribute('target');
    if (target === null) {
      var base = document.querySelector('base[target]');
      target = base ? base.getAttribute('target') : '';
    }
    return target || '';
  }
  var covered = null;
  function cover(link) {
    if (link === covered) return;
    covered = link;
    post('cover', link ? [targetOf(link), link.getAttribute('href')] : ['', '']);
  }
  document.addEventListener('mouseover', function (e) { cover(linkOf(e.target)); }, true);
  document.addEventListener('mouseout', function (e) { if (!e.relatedTarget) cover(null); }, true);
  // A frame that navigates never sees the mouse leave the link that was followed.
  window.addEventListener('pagehide', function () { cover(null); });
  document.addEventListener('mousedown', function () { post('active', [location.href]); }, true);
  window.addEventListener('focus', function () { post('active', [location.href]); }, true);
  window.addEventListener('click', function (e) {
    if (e.defaultPrevented || e.button !== 0) return;
    var link = linkOf(e.target);
    if (!link) return;
    post('active', [location.href]);
    var data = JSON.stringify([targetOf(link), link.getAttribute('href'), location.href]);
    if (prompt(TAG + 'click', data) === '1') e.preventDefault();
  }, false);
  document.addEventListener('DOMContentLoaded', function () { restyle(css, linkRule); });
  // The engine's reload keeps the main document's scroll position but not a frame's: frames
  // report theirs (by their path of indexes from the top), and take it back when told.
  if (window !== top) {
    var framePath = function () {
      var path = [];
      for (var w = window; w !== top; w = w.parent)
        for (var i = 0; i < w.parent.frames.length; ++i)
          if (w.parent.frames[i] === w) { path.unshift(i); break; }
      return path.join('.');
    };
    var scrollReport = 0;
    var reportScroll = function () {
      post('scroll', [framePath(), location.href, String(scrollX), String(scrollY)]);
    };
    // At once, then at most every 50 ms and once more after the last.
    window.addEventListener('scroll', function () {
      if (scrollReport) return;
      reportScroll();
      scrollReport = setTimeout(function () { scrollReport = 0; reportScroll(); }, 50);
    });
    window.addEventListener('message', function (e) {
      var s = e.data && e.data.folioscopeScroll;
      if (s && s.url === location.href) scrollTo(s.x, s.y);
    });
  }
  // The main document says that it exists, and when its first frame is drawn: until then the
  // view still shows the document before it.
  if (window === top) {
    var id = String(Math.random()).slice(2);
    post('document', [id, location.href]);
    requestAnimationFrame(function () {
      requestAnimationFrame(function () { post('drawn', [id]); });
    });
  }
  window.__folioscope = { restyle: restyle };
  restyle(%2, %3);
})();
)JS";

} // namespace

int pointsToPixels(int points)
{
    return int(std::lround(points * 96.0 / 72.0));
}

QString defaultStyleSheet(const DisplaySettings &settings, bool textSelectable)
{
    QString css = QStringLiteral(":where(html){color:") + cssColor(settings.fontColor)
        + QStringLiteral("}") + QString::fromLatin1(scrollBarCss);
    if (!textSelectable)
        css += QStringLiteral("*{-webkit-user-select:none!important;user-select:none!important}");
    return css;
}

QString linkColorRule(const QColor &color)
{
    return QStringLiteral(":where(:link){color:") + cssColor(color) + QStringLiteral("}");
}

QString messageTag()
{
    return QStringLiteral("\x01"
                          "folioscope:");
}

QString pageScript(const QString &styleSheet, const QString &linkRule)
{
    return QString::fromLatin1(pageScriptTemplate)
        .arg(jsString(messageTag()), jsString(styleSheet), jsString(linkRule));
}

QString restyleScript(const QString &styleSheet, const QString &linkRule)
{
    return QStringLiteral("window.__folioscope && window.__folioscope.restyle(%1, %2);")
        .arg(jsString(styleSheet), jsString(linkRule));
}

QString frameProbeScript(quint64 serial, int width, int height)
{
    // A resize reaches the page a few frames late; until it has, a frame shows the old size.
    return QStringLiteral("(function () { var tries = 0; function step() {"
                          " if ((innerWidth === %3 && innerHeight === %4) || ++tries > 30)"
                          " requestAnimationFrame(function () { requestAnimationFrame(function () {"
                          " console.log(%1 + JSON.stringify(['frame', '%2'])); }); });"
                          " else requestAnimationFrame(step); }"
                          " requestAnimationFrame(step); })();")
        .arg(jsString(messageTag()))
        .arg(serial)
        .arg(width)
        .arg(height);
}

bool parsePageMessage(const QString &text, PageMessage *message)
{
    const QString tag = messageTag();
    if (!text.startsWith(tag))
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(text.mid(tag.size()).toUtf8());
    if (!doc.isArray() || doc.array().isEmpty())
        return false;
    const QJsonArray array = doc.array();
    message->kind = array.first().toString();
    message->fields.clear();
    for (qsizetype i = 1; i < array.size(); ++i)
        message->fields.append(array.at(i).toString());
    return true;
}

} // namespace engine
