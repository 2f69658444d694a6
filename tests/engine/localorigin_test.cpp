#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/htmlview.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr QRgb red = qRgb(255, 0, 0);
constexpr QRgb green = qRgb(0, 255, 0);
constexpr QRgb blue = qRgb(0, 0, 255);

// Every probe ends in verdict(): red and "read" when the page got at the secret, green and
// "refused" when it did not.
const char verdictScript[]
    = "<script>function verdict(read) {"
      "  document.body.style.background = read ? '#ff0000' : '#00ff00';"
      "  window.probe = read ? 'read' : 'refused'; }"
      "function holds(text) { return String(text).indexOf('SECRET') >= 0; }</script>";

QByteArray probePage(const QByteArray &body)
{
    return QByteArray("<html><head>") + verdictScript
        + "</head><body style='margin:0;background:#ffffff'>" + body + "</body></html>";
}

QByteArray syncXhr(const QByteArray &url)
{
    return "<script>try { var x = new XMLHttpRequest(); x.open('GET', '" + url
        + "', false); x.send(); verdict(holds(x.responseText)); } catch (e) { verdict(false); }"
          "</script>";
}

} // namespace

// A page downloaded from anywhere must not read the user's files: as a browser makes each local
// file its own origin, a script may neither fetch another file nor look into the document of
// another file in a frame, while frames, pictures, style sheets and scripts still show.
TEST(LocalOrigin, ScriptsCannotReadOtherFiles)
{
    PageFolder pages;
    pages.write(QStringLiteral("site/secret.txt"), "SECRET");
    pages.write(QStringLiteral("site/secret.htm"), "<html><body>SECRET</body></html>");
    const QString elsewhere = pages.write(QStringLiteral("other/secret.txt"), "SECRET");
    struct Row {
        const char *name;
        QByteArray body;
    };
    const Row rows[] = {
        { "synchronous request, same folder", syncXhr("secret.txt") },
        { "synchronous request, absolute path", syncXhr(elsewhere.toUtf8()) },
        { "asynchronous request",
            "<script>var x = new XMLHttpRequest(); x.open('GET', 'secret.txt');"
            "x.onload = function () { verdict(holds(x.responseText)); };"
            "x.onerror = function () { verdict(false); }; x.send();</script>" },
        { "fetch",
            "<script>fetch('secret.txt').then(function (r) { return r.text(); })"
            ".then(function (t) { verdict(holds(t)); }, function () { verdict(false); "
            "});</script>" },
        { "document of a frame",
            "<iframe src='secret.htm' onload='try { var d = this.contentDocument;"
            " verdict(!!d && holds(d.body.innerText)); } catch (e) { verdict(false); "
            "}'></iframe>" },
        { "window of a frame",
            "<iframe src='secret.htm' onload='try { verdict(holds(frames[0].document.body"
            ".innerText)); } catch (e) { verdict(false); }'></iframe>" },
    };
    engine::CaptureHost host(QSize(400, 300));
    engine::HtmlView &view = *host.view();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(
            view.loadHtmlFile(pages.write(QStringLiteral("site/probe.htm"), probePage(row.body))));
        ASSERT_TRUE(waitFor(
            [&] { return view.evaluateJavaScript(QStringLiteral("window.probe")).isValid(); }));
        EXPECT_EQ(view.evaluateJavaScript(QStringLiteral("window.probe")).toString(),
            QStringLiteral("refused"));
        EXPECT_TRUE(
            waitFor([&] { return sameColor(host.capture().pixel(380, 280), green); }, 3000));
    }
}

TEST(LocalOrigin, FramesPicturesStyleSheetsAndScriptsStillShow)
{
    PageFolder pages;
    pages.write(QStringLiteral("site/style/green.css"), "body{background:#00ff00;margin:0}");
    pages.write(
        QStringLiteral("site/blue.htm"), "<html><body style='background:#0000ff'></body></html>");
    pages.write(QStringLiteral("site/red.svg"),
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<rect width='100' height='100' fill='#ff0000'/></svg>");
    pages.write(QStringLiteral("lib/mark.js"), "window.scriptRan = true;");
    const QString page = pages.write(QStringLiteral("site/page.htm"),
        "<html><head><link rel=stylesheet href='style/green.css'>"
        "<script src='../lib/mark.js'></script></head><body>"
        "<img src='red.svg' style='position:absolute;left:0;top:0'>"
        "<iframe src='blue.htm' style='position:absolute;left:200px;top:0;width:150px;"
        "height:150px;border:0'></iframe></body></html>");
    engine::CaptureHost host(QSize(400, 300));
    engine::HtmlView &view = *host.view();
    ASSERT_TRUE(view.loadHtmlFile(page));
    QImage shot;
    EXPECT_TRUE(waitFor([&] {
        shot = host.capture();
        return sameColor(shot.pixel(50, 50), red) && sameColor(shot.pixel(275, 75), blue)
            && sameColor(shot.pixel(380, 280), green);
    })) << "picture, frame, style sheet";
    EXPECT_TRUE(view.evaluateJavaScript(QStringLiteral("window.scriptRan === true")).toBool());
}
