#include "thumbs/thumbviewpage.h"

#include "app/pageframe.h"
#include "kit/panels.h"
#include "platform/pathrules.h"
#include "thumbs/thumblistmodel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace thumbs {

ThumbViewPage::ThumbViewPage(app::PageFrame &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
    buildLayout();
    LVThumbs->installEventFilter(this);
    LVThumbs->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LVThumbs, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_frame.showContextMenu(LVThumbs->viewport()->mapToGlobal(pos));
    });
    connect(LVThumbs, &QListView::doubleClicked, this, [this] { m_frame.DblClickForAll(); });
    connect(LVThumbs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { m_frame.UpdateStatus(); });
    connect(CBSnapBase, &QComboBox::currentIndexChanged, this,
        [this](int index) { m_frame.settings().THUMB_BASEIDX = index; });
    connect(BSelectAllThumbs, &QPushButton::clicked, LVThumbs, &QListView::selectAll);
}

void ThumbViewPage::buildLayout()
{
    QVBoxLayout *column = kit::tightColumn(this);
    LabelThumbs = kit::titleBar(QString(), this);
    column->addWidget(LabelThumbs);

    LVThumbs = new QListView(this);
    LVThumbs->setObjectName(QStringLiteral("LVThumbs"));
    LVThumbs->setViewMode(QListView::IconMode);
    LVThumbs->setUniformItemSizes(true);
    LVThumbs->setResizeMode(QListView::Adjust);
    LVThumbs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LVThumbs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVThumbs->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    m_model = new ThumbListModel(this);
    LVThumbs->setModel(m_model);
    column->addWidget(LVThumbs, 1);

    QHBoxLayout *barLayout = nullptr;
    QWidget *panThumbs = kit::buttonBar(this, &barLayout);
    BMakeThumb = kit::barButton(QStringLiteral("Make Thumbs"),
        QStringLiteral("Create or update selected thumbnail(s)"), barLayout);
    BClearThumb = kit::barButton(
        QStringLiteral("ClearThumbs"), QStringLiteral("Clear selected thumbnail(s)"), barLayout);
    BSelectAllThumbs = kit::barButton(
        QStringLiteral("Select All"), QStringLiteral("[CTRL-A ] = Select all"), barLayout);
    CBSnapBase = new QComboBox(panThumbs);
    CBSnapBase->setToolTip(QStringLiteral("Choose browser size for thumbnail creation"));
    for (const char *size :
        { "160x120", "320x240", "480x360", "640x480", "800x600", "1024x768", "1600x1200" })
        CBSnapBase->addItem(QStringLiteral("Thumbs Base: ") + QLatin1String(size));
    barLayout->addWidget(CBSnapBase);
    barLayout->addStretch(1);
    column->addWidget(panThumbs);
}

bool ThumbViewPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LVThumbs && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_frame.DblClickForAll();
            return true;
        }
        if (key == Qt::Key_Delete) {
            Q_EMIT deleteRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString ThumbViewPage::CurrentFile() const
{
    const QModelIndexList rows = LVThumbs->selectionModel()->selectedIndexes();
    return rows.size() == 1 ? EntryPath(rows.first().row(), false) : QString();
}

folderview::SelectionCount ThumbViewPage::SelectionCounts() const
{
    return { app::ThumbnailViewPage, int(LVThumbs->selectionModel()->selectedIndexes().size()),
        m_model->rowCount() };
}

QString ThumbViewPage::EntryPath(int index, bool onlySelected) const
{
    if (index < 0 || index >= m_model->rowCount() || index >= m_names.size())
        return {};
    if (onlySelected && !LVThumbs->selectionModel()->isRowSelected(index, {}))
        return {};
    return platform::WithTrailingBackslash(m_folder) + m_names.at(index);
}

void ThumbViewPage::setEntries(const QString &folder, const QStringList &names)
{
    m_folder = folder;
    m_names = names;
    LabelThumbs->setText(folder);
    m_model->setNames(names);
}

void ThumbViewPage::setBaseIndex(int index)
{
    if (index < 0 || index >= CBSnapBase->count())
        index = app::Settings().THUMB_BASEIDX;
    m_frame.settings().THUMB_BASEIDX = index;
    CBSnapBase->setCurrentIndex(index);
}

void ThumbViewPage::activate()
{
    LabelThumbs->setText(m_folder);
    if (LVThumbs->selectionModel()->selectedIndexes().isEmpty() && m_model->rowCount() > 0) {
        const QModelIndex first = m_model->index(0);
        LVThumbs->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    }
    if (LVThumbs->isVisible())
        LVThumbs->setFocus();
}

} // namespace thumbs
