#include "enginetestutil.h"

#include "editor/palette.h"
#include "formatter/style.h"
#include "support/scripteddialogs.h"
#include "support/standinframe.h"
#include "support/testfiles.h"
#include "viewer/editorsettings.h"
#include "viewer/replacedialog.h"
#include "viewer/sourceeditor.h"
#include "viewer/viewerwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class EditorHost : public StandInFrame
{
public:
    QString currentFile() const override { return current; }
    QString currentFolder() const override { return folder; }
    void setSaveButtons(bool save, bool saveAs) override
    {
        mainSave = save;
        mainSaveAs = saveAs;
    }
    void showSavedCopy(const QString &path) override { savedCopies.append(path); }
    formatter::Style *formatterStyle() override { return &style; }
    QStringList tagSyntaxTable() const override { return table; }

    QString current;
    QString folder;
    bool mainSave = false;
    bool mainSaveAs = false;
    QStringList savedCopies;
    formatter::Style style;
    QStringList table;
};

class EditorPageTest : public ::testing::Test
{
protected:
    EditorPageTest()
    {
        formatter::LoadProgramStyle(
            host.style, QCoreApplication::applicationDirPath(), QStringLiteral("THUMBS"));
        form.pages()->setCurrentIndex(1);
        form.show();
    }

    // Loads a page as the main window does: the viewer, then not modified.
    viewer::SourceEditor *open(const QString &name, const QByteArray &content)
    {
        const QString path = pages.write(name, content);
        host.current = path;
        host.folder = QDir(pages.path(QString())).absolutePath() + QLatin1Char('/');
        form.loadFileIntoViewer(path);
        form.setEditorNotModified();
        return form.editor();
    }

    void placeCaret(int position)
    {
        QTextCursor cursor = form.editor()->textCursor();
        cursor.setPosition(position);
        form.editor()->setTextCursor(cursor);
    }

    int colourAt(int position) { return form.editor()->colourOfCharacter(position); }

    ScriptedDialogs dialogs;
    EditorHost host;
    PageFolder pages;
    viewer::ViewerWindow form { &host };
    const editor::Palette palette;
};

TEST_F(EditorPageTest, LoadingColoursThePageOrShowsANotice)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "<a href=\"x\">Hi</a>\r\n");
    EXPECT_EQ(editor->text(), QStringLiteral("<a href=\"x\">Hi</a>\n"));
    EXPECT_TRUE(editor->isEnabled());
    EXPECT_EQ(editor->textCursor().position(), 0);
    const struct {
        int position;
        int colour;
    } colours[] = { { 0, palette.tagColor }, { 8, palette.quotedColor }, { 11, palette.tagColor },
        { 12, palette.textColor }, { 14, palette.tagColor } };
    for (const auto &c : colours)
        EXPECT_EQ(colourAt(c.position), c.colour) << c.position;
    EXPECT_EQ(form.windowTitle(), host.current);
    EXPECT_FALSE(form.saveButton()->isEnabled());
    EXPECT_TRUE(form.formatButton()->isEnabled());
    EXPECT_TRUE(host.mainSaveAs);

    const struct {
        const char *name;
        QByteArray content;
        const char *notice;
        bool keepsViewerFile;
    } rows[] = {
        { "photo.JPG", "x", "Sorry, pictures cannot be displayed in editor", false },
        { "logo.gif", "x", "Sorry, pictures cannot be displayed in editor", false },
        { "long.htm", QByteArray(2'000'001, 'x'), "more than 2,000,000 characters", true },
    };
    for (const auto &row : rows) {
        editor = open(QString::fromLatin1(row.name), row.content);
        EXPECT_TRUE(editor->text().contains(QLatin1String(row.notice))) << row.name;
        EXPECT_FALSE(editor->isEnabled()) << row.name;
        EXPECT_EQ(form.viewerFile().isEmpty(), !row.keepsViewerFile) << row.name;
        EXPECT_FALSE(form.saveButton()->isEnabled()) << row.name;
        EXPECT_FALSE(host.mainSaveAs) << row.name;
        // Neither Ctrl+S nor "Save" writes the notice over the file.
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        form.saveFile();
        EXPECT_EQ(fileBytes(pages.path(QString::fromLatin1(row.name))), row.content) << row.name;
    }
}

TEST_F(EditorPageTest, SystemColoursOfASettingsFileAreThePlatformsColours)
{
    viewer::EditorSettings settings = viewer::editorSettingsOf(host.values);
    settings.palette.textColor = -16777208; // 0xFF000008: the system's window text colour
    viewer::storeEditorSettings(host.values, settings);
    open(QStringLiteral("page.htm"), "x<b>");
    EXPECT_EQ(colourAt(0), viewer::fromQColor(QGuiApplication::palette().color(QPalette::Text)));
    EXPECT_EQ(colourAt(1), palette.tagColor);
}

TEST_F(EditorPageTest, TypingMarksTheDocumentUnsaved)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "<p>x</p>");
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_A);
    EXPECT_EQ(form.windowTitle(), host.current + QStringLiteral(" --- UNSAVED ---"));
    EXPECT_TRUE(form.saveButton()->isEnabled());
    EXPECT_TRUE(host.mainSave);
    EXPECT_TRUE(form.isEditorModified());

    // Emptied views leave nothing to save.
    form.clearViewer();
    EXPECT_FALSE(form.isEditorModified());
    EXPECT_FALSE(host.mainSave);
    EXPECT_FALSE(host.mainSaveAs);
}

TEST_F(EditorPageTest, TypedCharactersTakeTheirColourAndTheTagIsColouredAgain)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "<a href=\"x\"b\n");
    // ">" right after the attribute value: tag colour, and the tag around it coloured again.
    placeCaret(11);
    QTest::keyClick(editor, '>');
    EXPECT_EQ(editor->text(), QStringLiteral("<a href=\"x\">b\n"));
    EXPECT_EQ(colourAt(11), palette.tagColor);
    // No ">" follows the caret, so there is no range to colour again; a letter typed right
    // after ">" takes the text colour.
    QTest::keyClicks(editor, QStringLiteral("c"));
    EXPECT_EQ(colourAt(12), palette.textColor);

    // Typing "<" before text opens a tag that the recolouring paints through its ">".
    editor = open(QStringLiteral("page2.htm"), "x b> y");
    placeCaret(2);
    QTest::keyClick(editor, '<');
    EXPECT_EQ(editor->text(), QStringLiteral("x <b> y"));
    for (int i = 2; i <= 4; ++i)
        EXPECT_EQ(colourAt(i), palette.tagColor) << i;
    EXPECT_EQ(colourAt(5), palette.textColor);

    // Deleting the "<" again colours the rest as text.
    placeCaret(3);
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->text(), QStringLiteral("x b> y"));
}

TEST_F(EditorPageTest, RecolouringSetsOnlyTheCharactersThatChangeColour)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "<p>\n<a href=\"x\">b</a>\n");
    QList<QList<int>> changes;
    QObject::connect(editor->document(), &QTextDocument::contentsChange,
        [&changes](int from, int removed, int added) {
            changes.append({ from, removed, added });
        });
    const editor::TextRange all { 0, editor->textLength() };
    editor->recolourRange(all, palette);
    EXPECT_TRUE(changes.isEmpty()); // already right: no relayout, no repaint

    QTextCursor cursor(editor->document());
    cursor.setPosition(9);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    QTextCharFormat wrong;
    wrong.setForeground(Qt::green);
    cursor.setCharFormat(wrong);
    changes.clear();
    editor->recolourRange(all, palette);
    EXPECT_EQ(changes, QList<QList<int>>({ { 9, 1, 1 } }));
    EXPECT_EQ(colourAt(9), palette.tagColor);
}

TEST_F(EditorPageTest, TextRangesReadAcrossLines)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "<p>\r\n\r\nab\r\ncd");
    const struct {
        int from, length;
        QString expected;
    } rows[] = {
        { 0, 3, QStringLiteral("<p>") },
        { 1, 5, QStringLiteral("p>\u2029\u2029a") },
        { 3, 1, QStringLiteral("\u2029") },
        { 6, 4, QStringLiteral("b\u2029cd") },
        { 9, 0, QString() },
    };
    for (const auto &row : rows)
        EXPECT_EQ(editor->textRange(row.from, row.length), row.expected) << row.from;
}

TEST_F(EditorPageTest, SavingWritesThePageInItsEncodingAndLineEnds)
{
    const struct {
        const char *name;
        QByteArray before;
        QByteArray after; // after typing "X" at the start
    } rows[] = {
        { "CR LF", "<p>\r\nb\r\n", "X<p>\r\nb\r\n" },
        { "LF only", "<p>\nb\n", "X<p>\nb\n" },
        { "Latin-1", "caf\xe9\xa0\n", "Xcaf\xe9\xa0\n" },
        { "UTF-8", "caf\xc3\xa9\xc2\xa0", "Xcaf\xc3\xa9\xc2\xa0" },
        { "NUL bytes", QByteArray("a\0b", 3), QByteArray("Xa\0b", 4) },
    };
    for (const auto &row : rows) {
        viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), row.before);
        placeCaret(0);
        QTest::keyClick(editor, 'X');
        ASSERT_TRUE(form.saveButton()->isEnabled()) << row.name;
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(fileBytes(host.current), row.after) << row.name;
        EXPECT_FALSE(form.isEditorModified()) << row.name;
        EXPECT_EQ(form.windowTitle(), host.current) << row.name;
        EXPECT_EQ(form.viewerFileTime(), QFileInfo(host.current).lastModified()) << row.name;
        EXPECT_EQ(dialogs.count(QStringLiteral("info")), 0) << row.name;
    }
}

TEST_F(EditorPageTest, AFailedSaveKeepsTheChangesAndTheFile)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "old");
    placeCaret(0);
    QTest::keyClick(editor, Qt::Key_N);
    // Deleted while open: saving writes it anew.
    QFile::remove(host.current);
    form.saveFile();
    EXPECT_EQ(fileBytes(host.current), QByteArray("nold"));

    QTest::keyClick(editor, Qt::Key_N);
    if (geteuid() != 0) { // root writes anyway
        QFile::setPermissions(host.current, QFile::ReadOwner);
        form.saveFile();
        ASSERT_EQ(dialogs.count(QStringLiteral("info")), 1);
        EXPECT_TRUE(
            dialogs.lastText().startsWith(QStringLiteral("File saving error in:\n") + host.current
                + QStringLiteral("\nPlease check diskspace "
                                 "and writing permissions...")));
        EXPECT_TRUE(form.isEditorModified());
        EXPECT_EQ(fileBytes(host.current), QByteArray("nold"));
        QFile::setPermissions(host.current, QFile::ReadOwner | QFile::WriteOwner);
    }
    // A Latin-1 page cannot take a character beyond Latin-1: refused, not turned into "?".
    open(QStringLiteral("latin.htm"), "caf\xe9");
    form.editor()->insertPlainText(QStringLiteral("\u20ac"));
    form.setEditorModified();
    dialogs.calls.clear();
    form.saveFile();
    EXPECT_EQ(dialogs.count(QStringLiteral("info")), 1);
    EXPECT_EQ(fileBytes(host.current), QByteArray("caf\xe9"));
    EXPECT_TRUE(form.isEditorModified());
}

TEST_F(EditorPageTest, SaveAsWritesACopyAndKeepsTheFile)
{
    open(QStringLiteral("page.htm"), "<p>");
    const QString original = host.current;
    QDir().mkpath(pages.path(QStringLiteral("other")));
    const struct {
        const char *name;
        QString chosen;
        QString written; // empty: nothing
        bool listed;
    } rows[] = {
        { "another folder", pages.path(QStringLiteral("other/copy.htm")),
            pages.path(QStringLiteral("other/copy.htm")), false },
        { "current folder, name trimmed", pages.path(QStringLiteral(" copy.htm. ")),
            pages.path(QStringLiteral("copy.htm")), true },
        { "refused name", pages.path(QStringLiteral("a..b")), QString(), false },
        { "cancelled", QString(), QString(), false },
    };
    for (const auto &row : rows) {
        host.savedCopies.clear();
        dialogs.paths = { row.chosen };
        form.saveEditorFileAs();
        EXPECT_EQ(form.viewerFile(), original) << row.name;
        if (!row.written.isEmpty()) {
            EXPECT_EQ(fileBytes(row.written), QByteArray("<p>")) << row.name;
        }
        EXPECT_EQ(host.savedCopies.size(), row.listed ? 1 : 0) << row.name;
    }
    EXPECT_EQ(dialogs.texts(QStringLiteral("error")),
        QStringList { QStringLiteral("Invalid Filename: a..b") });
    EXPECT_EQ(form.viewerFileTime(), QFileInfo(original).lastModified());
}

TEST_F(EditorPageTest, FindAndReplace)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "aaaa");
    form.startSearchReplace();
    viewer::ReplaceDialog *dialog = form.replaceDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    dialog->setFindText(QStringLiteral("a"));
    dialog->setReplaceText(QStringLiteral("bb"));
    QTest::mouseClick(dialog->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(editor->text(), QStringLiteral("bbbbbbbb"));
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("\"a\", Replace done: 4 times"));
    EXPECT_TRUE(form.isEditorModified());
    EXPECT_EQ(viewer::editorSettingsOf(host.values).lastSearch, QStringLiteral("a"));
    EXPECT_EQ(viewer::editorSettingsOf(host.values).lastReplace, QStringLiteral("bb"));

    // Find Next at the last occurrence does not start again at the top.
    editor = open(QStringLiteral("page2.htm"), "x1 x2");
    placeCaret(0);
    dialog->setFindText(QStringLiteral("x"));
    dialog->setReplaceText(QStringLiteral("y"));
    QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(editor->textCursor().selectionStart(), 0);
    QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(editor->textCursor().selectionStart(), 3);
    dialogs.calls.clear();
    QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("\"x\" not found."));

    // Replace with the found occurrence still selected replaces the next one after it.
    placeCaret(0);
    QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
    QTest::mouseClick(dialog->replaceButton(), Qt::LeftButton);
    EXPECT_EQ(editor->text(), QStringLiteral("x1 y2"));
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("y"));

    // Match case and whole word.
    editor = open(QStringLiteral("page3.htm"), "Cat cat concat");
    placeCaret(0);
    dialog->matchCaseBox()->setChecked(true);
    dialog->wholeWordBox()->setChecked(true);
    dialog->setFindText(QStringLiteral("cat"));
    dialog->setReplaceText(QStringLiteral("dog"));
    QTest::mouseClick(dialog->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(editor->text(), QStringLiteral("Cat dog concat"));

    // The dialog opens with the remembered texts.
    dialog->setFindText(QString());
    form.startSearchReplace();
    EXPECT_EQ(dialog->findText(), QStringLiteral("cat"));
    EXPECT_EQ(dialog->replaceText(), QStringLiteral("dog"));
}

TEST_F(EditorPageTest, TheTagHintFollowsTheCaret)
{
    host.table = { QStringLiteral("<TABLE> : <TABLE border=n>"),
        QStringLiteral("<TD> : <TD align=left|center|right> table cell") };
    open(QStringLiteral("page.htm"), "<table><td align=center>x</td></table>");
    struct Row {
        int caret;
        const char *hint;
    };
    const Row rows[] = { { 10, "<TD align=left|center|right> table cell" },
        { 2, "<TABLE border=n>" }, { 28, "<TD align=left|center|right> table cell" } };
    for (const Row &row : rows) {
        placeCaret(row.caret);
        EXPECT_EQ(form.tagHintField()->text(), QString::fromLatin1(row.hint)) << row.caret;
    }

    // The next file shows no hint of the last one where its caret is on no tag.
    open(QStringLiteral("plain.htm"), "just text");
    EXPECT_EQ(form.tagHintField()->text(), QString());
    open(QStringLiteral("page.htm"), "<table><td align=center>x</td></table>");

    // Shift+F1 puts the hint into the text, selected; the caret at the start keeps the hint.
    placeCaret(10);
    placeCaret(0);
    QTest::keyClick(form.editor(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(form.editor()->text().startsWith(QStringLiteral("<TD align=left|center|right> "
                                                                "table cell<table>")));
    EXPECT_EQ(form.editor()->textCursor().selectedText(),
        QStringLiteral("<TD align=left|center|right> table cell"));
    EXPECT_TRUE(form.isEditorModified());
}

// A hint longer than its field shows the tag it names, wherever the focus was.
TEST_F(EditorPageTest, ALongTagHintShowsItsStart)
{
    const QString hint = QStringLiteral("<BODY bgcolor=\"#rrggbb\" text=\"#rrggbb\" "
                                        "link=\"#rrggbb\" vlink=\"#rrggbb\" alink=\"#rrggbb\" "
                                        "background=\"url\" onload=\"script\"></BODY>  document "
                                        "body");
    host.table = { QStringLiteral("<BODY> : ") + hint, QStringLiteral("<P> : <P> paragraph") };
    open(QStringLiteral("page.htm"), "<p>x</p><body>y</body>");
    QLineEdit *field = form.tagHintField();
    ASSERT_LT(field->width(), field->fontMetrics().horizontalAdvance(hint));
    for (const bool fieldHasFocus : { false, true }) {
        placeCaret(1);
        if (fieldHasFocus) {
            field->setFocus();
            field->end(false); // the user had looked at the end of the last hint
        }
        placeCaret(10);
        ASSERT_EQ(field->text(), hint);
        field->repaint();
        EXPECT_EQ(field->cursorPosition(), 0) << fieldHasFocus;
        // The caret is drawn where the text starts: the text is not scrolled.
        EXPECT_LT(field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(),
            field->fontMetrics().averageCharWidth() * 2)
            << fieldHasFocus;
    }
}

TEST_F(EditorPageTest, PresetsRecolourOnlyWithColouringOn)
{
    viewer::SourceEditor *editor = open(QStringLiteral("page.htm"), "<b>x</b>");
    QTest::keyClick(editor, Qt::Key_2, Qt::ControlModifier);
    const editor::Palette emphasis = editor::presetPalette(2);
    EXPECT_EQ(viewer::editorSettingsOf(host.values).palette, emphasis);
    EXPECT_EQ(colourAt(0), emphasis.tagColor);
    EXPECT_EQ(colourAt(3), emphasis.textColor);
    EXPECT_FALSE(form.isEditorModified());

    viewer::EditorSettings off = viewer::editorSettingsOf(host.values);
    off.colorTags = false;
    off.palette = editor::Palette();
    viewer::storeEditorSettings(host.values, off);
    editor = open(QStringLiteral("plain.htm"), "<b>x</b>");
    const int before = colourAt(3);
    QTest::keyClick(editor, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(viewer::editorSettingsOf(host.values).palette, editor::presetPalette(3));
    EXPECT_EQ(colourAt(3), before);
}

TEST_F(EditorPageTest, ColouredPasteAndFormat)
{
    viewer::SourceEditor *editor
        = open(QStringLiteral("page.htm"), "<html><body><p>x</p></body></html>");
    placeCaret(0);
    QGuiApplication::clipboard()->setText(QStringLiteral("<i>y</i>"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(editor->text().startsWith(QStringLiteral("<i>y</i><html>")));
    EXPECT_EQ(colourAt(0), palette.tagColor);
    EXPECT_EQ(colourAt(3), palette.textColor);
    EXPECT_TRUE(form.isEditorModified());

    form.setEditorNotModified();
    placeCaret(5);
    QTest::mouseClick(form.formatButton(), Qt::LeftButton);
    EXPECT_EQ(editor->textCursor().position(), 0);
    EXPECT_TRUE(editor->text().contains(u'\n'));
    EXPECT_FALSE(editor->text().contains(u'\r'));
    EXPECT_TRUE(form.isEditorModified());
    EXPECT_EQ(colourAt(0), palette.tagColor);
}

TEST_F(EditorPageTest, AChangeOnDiskIsOfferedOnce)
{
    open(QStringLiteral("page.htm"), "<p>");
    EXPECT_FALSE(form.askReloadChangedFile(host.current));
    QFile::remove(host.current);
    pages.write(QStringLiteral("page.htm"), "<p>changed");
    QFile file(host.current);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    file.close();
    dialogs.answers = { platform::Answer::No };
    EXPECT_FALSE(form.askReloadChangedFile(host.current));
    EXPECT_EQ(dialogs.count(QStringLiteral("yesno")), 1);
    EXPECT_TRUE(dialogs.lastText().startsWith(QStringLiteral("File: ") + host.current
        + QStringLiteral("\n has been changed by another "
                         "application.\n\nReload from "
                         "disk?")));
    EXPECT_FALSE(form.askReloadChangedFile(host.current));
    EXPECT_EQ(dialogs.count(QStringLiteral("yesno")), 1);
    // Another file is current in the main window: nothing is asked.
    EXPECT_FALSE(form.askReloadChangedFile(pages.path(QStringLiteral("other.htm"))));
}

} // namespace
