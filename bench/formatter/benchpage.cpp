#include "benchpage.h"

QString benchmarkPage(qsizetype minimumSize)
{
    QString page;
    page.reserve(minimumSize + 4096);
    page += QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<title>Benchmark page</title>\n"
                           "<style>\n  td { padding: 2px }\n</style>\n</head>\n<body>\n");
    const QString closing = QStringLiteral("</body>\n</html>\n");
    for (int section = 1; page.size() + closing.size() < minimumSize; ++section) {
        const QString n = QString::number(section);
        page += QStringLiteral("<h2>Section ") + n + QStringLiteral("</h2>\n<p>This is paragraph ")
                + n
                + QStringLiteral(" with <b>bold</b>, <i>italic</i> and <a href=\"page") + n
                + QStringLiteral(".htm\" title=\"a link title\">a link</a>. It goes on for a while "
                                 "so that the formatter has to wrap it at the line size of the "
                                 "style, more than once, like real text does.</p>\n");
        page += QStringLiteral("<!-- section ") + n
                + QStringLiteral(" -->\n<table border=\"1\">\n");
        for (int row = 0; row < 4; ++row) {
            page += QStringLiteral("<tr><td><img src=\"i") + QString::number(row)
                    + QStringLiteral(".png\" alt=\"\"></td><td>Cell text ") + n
                    + QStringLiteral(" in row ") + QString::number(row)
                    + QStringLiteral("</td>\n<td>\n  <table><tr><td>nested</td></tr></table>\n"
                                     "</td></tr>\n");
        }
        page += QStringLiteral("</table>\n<ul>\n  <li>First item</li>\n  <li>Second <em>item</em>"
                               "\n    <ol><li>inner one</li><li>inner two</li></ol>\n  </li>\n"
                               "</ul>\n<form action=\"go.cgi\"><select name=\"s\"><option>One"
                               "<option>Two</select>\n<input type=\"text\" name=\"q\"></form>\n"
                               "<script type=\"text/javascript\">\n  var count = ")
                + n
                + QStringLiteral(";\n  if (count < 10 && count > 2) { document.title = 'x'; }\n"
                                 "</script>\n<pre>\n  keep   this\n</pre>\n");
    }
    page += closing;
    return page;
}
