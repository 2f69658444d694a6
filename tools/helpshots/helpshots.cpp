// Makes the pictures of the help pages: starts the program on a copy of its data files and the
// sample site, shows each page and window, and saves what it shows as PNG.
//
//   folioscope-helpshots [--data DIR] [--site DIR] [--out DIR]
//
// Windows are found by their captions and buttons, so that a window the build does not have
// yet is skipped with a line on standard error instead of failing the run. pictures.txt beside
// the pictures records what each shows (its tabs), which the help tests check.
#include "../../tests/support/helppictures.h"
#include "../../tests/support/widgetbyname.h"
#include "app/mainwindow.h"
#include "folderview/folderviewpage.h"
#include "folderview/progresswindow.h"
#include "frame/page.h"
#include "platform/startup.h"
#include "platformui/qtdialogs.h"
#include "viewer/viewerwindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>

namespace {

const QSize kMainWindowSize(800, 560);
// The engine paints on its own schedule; this is long enough for the sample site.
constexpr int kSettleMs = 700;
constexpr int kModalWaitMs = 1500;
constexpr int kLeavingMs = 1000;

void report(const QString &line)
{
    std::fprintf(stderr, "folioscope-helpshots: %s\n", qPrintable(line));
}

void settle(int ms = kSettleMs)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        settle(20);
    return done();
}

bool copyTree(const QString &from, const QString &to)
{
    const QDir source(from);
    if (!source.exists())
        return false;
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(file);
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(file, target))
            return false;
    }
    return true;
}

QAbstractButton *findButton(QWidget *within, const QString &text)
{
    for (QAbstractButton *button : within->findChildren<QAbstractButton *>())
        if (button->text().trimmed() == text.trimmed() && button->isVisible())
            return button;
    return nullptr;
}

QAction *findMenuItem(QMainWindow &window, const QString &menu, const QString &item)
{
    for (QAction *menuAction : window.menuBar()->actions()) {
        if (menuAction->text() != menu || !menuAction->menu())
            continue;
        for (QAction *action : menuAction->menu()->actions())
            if (action->text() == item)
                return action;
    }
    return nullptr;
}

class Pictures
{
public:
    explicit Pictures(const QString &folder)
        : m_folder(folder)
    { }

    void save(QWidget *window, const QString &name)
    {
        const QString path = m_folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (window->grab().toImage().save(path, "PNG", 9)) {
            std::printf("%s\n", qPrintable(path));
            m_made.append(helpPictureOf(path, window));
        } else {
            fail(QStringLiteral("cannot write ") + path);
        }
    }
    void writeRecord()
    {
        const QString path = m_folder + QStringLiteral("/pictures.txt");
        std::sort(m_made.begin(), m_made.end(),
            [](const HelpPicture &a, const HelpPicture &b) { return a.file < b.file; });
        if (!writeHelpPictures(path, m_made))
            fail(QStringLiteral("cannot write ") + path);
    }
    void fail(const QString &problem)
    {
        report(problem);
        m_failed = true;
    }
    bool failed() const { return m_failed; }

private:
    QString m_folder;
    QList<HelpPicture> m_made;
    bool m_failed = false;
};

// A modal window runs its own event loop until it closes, so a timer looks out for it: the
// next planned step gets it (to picture it, press its buttons and close it); a window that
// no step planned for, such as an unexpected message box, is closed at once.
class ModalSteps : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    ModalSteps()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalSteps::look);
        m_timer.start(50);
    }

    // Runs trigger with the steps planned; true when every step met its window.
    bool run(const std::function<void()> &trigger, std::initializer_list<Step> steps)
    {
        m_steps.assign(steps.begin(), steps.end());
        trigger();
        waitUntil([this] { return m_steps.empty(); }, kModalWaitMs);
        const bool met = m_steps.empty();
        m_steps.clear();
        return met;
    }

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // A window whose step pressed a button to close it may take a moment to go.
        const bool leaving = modal == m_left && m_leftClock.elapsed() < kLeavingMs;
        if (!modal || modal == m_current || leaving)
            return;
        if (m_current || m_steps.empty()) {
            report(QStringLiteral("closed an unplanned window \"%1\"").arg(modal->windowTitle()));
            modal->close();
            return;
        }
        const Step step = m_steps.front();
        m_steps.pop_front();
        m_current = modal;
        step(modal);
        m_current = nullptr;
        m_left = modal;
        m_leftClock.start();
    }

    QTimer m_timer;
    std::deque<Step> m_steps;
    QWidget *m_current = nullptr;
    // Compared, never used: the window may be gone.
    QWidget *m_left = nullptr;
    QElapsedTimer m_leftClock;
};

// Steps for ModalSteps::run.
ModalSteps::Step pictureAndClose(Pictures &pictures, const QString &name)
{
    return [&pictures, name](QWidget *window) {
        settle();
        pictures.save(window, name);
        window->close();
    };
}

ModalSteps::Step pictureAndPress(Pictures &pictures, const QString &name, const QString &button)
{
    return [&pictures, name, button](QWidget *window) {
        settle();
        pictures.save(window, name);
        // Pressed from the window's own loop, so that a window it opens is seen in turn.
        if (QAbstractButton *press = findButton(window, button))
            QTimer::singleShot(0, press, &QAbstractButton::click);
        else
            window->close();
    };
}

// The program gets a folder of its own, so that settings, thumbnails and lists of the run go
// nowhere; the site lies at a fixed place, so that the pictures show the same path each time.
class Folders
{
public:
    Folders()
        : site(QDir::tempPath() + QStringLiteral("/folioscope-sample/site"))
    {
        QDir(QFileInfo(site).path()).removeRecursively();
    }
    ~Folders() { QDir(QFileInfo(site).path()).removeRecursively(); }

    bool prepare(const QString &dataFolder, const QString &siteFolder)
    {
        return m_work.isValid() && copyTree(dataFolder, program) && copyTree(siteFolder, site)
            && writeSettings();
    }

    QTemporaryDir m_work;
    const QString program = m_work.filePath(QStringLiteral("Folioscope"));
    const QString site;

private:
    bool writeSettings() const
    {
        QFile ini(program + QStringLiteral("/prg.ini"));
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        const QString text = QStringLiteral(
            "[POSITION_MAIN]\r\nWidth=%1\r\nHeight=%2\r\n[PATHS]\r\nVIEW_PATH=%3\r\n"
            // Half size, so that a snapshot shows its shadow and border whole.
            "[THUMBS]\r\nScale=50\r\n")
                                 .arg(kMainWindowSize.width())
                                 .arg(kMainWindowSize.height())
                                 .arg(QDir::toNativeSeparators(site));
        return ini.write(text.toUtf8()) == text.size();
    }
};

void selectFile(app::MainWindow &form, const QString &name)
{
    form.setActivePage(form.pages()[0]);
    auto *folder = dynamic_cast<folderview::FolderViewPage *>(form.pages()[0]);
    QListWidget *files = widget<QListWidget>(folder, "LBFile");
    const QList<QListWidgetItem *> found = files->findItems(name, Qt::MatchFixedString);
    // A click, as the user would: the list loads the file when the mouse is released.
    if (!found.isEmpty())
        QTest::mouseClick(
            files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found.first()).center());
    settle();
}

void pictureFolderView(app::MainWindow &form, Pictures &pictures)
{
    selectFile(form, QStringLiteral("index.htm"));
    pictures.save(&form, QStringLiteral("folderview-browser"));
    if (QAbstractButton *editor = findButton(&form, QStringLiteral("Editor"))) {
        editor->click();
        settle();
        pictures.save(&form, QStringLiteral("folderview-editor"));
    }
    if (QAbstractButton *browser = findButton(&form, QStringLiteral("Browser")))
        browser->click();
    settle();
}

void pictureThumbnails(app::MainWindow &form, Pictures &pictures, ModalSteps &modals)
{
    form.setActivePage(form.pages()[1]);
    settle();
    QWidget *page = widget<QTabWidget>(&form, "PageControl1")->currentWidget();
    if (QAbstractButton *all = findButton(page, QStringLiteral("Select All")))
        all->click();
    if (QAbstractButton *make = findButton(page, QStringLiteral("Make Thumbs")))
        modals.run([make] { make->click(); }, {});
    waitUntil([&form] { return form.isEnabled(); }, 60000);
    // One entry chosen by a click, so that the corner shows its thumbnail too.
    if (auto *grid = page->findChild<QAbstractItemView *>(QStringLiteral("LVThumbs"))) {
        const QModelIndex entry = grid->model()->index(3, 0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(entry).center());
    }
    settle();
    pictures.save(&form, QStringLiteral("thumbnails"));
}

// "Search" fills the list through its dialog; the list-name dialog that follows is pictured
// and cancelled.
void pictureFileLists(app::MainWindow &form, Pictures &pictures, ModalSteps &modals)
{
    form.setActivePage(form.pages()[2]);
    settle();
    QAbstractButton *search = findButton(
        widget<QTabWidget>(&form, "PageControl1")->currentWidget(), QStringLiteral("Search"));
    if (!search
        || !modals.run([search] { search->click(); },
            { pictureAndPress(pictures, QStringLiteral("search"), QStringLiteral("Start")),
                pictureAndPress(pictures, QStringLiteral("savelist"), QStringLiteral("Cancel")) }))
        report(QStringLiteral("skipped the dialogs of \"Search\""));
    settle();
    pictures.save(&form, QStringLiteral("filelists"));
}

// "Replace..." over the list that "Search" left: its preview filled in, then closed unwritten.
void pictureReplace(app::MainWindow &form, Pictures &pictures, ModalSteps &modals)
{
    QWidget *page = widget<QTabWidget>(&form, "PageControl1")->currentWidget();
    auto *menu = page->findChild<QMenu *>(QStringLiteral("PMReplace"));
    QAction *replace = menu && !menu->actions().isEmpty() ? menu->actions().first() : nullptr;
    const ModalSteps::Step preview = [&pictures](QWidget *window) {
        widget<QLineEdit>(window, "EReplaceFind")->setText(QStringLiteral("Products"));
        widget<QLineEdit>(window, "EReplaceWith")->setText(QStringLiteral("Catalogue"));
        widget<QComboBox>(window, "CBReplaceScope")->setCurrentIndex(1);
        widget<QPushButton>(window, "BReplacePreview")->click();
        waitUntil([window] { return !widget<QPushButton>(window, "BReplaceStop")->isEnabled(); }, 10000);
        auto *changes = widget<QTreeWidget>(window, "TVReplaceChanges");
        changes->expandAll();
        changes->setCurrentItem(changes->topLevelItem(0));
        settle();
        pictures.save(window, QStringLiteral("sitereplace"));
        QTimer::singleShot(0, window, &QWidget::close);
    };
    if (!replace || !modals.run([replace] { replace->trigger(); }, { preview }))
        report(QStringLiteral("skipped \"Replace...\" (no window opened)"));
    settle();
}

// The sample site has no broken links: a page with a few is added for the picture, last, so
// that no other picture shows it.
void pictureSiteCheck(app::MainWindow &form, Pictures &pictures, const QString &site)
{
    QFile news(site + QStringLiteral("/news.htm"));
    if (!news.open(QIODevice::WriteOnly)
        || news.write("<html><head><link rel=\"stylesheet\" href=\"news.css\"></head><body>\n"
                      "<h1>News</h1>\n<p><a href=\"index.htm#offers\">Offers</a>\n"
                      "<p><img src=\"Logo.gif\" alt=\"\"> <a href=\"archive/2023.htm\">2023</a>\n"
                      "<p><a href=\"../private.htm\">Private</a>\n</body></html>\n")
            < 0) {
        report(QStringLiteral("skipped the Site Check (cannot write its page)"));
        return;
    }
    news.close();
    form.setActivePage(form.pages()[3]);
    settle();
    QWidget *page = widget<QTabWidget>(&form, "PageControl1")->currentWidget();
    QAbstractButton *check = findButton(page, QStringLiteral("Check"));
    if (!check) {
        report(QStringLiteral("skipped the Site Check (no \"Check\")"));
        return;
    }
    check->click();
    waitUntil([&form] { return form.isEnabled(); }, 60000);
    settle();
    pictures.save(&form, QStringLiteral("sitecheck"));
}

// A baseline of the sample site, then its style sheet changed: the pages it dresses differ.
void pictureVisualCheck(app::MainWindow &form, Pictures &pictures, const QString &site)
{
    form.setActivePage(form.pages()[4]);
    settle();
    QWidget *page = widget<QTabWidget>(&form, "PageControl1")->currentWidget();
    QAbstractButton *baseline = findButton(page, QStringLiteral("Take Baseline"));
    QAbstractButton *compare = findButton(page, QStringLiteral("Compare"));
    QFile style(site + QStringLiteral("/index.htm"));
    if (!baseline || !compare || !style.open(QIODevice::ReadWrite)) {
        report(QStringLiteral("skipped the Visual Check (no buttons or no index.htm)"));
        return;
    }
    baseline->click();
    waitUntil([&form] { return form.isEnabled(); }, 60000);
    QByteArray text = style.readAll();
    text.replace("</body>", "<p style=\"background:#ffd\">A line added below the rest.</p></body>");
    style.resize(0);
    style.write(text);
    style.close();
    compare->click();
    waitUntil([&form] { return form.isEnabled(); }, 60000);
    settle();
    pictures.save(&form, QStringLiteral("visualcheck"));
}

// The caret inside a tag, so that the editor shows that tag's hint.
void caretIntoTag(QWidget *window, const QString &tag)
{
    const auto place = [&tag](auto *edit) {
        QTextCursor cursor = edit->document()->find(tag);
        if (cursor.isNull())
            return;
        cursor.clearSelection();
        edit->setFocus();
        edit->setTextCursor(cursor);
    };
    for (auto *edit : window->findChildren<QPlainTextEdit *>())
        place(edit);
    for (auto *edit : window->findChildren<QTextEdit *>())
        place(edit);
}

void pictureViewer(app::MainWindow &form, Pictures &pictures, ModalSteps &modals)
{
    selectFile(form, QStringLiteral("index.htm"));
    const auto both = [&pictures](QWidget *window) {
        auto *viewer = qobject_cast<viewer::ViewerWindow *>(window);
        settle();
        pictures.save(window, QStringLiteral("viewer-browser"));
        if (viewer) {
            viewer->pages()->setCurrentIndex(1);
            caretIntoTag(window, QStringLiteral("<table"));
            settle();
            pictures.save(window, QStringLiteral("viewer-editor"));
        }
        window->close();
    };
    if (!modals.run([&form] { form.openCurrentFile(); }, { both }))
        report(QStringLiteral("skipped the viewer window"));
}

// The windows that a menu item opens; the snapshot options need a selected page.
void pictureMenuWindows(app::MainWindow &form, Pictures &pictures, ModalSteps &modals)
{
    struct Item {
        const char *menu;
        const char *item;
        const char *picture;
    };
    const Item items[] = {
        { "&Options", "&General Options", "genopt" },
        { "&Options", "&Temporary Browser Settings", "browsersettings" },
        { "&Help", "&About", "about" },
        { "&Extras", "&Create Snapshot(s)", "snapshot" },
    };
    selectFile(form, QStringLiteral("index.htm"));
    for (const Item &item : items) {
        QAction *action
            = findMenuItem(form, QString::fromLatin1(item.menu), QString::fromLatin1(item.item));
        const QString name = QString::fromLatin1(item.picture);
        const auto preview = [&pictures, name](QWidget *window) {
            if (QAbstractButton *button = findButton(window, QStringLiteral("Preview")))
                button->click();
            pictureAndClose(pictures, name)(window);
        };
        if (!action || !modals.run([action] { action->trigger(); }, { preview }))
            report(QStringLiteral("skipped %1 (no window opened)").arg(name));
    }
}

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Folioscope"));
    platform::useQtDialogs();

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Screenshots of Folioscope for its help pages"));
    args.addHelpOption();
    args.addOption({ QStringLiteral("data"), QStringLiteral("the program's data files"),
        QStringLiteral("DIR"), QStringLiteral(FOLIOSCOPE_SOURCE_DIR "/data") });
    args.addOption({ QStringLiteral("site"), QStringLiteral("the site to show"),
        QStringLiteral("DIR"), QStringLiteral(FOLIOSCOPE_SOURCE_DIR "/examples/site") });
    args.addOption({ QStringLiteral("out"), QStringLiteral("where the pictures go"),
        QStringLiteral("DIR"), QStringLiteral(FOLIOSCOPE_SOURCE_DIR "/data/HELP/images") });
    args.process(app);

    Folders folders;
    if (!folders.prepare(args.value(QStringLiteral("data")), args.value(QStringLiteral("site")))) {
        report(QStringLiteral("cannot prepare the program folder and the site"));
        return 2;
    }
    const QString out = args.value(QStringLiteral("out"));
    QDir().mkpath(out);
    Pictures pictures(out);
    ModalSteps modals;

    app::MainWindow form(folders.program, { folders.site + QStringLiteral("/index.htm") });
    viewer::ViewerWindow view(&form);
    folderview::ProgressWindow progress;
    form.setViewer(&view);
    form.setProgressWindow(&progress);
    form.show();
    form.resize(kMainWindowSize);
    settle();

    // Thumbnails first, so that the corner of the other pictures shows one.
    pictureThumbnails(form, pictures, modals);
    pictureFolderView(form, pictures);
    pictureFileLists(form, pictures, modals);
    pictureReplace(form, pictures, modals);
    pictureViewer(form, pictures, modals);
    pictureMenuWindows(form, pictures, modals);
    pictureSiteCheck(form, pictures, folders.site);
    pictureVisualCheck(form, pictures, folders.site);
    pictures.writeRecord();
    form.close();
    return pictures.failed() ? 1 : 0;
}
