// The editor page of the viewer window: building it, loading the viewer file, its modified
// state and saving it.
#include "viewer/viewereditor.h"

#include "editor/textspot.h"
#include "engine/htmlview.h"
#include "folderview/fileops.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "platform/pathrules.h"
#include "viewer/editorsearch.h"
#include "viewer/editorsettings.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

namespace viewer {

namespace {

const QString kPictureNotice
    = QStringLiteral("\n  Sorry, pictures cannot be displayed in editor ...");
const QString kUnsaved = QStringLiteral(" --- UNSAVED ---");

bool isPicture(const QString &path)
{
    const QString extension = QLatin1Char('.') + QFileInfo(path).suffix().toUpper();
    return extension == QLatin1String(".JPG") || extension == QLatin1String(".GIF");
}

} // namespace

ViewerEditor::ViewerEditor(frame::PageFrame *host, QTabWidget *pages, QWidget *tab, QWidget *window,
    engine::HtmlView *browser)
    : QObject(tab)
    , m_host(host)
    , m_pages(pages)
    , m_tab(tab)
    , m_window(window)
    , m_browser(browser)
{
    m_editor = new SourceEditor(m_tab);
    m_editor->setHandler(this);
    m_layout = new QVBoxLayout(m_tab);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(buildToolbar());
    m_layout->addWidget(m_editor, 1);
    connectEditor();
    m_search = new EditorSearch(m_host, m_editor, m_window);
    connect(m_search, &EditorSearch::replaced, this, &ViewerEditor::setEditorModified);
}

void ViewerEditor::detachEditor()
{
    if (!m_editor)
        return;
    m_editor->setHandler(nullptr);
    m_editor->disconnect(this);
    m_editor->document()->disconnect(this);
}

QWidget *ViewerEditor::buildToolbar()
{
    auto *bar = new QWidget(m_tab);
    bar->setObjectName(QStringLiteral("PanelEditorTop"));
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, QColor(128, 128, 128));
    barPalette.setColor(QPalette::WindowText, Qt::white);
    bar->setPalette(barPalette);

    m_save = new QPushButton(QStringLiteral("Save"), bar);
    m_save->setObjectName(QStringLiteral("BSave"));
    m_save->setToolTip(QStringLiteral("[CTRL-S] = Save current file"));
    m_format = new QPushButton(QStringLiteral("Format"), bar);
    m_format->setObjectName(QStringLiteral("BFormat"));
    m_format->setToolTip(QStringLiteral("Format HTML source code"));
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 1, 12, 1); // the hint field ends 12 pixels before the edge
    layout->setSpacing(2);
    layout->addWidget(m_save);
    layout->addWidget(m_format);
    addRepaintButtons(layout, bar);
    m_labelTagSyntax = new QLabel(QStringLiteral("  Tag Syntax:"), bar);
    m_tagHintField = new QLineEdit(bar);
    m_tagHintField->setObjectName(QStringLiteral("Edit1"));
    m_tagHintField->setReadOnly(true);
    kit::showTextStart(m_tagHintField);
    layout->addWidget(m_labelTagSyntax);
    layout->addSpacing(6 - layout->spacing()); // the hint field starts 6 pixels further
    layout->addWidget(m_tagHintField, 1);
    return bar;
}

void ViewerEditor::addRepaintButtons(QLayout *layout, QWidget *bar)
{
    for (int preset = 1; preset <= 4; ++preset) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("BRepaint%1").arg(preset));
        button->setText(QString::number(preset));
        button->setToolTip(QString::fromLatin1(editor::presetHint(preset)));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, preset] { repaintWithPreset(preset); });
        layout->addWidget(button);
        m_repaint[preset - 1] = button;
    }
}

void ViewerEditor::connectEditor()
{
    connect(m_save, &QPushButton::clicked, this, &ViewerEditor::saveFile);
    connect(m_format, &QPushButton::clicked, this, &ViewerEditor::formatText);
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this, &ViewerEditor::showTagHint);
    connect(m_editor, &QPlainTextEdit::selectionChanged, this, &ViewerEditor::showTagHint);
    connect(m_editor->document(), &QTextDocument::modificationChanged, this, [this] {
        updateCaption();
        setButtonState();
    });
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (m_host)
            m_host->showContextMenu(m_editor->viewport()->mapToGlobal(pos));
    });
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
}

void ViewerEditor::returnEditor()
{
    if (m_layout->indexOf(m_editor) < 0) {
        m_editor->setParent(m_tab);
        m_layout->addWidget(m_editor, 1);
    }
    m_editor->show();
}

void ViewerEditor::loadFile(const QString &path)
{
    loadEditorText(path);
    m_viewerFileTime = QFileInfo(path).lastModified();
}

void ViewerEditor::clear()
{
    m_editor->loadText(QString(), nullptr);
    m_editor->setEnabled(false); // nothing to edit until a file is loaded
    m_editorHoldsFile = false;
    m_tagHintField->clear();
    m_viewerFile.clear();
    m_viewerFileTime = QDateTime();
    // Last, so that the buttons see the editor empty and disabled.
    setEditorNotModified();
}

void ViewerEditor::discardEditorChanges()
{
    if (m_viewerFile.isEmpty() || !isEditorModified())
        return;
    loadEditorText(m_viewerFile);
    m_viewerFileTime = QFileInfo(m_viewerFile).lastModified();
    setEditorNotModified();
}

void ViewerEditor::startSearchReplace()
{
    m_search->start();
}

ReplaceDialog *ViewerEditor::replaceDialog() const
{
    return m_search->dialog();
}

// --- Loading and the modified state ------------------------------------------------------

void ViewerEditor::loadEditorText(const QString &path)
{
    m_editorHoldsFile = false;
    // The last file's hint would stay where the new text has no tag at the caret.
    m_tagHintField->clear();
    if (isPicture(path)) {
        m_viewerFile.clear();
        showEditorNotice(kPictureNotice);
        return;
    }
    m_viewerFile = path;
    const editor::LoadedPage loaded = editor::loadEditorFile(path);
    if (loaded.status == editor::LoadStatus::TooLong) {
        showEditorNotice(QStringLiteral("\n  Sorry, this file has more than 2,000,000 "
                                        "characters and cannot be edited here ..."));
        return;
    }
    if (loaded.status == editor::LoadStatus::Unreadable) {
        showEditorNotice(QStringLiteral("\n  Sorry, this file cannot be read: ") + loaded.error);
        return;
    }
    m_encoding = loaded.page.encoding;
    m_lineEnds = loaded.page.lineEnds;
    m_editor->setEnabled(true);
    m_editor->setUpdatesEnabled(false);
    const editor::Palette colours = palette();
    m_editor->loadText(loaded.page.text, colouring() ? &colours : nullptr);
    m_editor->setTypingColour(colours.textColor);
    m_editor->setUpdatesEnabled(true);
    m_editorHoldsFile = true;
}

void ViewerEditor::showEditorNotice(const QString &notice)
{
    m_editor->loadText(notice, nullptr);
    m_editor->setEnabled(false);
}

void ViewerEditor::selectOnShow(int line, int column, const QString &text)
{
    m_editorSpot = EditorSpot { line, column, text };
}

void ViewerEditor::showEditorSpot()
{
    if (!m_editorSpot)
        return;
    const EditorSpot spot = *m_editorSpot;
    m_editorSpot.reset();
    m_pages->setCurrentWidget(m_tab);
    const editor::TextSpan span
        = editor::spanNear(m_editor->text(), spot.line, spot.column, spot.text);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(int(span.start));
    cursor.setPosition(int(span.start + span.length), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->centerCursor();
    m_editor->setFocus();
}

bool ViewerEditor::colouring() const
{
    return !m_host || m_host->settings().colorTags;
}

editor::Palette ViewerEditor::palette() const
{
    return m_host ? resolveSystemColours(editorSettingsOf(m_host->settings()).palette)
                  : editor::Palette();
}

// The editor's own file, not the page's current entry: a report row that vanishes once the
// link it named is mended must not leave the changes since without a file to save them to.
bool ViewerEditor::editable() const
{
    return m_editorHoldsFile && m_editor->isEnabledTo(m_editor->window());
}

void ViewerEditor::updateCaption()
{
    m_window->setWindowTitle(
        m_editor->document()->isModified() ? m_viewerFile + kUnsaved : m_viewerFile);
}

void ViewerEditor::setEditorModified()
{
    m_editor->document()->setModified(true);
    updateCaption();
    setButtonState();
}

void ViewerEditor::setEditorNotModified()
{
    m_editor->document()->setModified(false);
    updateCaption();
    setButtonState();
}

bool ViewerEditor::isEditorModified() const
{
    return m_editor->document()->isModified();
}

void ViewerEditor::setButtonState()
{
    const bool canEdit = editable();
    const bool canSave = canEdit && isEditorModified();
    m_save->setEnabled(canSave);
    m_format->setEnabled(canEdit);
    if (m_host)
        m_host->setSaveButtons(canSave, canEdit);
}

// --- Saving ------------------------------------------------------------------------------

void ViewerEditor::saveFile()
{
    if (m_viewerFile.isEmpty()) {
        platform::dialogs().beep();
        return;
    }
    saveEditorFile(m_viewerFile);
}

bool ViewerEditor::writeEditorFile(const QString &fileName)
{
    QString error;
    // Only text read whole from a page is written: never a notice, nor a cut-off page.
    if (!m_editorHoldsFile) {
        error = QStringLiteral("The editor does not hold the text of this file.");
    } else if (editor::saveEditorFile(fileName, m_editor->text(), m_encoding, m_lineEnds, &error)) {
        Q_EMIT fileSaved(fileName);
        return true;
    }
    // The reason follows the usual advice, which alone would mislead where the page's 8-bit
    // encoding cannot hold a character.
    platform::dialogs().ShowInfo(QStringLiteral("File saving error in:\n") + fileName
        + QStringLiteral("\nPlease check diskspace and writing "
                         "permissions...\n\n")
        + error);
    return false;
}

bool ViewerEditor::saveEditorFile(const QString &fileName)
{
    if (!writeEditorFile(fileName))
        return false;
    // A copy saved under another name must not stand for the viewer file's own time.
    if (fileName == m_viewerFile)
        m_viewerFileTime = QFileInfo(fileName).lastModified();
    if (m_browser)
        m_browser->loadHtmlFile(fileName);
    setEditorNotModified();
    return true;
}

void ViewerEditor::saveEditorFileAs()
{
    if (m_viewerFile.isEmpty()) {
        platform::dialogs().beep();
        return;
    }
    const QString chosen
        = platform::dialogs().saveFileName(QStringLiteral("Save As"), m_viewerFile, QString());
    if (chosen.isEmpty())
        return;
    const QString folder = platform::folderPart(chosen);
    const QString target
        = folderview::BuildTargetFileName(folder, platform::fileNamePart(chosen), QString());
    if (target.isEmpty() || !saveEditorFile(target))
        return;
    if (m_host
        && platform::WithTrailingBackslash(folder)
            == platform::WithTrailingBackslash(m_host->currentFolder()))
        m_host->showSavedCopy(target);
}

bool ViewerEditor::askReloadChangedFile(const QString &currentFile)
{
    if (currentFile.isEmpty() || currentFile != m_viewerFile || !m_viewerFileTime.isValid())
        return false;
    const QDateTime onDisk = QFileInfo(currentFile).lastModified();
    if (!onDisk.isValid() || onDisk == m_viewerFileTime)
        return false;
    m_viewerFileTime = onDisk;
    return platform::dialogs().AskYesNo(QStringLiteral("File: ") + currentFile
        + QStringLiteral("\n has been changed by another "
                         "application.\n\nReload from disk?"));
}

} // namespace viewer
