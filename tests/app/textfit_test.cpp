// Every window of the program at its default size, in the default font and 25 % larger:
// no caption, label or field is cut, and fields show the start of their text.
#include "mainwindow_fixture.h"

#include "app/aboutdialog.h"
#include "app/generaloptionsdialog.h"
#include "filelists/filelistspage.h"
#include "filelists/listnamedialog.h"
#include "filelists/reportdialog.h"
#include "filelists/searchdialog.h"
#include "frame/settings.h"
#include "snapshot/snapshotbatchdialog.h"
#include "snapshot/snapshotjob.h"
#include "snapshot/snapshotoptionsdialog.h"
#include "support/whenmodal.h"
#include "support/widgetbyname.h"
#include "viewer/browsersettingsdialog.h"
#include "viewer/replacedialog.h"
#include "viewer/sourceeditor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <functional>

namespace {

QString shownText(QString text)
{
    // A single "&" marks the shortcut and is not drawn; "&&" draws one.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

QString describe(const QWidget *widget, const QString &text)
{
    const QString name = widget->objectName().isEmpty() ? QString() : widget->objectName() + u' ';
    return QString::fromLatin1(widget->metaObject()->className()) + u' ' + name + u'"' + text
        + u'"';
}

QString cut(const QWidget *widget, const QString &text, QSize needed, QSize room)
{
    return describe(widget, text)
        + QStringLiteral(" needs %1x%2, has %3x%4")
              .arg(needed.width())
              .arg(needed.height())
              .arg(room.width())
              .arg(room.height());
}

bool fits(QSize needed, QSize room)
{
    return needed.width() <= room.width() && needed.height() <= room.height();
}

QString checkLabel(const QLabel *label)
{
    const QString text = label->text();
    if (text.isEmpty() || label->wordWrap() || label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
        return {};
    const QString shown = label->buddy() ? shownText(text) : text;
    const int margins = 2 * label->margin() + std::max(0, label->indent());
    const QSize needed = label->fontMetrics().size(0, shown) + QSize(margins, 0);
    const QSize room = label->contentsRect().size();
    return fits(needed, room) ? QString() : cut(label, shown, needed, room);
}

// The frame and margins of a push button in this style, without its minimum width.
int pushButtonPadding(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    constexpr int kWide = 400;
    return button->style()
               ->sizeFromContents(QStyle::CT_PushButton, &option, QSize(kWide, 10), button)
               .width()
        - kWide;
}

QString checkButton(const QAbstractButton *button)
{
    const QString shown = shownText(button->text());
    if (shown.isEmpty())
        return {};
    int needed = button->sizeHint().width();
    if (const auto *push = qobject_cast<const QPushButton *>(button)) {
        needed = button->fontMetrics().horizontalAdvance(shown) + pushButtonPadding(push);
        if (!push->icon().isNull())
            needed += push->iconSize().width() + 4;
    }
    const QSize room = button->size();
    const QSize wanted(needed, button->fontMetrics().height());
    return fits(wanted, room) ? QString() : cut(button, shown, wanted, room);
}

QString checkGroupBox(const QGroupBox *box)
{
    const int needed = box->fontMetrics().horizontalAdvance(box->title()) + 16;
    return needed <= box->width() ? QString()
                                  : cut(box, box->title(), QSize(needed, 0), box->size());
}

QString checkField(const QLineEdit *field)
{
    const QString text = field->displayText();
    const int room = field->contentsRect().width() - field->textMargins().left()
        - field->textMargins().right() - 4;
    if (field->fontMetrics().horizontalAdvance(text) <= room || field->hasFocus())
        return {};
    return field->cursorPosition() == 0 ? QString()
                                        : describe(field, text) + QStringLiteral(" shows its end");
}

QString checkCombo(const QComboBox *box)
{
    const QString text = box->currentText();
    if (text.isEmpty())
        return {};
    QStyleOptionComboBox option;
    option.initFrom(box);
    const QRect field = box->style()->subControlRect(
        QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    const int icon = box->itemIcon(box->currentIndex()).isNull() ? 0 : box->iconSize().width() + 4;
    const QSize needed(box->fontMetrics().horizontalAdvance(text) + icon, 0);
    return fits(needed, field.size()) ? QString() : cut(box, text, needed, field.size());
}

// A column title must lie inside the list's visible width.
QStringList checkHeader(const QHeaderView *header)
{
    QStringList problems;
    const int room = header->viewport()->width();
    for (int section = 0; section < header->count(); ++section) {
        const QString title
            = header->model()->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString();
        const int end = header->sectionViewportPosition(section) + header->sectionSize(section);
        const int needed = header->fontMetrics().horizontalAdvance(title);
        if (end > room || header->sectionSize(section) < needed)
            problems.append(cut(header, title, QSize(end, 0), QSize(room, 0)));
    }
    return problems;
}

// Every fixed text of the window's visible controls that does not fit its room.
QStringList cutTexts(QWidget *window)
{
    QStringList problems;
    const auto add = [&problems](const QString &problem) {
        if (!problem.isEmpty())
            problems.append(problem);
    };
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window) || widget->window() != window)
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget))
            add(checkLabel(label));
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            add(checkButton(button));
        else if (auto *box = qobject_cast<QGroupBox *>(widget))
            add(checkGroupBox(box));
        else if (auto *field = qobject_cast<QLineEdit *>(widget))
            add(checkField(field));
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            add(checkCombo(combo));
        else if (auto *header = qobject_cast<QHeaderView *>(widget);
                 header && header->orientation() == Qt::Horizontal)
            problems += checkHeader(header);
    }
    return problems;
}

void settle(QWidget *window)
{
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    QApplication::processEvents();
}

QStringList shown(QWidget &window)
{
    window.show();
    settle(&window);
    return cutTexts(&window);
}

// Opens the modal window of type T that `open` shows, and hands back what `inspect` found.
template<typename T>
QStringList whileModal(const std::function<void()> &open, const std::function<void(T &)> &more = {})
{
    QStringList problems;
    whenModal<T>([&problems, more](T &window) {
        settle(&window);
        if (more)
            more(window);
        problems = cutTexts(&window);
        window.reject();
    });
    open();
    return problems;
}

class TextFitTest : public MainWindowTest
{
protected:
    // The hint of a tag is longer than the editor's hint field.
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeFile(site.filePath(QStringLiteral("a.htm")), "<table><tr><td>x</td></tr></table>");
        writeFile(program.filePath(QStringLiteral("tagsyntax.txt")),
            "<TABLE> : <TABLE border=n cellpadding=n cellspacing=n width=n|n% bgcolor=#rrggbb "
            "align=left|center|right summary=\"text\">  a table of rows and cells\r\n");
    }

    using Check = std::function<QStringList()>;
    struct Window {
        const char *name;
        Check check;
    };

    QStringList page(int index)
    {
        widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(index);
        QApplication::processEvents();
        return cutTexts(form.get());
    }

    QStringList viewerTab(int index)
    {
        view->show();
        view->pages()->setCurrentIndex(index);
        settle(view.get());
        QTextCursor caret = view->editor()->textCursor();
        caret.setPosition(2);
        view->editor()->setTextCursor(caret);
        QApplication::processEvents();
        QStringList problems = cutTexts(view.get());
        view->hide();
        return problems;
    }

    QStringList snapshotWindows()
    {
        widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(kFolderTab);
        selectRows({ 0 });
        return whileModal<snapshot::SnapshotOptionsDialog>([this] { form->createSnapshots(); });
    }

    QStringList batchWindow()
    {
        snapshot::SnapshotJob job;
        job.selectedCount = 12;
        QString folder = QDir::toNativeSeparators(program.path()) + QStringLiteral("/SNAPSHOTS/");
        snapshot::SnapshotBatchDialog batch(job, folder);
        return shown(batch);
    }

    std::vector<Window> windows()
    {
        return {
            { "Folder View", [this] { return page(kFolderTab); } },
            { "Thumbnail View", [this] { return page(kThumbsTab); } },
            { "File Lists", [this] { return page(kListsTab); } },
            { "viewer: browser", [this] { return viewerTab(0); } },
            { "viewer: editor", [this] { return viewerTab(1); } },
            { "General Options",
                [this] {
                    app::GeneralOptionsDialog options(form->settings(), form.get());
                    return shown(options);
                } },
            { "About",
                [] {
                    app::AboutDialog about;
                    return shown(about);
                } },
            { "Browser Settings",
                [] {
                    viewer::BrowserSettingsDialog settings;
                    return shown(settings);
                } },
            { "Replace",
                [] {
                    viewer::ReplaceDialog replace;
                    return shown(replace);
                } },
            { "Snapshot Options", [this] { return snapshotWindows(); } },
            { "Export snapshots", [this] { return batchWindow(); } },
            { "Progress", [this] { return shown(*progress); } },
            { "Search Files",
                [this] {
                    filelists::SearchDialog search;
                    search.prepare(QStringLiteral("*.htm;*.html"), site.path());
                    return shown(search);
                } },
            { "Save File List",
                [] {
                    filelists::ListNameDialog ask;
                    ask.prepare(QStringLiteral("Save the list?"), QStringLiteral("(newlist1)"),
                        QString(), { QStringLiteral("x") });
                    return shown(ask);
                } },
            { "Verification Report",
                [] {
                    filelists::ReportDialog report;
                    report.setLines({ QStringLiteral("Updated: a.htm") });
                    return shown(report);
                } },
        };
    }
};

} // namespace

TEST_F(TextFitTest, EveryWindowShowsItsTextsWholeInTheDefaultAndALargerFont)
{
    const QFont original = QApplication::font();
    for (const double scale : { 1.0, 1.25 }) {
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * scale);
        QApplication::setFont(font);
        setIni(QStringLiteral("[PATHS]\r\nVIEW_PATH=") + site.path() + QStringLiteral("\r\n"));
        start();
        selectRows({ 0 });
        form->showFileInViews(false);
        settle(form.get());
        for (const Window &window : windows()) {
            const QStringList problems = window.check();
            EXPECT_TRUE(problems.isEmpty()) << window.name << " at " << scale * 100 << " %:\n  "
                                            << problems.join(QStringLiteral("\n  ")).toStdString();
        }
        closeForm();
        view.reset();
        form.reset();
    }
    QApplication::setFont(original);
}
