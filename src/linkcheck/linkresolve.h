#pragma once

// A link's text read as a browser reads it, down to the path of the file it names.
#include <QString>
#include <QStringView>

namespace linkcheck {

// What relative links of one page resolve against: the page itself, or its <base href>.
struct Base {
    bool external = false; // a base on another host: relative links leave the site too
    QString document; // what an empty path names
    QString folder; // what relative paths start from
};

// `page` is an absolute clean path; `href` the page's <base href> or empty.
Base pageBase(const QString &page, const QString &href, const QString &root);

// How a link spelled a name that holds letters of U+0080..U+00FF only, which stand for two
// different byte strings on disk: bytes that are no UTF-8 (read as Latin-1), or UTF-8. A
// browser asks the disk for the percent-decoded bytes, and for UTF-8 where characters are
// typed.
enum NameForm : char16_t { AnyForm = u'*', Latin1Form = u'L', Utf8Form = u'U' };

struct LinkTarget {
    enum Kind {
        External, // another scheme, or another host: counted, never fetched
        Local,
        Outside, // resolves outside the root: never opened
        NoName, // names no file at all (a NUL byte)
    };
    Kind kind = External;
    QString path; // absolute and clean, names decoded (Local and Outside)
    bool folder = false; // written as a folder (trailing slash)
    QString fragment; // decoded; empty when there is none or it always holds ("#", "#top")
    // One NameForm for each of the last names of `path` that the link wrote; empty when none
    // of them needs telling apart.
    QString forms;
};

// `root` is the site root, absolute and clean.
LinkTarget resolveLink(QStringView text, const Base &base, const QString &root);

// True when `path` is `root` or lies below it (both absolute and clean).
bool isInside(const QString &path, const QString &root);

} // namespace linkcheck
