#include "linkcheck/linkresolve.h"

#include "platform/textcodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <algorithm>

namespace linkcheck {

namespace {

// The scheme's length with its colon, 0 when the text has none.
qsizetype schemeLength(QStringView text)
{
    if (text.isEmpty() || !text.front().isLetter() || text.front().unicode() > 0x7F)
        return 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u':')
            return i + 1;
        const bool schemeChar
            = (c < 0x80 && QChar(c).isLetterOrNumber()) || c == u'+' || c == u'-' || c == u'.';
        if (!schemeChar)
            return 0;
    }
    return 0;
}

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

// Appends one name of a path to the clean absolute `path`, ".." taking the last one off:
// 1 when a name was added, -1 when one was taken off, 0 otherwise.
int appendName(QString &path, QStringView name)
{
    if (name.isEmpty() || name == u".")
        return 0;
    if (name == u"..") {
        if (path == u"/")
            return 0;
        path.truncate(std::max<qsizetype>(path.lastIndexOf(u'/'), 1));
        return -1;
    }
    if (!path.endsWith(u'/'))
        path += u'/';
    path += name;
    return 1;
}

// How the disk must spell a written name: see NameForm.
char16_t nameForm(QStringView name, bool latin1)
{
    const auto high = [](QChar c) { return c.unicode() >= 0x80; };
    const bool twoWays = std::any_of(name.begin(), name.end(), high)
        && std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    return !twoWays ? AnyForm : latin1 ? Latin1Form : Utf8Form;
}

// The clean absolute path of the written path `written` from `start`; false when it holds a
// NUL byte. Percent escapes are undone before the path is split, as the disk sees them.
bool joinPath(const QString &start, QStringView written, LinkTarget *target)
{
    const bool escaped = written.contains(u'%');
    QString decodedNames;
    QString decodedForms;
    QStringView names = written;
    if (escaped) {
        const QByteArray bytes = QByteArray::fromPercentEncoding(written.toUtf8());
        if (bytes.contains('\0'))
            return false;
        // Each name decoded on its own: one may be UTF-8, another Latin-1.
        for (const QByteArray &name : bytes.split('/')) {
            const platform::DecodedText decoded = platform::decodeText(name);
            decodedNames += decoded.text + u'/';
            decodedForms += QChar(
                nameForm(decoded.text, decoded.encoding == platform::TextEncoding::Latin1));
        }
        decodedNames.chop(1);
        names = decodedNames;
    }
    QString &path = target->path;
    path = names.startsWith(u'/') ? QStringLiteral("/") : start;
    // The forms of the written names still in the path, made only once one of them matters.
    QString &forms = target->forms;
    qsizetype writtenNames = 0;
    qsizetype from = 0;
    QStringView last;
    for (qsizetype index = 0;; ++index) {
        const qsizetype slash = names.indexOf(u'/', from);
        last = names.mid(from, slash < 0 ? -1 : slash - from);
        const int step = appendName(path, last);
        if (step > 0) {
            const char16_t form
                = escaped ? decodedForms.at(index).unicode() : nameForm(last, false);
            if (form != AnyForm && forms.isEmpty())
                forms = QString(writtenNames, QChar(AnyForm)) + QChar(form);
            else if (!forms.isEmpty())
                forms += QChar(form);
            ++writtenNames;
        } else if (step < 0 && writtenNames > 0) {
            --writtenNames;
            forms.chop(1);
        }
        if (slash < 0)
            break;
        from = slash + 1;
    }
    target->folder = last.isEmpty() || last == u"." || last == u"..";
    if (std::all_of(forms.begin(), forms.end(), [](QChar c) { return c.unicode() == AnyForm; }))
        forms.clear();
    return true;
}

LinkTarget localTarget(const QString &start, QStringView written, const QString &root,
    const QString &emptyPath, QStringView fragment)
{
    LinkTarget target;
    target.kind = LinkTarget::Local;
    QString path = written.toString();
    path.replace(u'\\', u'/');
    if (path.isEmpty()) {
        target.path = emptyPath;
    } else if (!joinPath(start, path, &target)) {
        target.kind = LinkTarget::NoName;
        return target;
    }
    if (!isInside(target.path, root))
        target.kind = LinkTarget::Outside;
    const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(fragment.toUtf8()));
    if (name.compare(u"top", Qt::CaseInsensitive) != 0)
        target.fragment = name;
    return target;
}

// A file: URL's path, or nothing for one on another host.
bool fileUrlPath(QStringView rest, QStringView *path)
{
    if (!rest.startsWith(u"//")) {
        *path = rest;
        return true;
    }
    const qsizetype slash = rest.indexOf(u'/', 2);
    const QStringView host = rest.mid(2, slash < 0 ? -1 : slash - 2);
    if (!host.isEmpty() && host.compare(u"localhost", Qt::CaseInsensitive) != 0)
        return false;
    *path = slash < 0 ? QStringView(u"/") : rest.mid(slash);
    return true;
}

} // namespace

bool isInside(const QString &path, const QString &root)
{
    if (root == u"/")
        return true;
    return path.startsWith(root)
        && (path.size() == root.size() || path.at(root.size()) == QLatin1Char('/'));
}

Base pageBase(const QString &page, const QString &href, const QString &root)
{
    const Base own { false, page, folderOf(page) };
    if (href.isEmpty())
        return own;
    const LinkTarget target = resolveLink(href, own, root);
    if (target.kind == LinkTarget::External || target.kind == LinkTarget::NoName)
        return { true, {}, {} };
    return { false, target.path, target.folder ? target.path : folderOf(target.path) };
}

LinkTarget resolveLink(QStringView text, const Base &base, const QString &root)
{
    QString clean;
    // Browsers drop tabs and line breaks anywhere in a URL.
    if (text.contains(u'\t') || text.contains(u'\n') || text.contains(u'\r')) {
        clean = text.toString();
        clean.remove(u'\t').remove(u'\n').remove(u'\r');
        text = clean;
    }
    const qsizetype hash = text.indexOf(u'#');
    const QStringView fragment = hash < 0 ? QStringView() : text.mid(hash + 1);
    QStringView rest = hash < 0 ? text : text.left(hash);
    const qsizetype question = rest.indexOf(u'?');
    if (question >= 0)
        rest = rest.left(question);

    const qsizetype scheme = schemeLength(rest);
    if (scheme > 0) {
        QStringView path;
        if (rest.left(scheme).compare(u"file:", Qt::CaseInsensitive) != 0
            || !fileUrlPath(rest.mid(scheme), &path))
            return {};
        return localTarget(base.folder, path, root, base.document, fragment);
    }
    if (rest.startsWith(u"//") || rest.startsWith(u"\\\\") || base.external)
        return {};
    const bool fromRoot = rest.startsWith(u'/') || rest.startsWith(u'\\');
    return localTarget(fromRoot ? root : base.folder, fromRoot ? rest.mid(1) : rest, root,
        base.document, fragment);
}

} // namespace linkcheck
