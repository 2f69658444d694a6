#include "visualcheck/visualcheckpage.h"

#include "frame/batchprogress.h"
#include "imaging/looksstore.h"
#include "platform/filewatch.h"
#include "scan/folderscan.h"
#include "visualcheck/looklistmodel.h"
#include "visualcheck/lookpictures.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace visualcheck {

namespace {

const QString kPageMask = QStringLiteral("*.htm;*.html");

QStringList pagesBelow(const QString &folder)
{
    scan::ScanOptions options;
    options.mask = kPageMask;
    QStringList pages = scan::ScanFolderPaths(folder, options);
    pages.sort();
    return pages;
}

} // namespace

VisualCheckPage::VisualCheckPage(const Frame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
    , m_model(new LookListModel(this))
    , m_watch(new platform::FileWatch(this))
{
    setObjectName(QStringLiteral("TabVisualCheck"));
    buildLayout();
    connect(m_watch, &platform::FileWatch::filesChanged, this, &VisualCheckPage::filesChanged);
}

VisualCheckPage::~VisualCheckPage() = default;

void VisualCheckPage::buildLayout()
{
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("PanelVisualTop"));
    m_baselineButton = new QPushButton(QStringLiteral("Take Baseline"), this);
    m_baselineButton->setObjectName(QStringLiteral("BTakeBaseline"));
    m_compareButton = new QPushButton(QStringLiteral("Compare"), this);
    m_compareButton->setObjectName(QStringLiteral("BCompare"));
    m_acceptButton = new QPushButton(QStringLiteral("Accept"), this);
    m_acceptButton->setObjectName(QStringLiteral("BAccept"));
    m_masks = new QLineEdit(this);
    m_masks->setObjectName(QStringLiteral("EMasks"));
    m_masks->setPlaceholderText(QStringLiteral("CSS selectors to hide, such as .clock, #advert"));

    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("ELVVisualCheck"));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setStretchLastSection(true);
    m_pictures = new LookPictures(this);

    auto *bar = new QHBoxLayout;
    for (QWidget *button : { static_cast<QWidget *>(m_baselineButton), static_cast<QWidget *>(m_compareButton),
             static_cast<QWidget *>(m_acceptButton) })
        bar->addWidget(button);
    bar->addWidget(new QLabel(QStringLiteral("Hide:"), this));
    bar->addWidget(m_masks, 1);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_list);
    split->addWidget(m_pictures);
    split->setStretchFactor(1, 2);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_caption);
    column->addLayout(bar);
    column->addWidget(split, 1);

    connect(m_baselineButton, &QPushButton::clicked, this, &VisualCheckPage::takeBaseline);
    connect(m_compareButton, &QPushButton::clicked, this, &VisualCheckPage::compare);
    connect(m_acceptButton, &QPushButton::clicked, this, &VisualCheckPage::acceptSelected);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &VisualCheckPage::showCurrentEntry);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { m_frame.status.updateStatus(); });
    connect(m_list, &QTreeView::doubleClicked, this, [this] { m_frame.commands.openCurrentFile(); });
    setCaption();
}

QString VisualCheckPage::title() const
{
    return QStringLiteral("Visual Check");
}

QString VisualCheckPage::entryNoun() const
{
    return QStringLiteral("entries");
}

void VisualCheckPage::start()
{
    m_frame.editedFile.followEditorSaves(this, [this](const QString &path) { filesChanged({ path }); });
}

void VisualCheckPage::activate()
{
    m_list->setFocus();
}

QString VisualCheckPage::currentFile() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? QDir::toNativeSeparators(m_model->entry(current.row()).page) : QString();
}

frame::SelectionCount VisualCheckPage::selectionCounts() const
{
    return { this, int(selectedRows().size()), m_model->rowCount() };
}

QString VisualCheckPage::entryPath(int index, bool onlySelected) const
{
    if (index < 0 || index >= m_model->rowCount())
        return {};
    if (onlySelected && !m_list->selectionModel()->isRowSelected(index, {}))
        return {};
    return QDir::toNativeSeparators(m_model->entry(index).page);
}

QList<int> VisualCheckPage::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

LookSettings VisualCheckPage::settings() const
{
    LookSettings settings;
    for (const QString &mask : m_masks->text().split(QLatin1Char(','), Qt::SkipEmptyParts))
        settings.masks << mask.trimmed();
    return settings;
}

QString VisualCheckPage::looksFolder() const
{
    return QDir(m_frame.configuration.dataFolder()).filePath(QStringLiteral("LOOKS")) + QLatin1Char('/');
}

void VisualCheckPage::takeBaseline()
{
    m_root = QDir::cleanPath(m_frame.folder.currentFolder()) + QLatin1Char('/');
    m_model->clear();
    m_model->setRoot(m_root);
    run(pagesBelow(m_root), true);
}

void VisualCheckPage::compare()
{
    m_root = QDir::cleanPath(m_frame.folder.currentFolder()) + QLatin1Char('/');
    m_model->clear();
    m_model->setRoot(m_root);
    run(pagesBelow(m_root), false);
}

void VisualCheckPage::run(const QStringList &pages, bool update)
{
    if (m_running || pages.isEmpty()) {
        setCaption();
        return;
    }
    m_running = true;
    const LookSettings chosen = settings();
    frame::BatchProgress *progress = m_frame.progress.progressWindow();
    if (progress) {
        progress->initProgressBar(int(pages.size() * chosen.widths.size()));
        progress->showProgress();
    }
    m_frame.progress.setMainWindowEnabled(false);
    LookCheck check(looksFolder(), chosen);
    check.setKeepPictures(true);
    if (progress)
        check.setStopCheck([progress] { return progress->stopRequested(); });
    check.run(pages, update, [&](const LookResult &result) {
        m_model->put(result);
        if (progress) {
            progress->setProgressText(lookLine(result));
            progress->stepProgress();
        }
    });
    if (progress)
        progress->closeProgress();
    m_frame.progress.setMainWindowEnabled(true);
    m_running = false;
    m_watch->setFiles(pages);
    if (m_model->rowCount() > 0 && !m_list->currentIndex().isValid())
        m_list->setCurrentIndex(m_model->index(0, 0));
    setCaption();
    m_frame.status.updateStatus();
}

void VisualCheckPage::acceptSelected()
{
    LookCheck check(looksFolder(), settings());
    // Accepted entries move in the list: the selection is taken first.
    std::vector<LookResult> chosen;
    for (int row : selectedRows())
        chosen.push_back(m_model->entry(row));
    for (LookResult &accepted : chosen) {
        QString error;
        if (accepted.after.isNull())
            continue;
        if (!check.accept(accepted, &error)) {
            m_frame.status.setHintLine(error);
            continue;
        }
        accepted.kind = LookKind::Same;
        accepted.diff = {};
        m_model->put(accepted);
    }
    setCaption();
    showCurrentEntry();
}

void VisualCheckPage::filesChanged(const QStringList &paths)
{
    if (m_running || !isVisible() || m_model->rowCount() == 0)
        return;
    QStringList again;
    for (const QString &path : paths) {
        const QString page = QDir::cleanPath(QDir::fromNativeSeparators(path));
        if (page.startsWith(m_root) && QDir::match(kPageMask.split(QLatin1Char(';')), QFileInfo(page).fileName()))
            again << page;
    }
    if (again.isEmpty())
        return;
    LookCheck check(looksFolder(), settings());
    check.setKeepPictures(true);
    check.run(again, false, [this](const LookResult &result) { m_model->put(result); });
    setCaption();
    showCurrentEntry();
}

void VisualCheckPage::showCurrentEntry()
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid()) {
        m_pictures->clear();
        return;
    }
    const LookResult &entry = m_model->entry(current.row());
    QImage baseline;
    imaging::loadLooks(imaging::looksFileFor(looksFolder(), entry.page, entry.width), &baseline);
    m_pictures->showEntry(entry, baseline);
}

void VisualCheckPage::setCaption()
{
    if (m_model->rowCount() == 0) {
        m_caption->setText(QStringLiteral("Take a baseline of the pages of the current folder, change them, then compare."));
        return;
    }
    m_caption->setText(QStringLiteral("%1 of %2 entries changed, new or failed in \"%3\"")
                          .arg(m_model->changedCount())
                          .arg(m_model->rowCount())
                          .arg(QDir::toNativeSeparators(m_root)));
}

} // namespace visualcheck
