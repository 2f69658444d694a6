// The controls of the folder view, built once in the constructor.
#include "folderview/folderviewpage.h"

#include "folderview/filelistbox.h"
#include "folderview/viewsdock.h"
#include "kit/panels.h"

#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

namespace folderview {

void FolderViewPage::buildFileTab()
{
    QVBoxLayout *column = kit::tightColumn(this);
    fileTitle_ = kit::titleBar(QString(), this);
    fileTitle_->setObjectName(QStringLiteral("PanelFileTop"));
    filesLabel_ = fileTitle_;
    filesLabel_->setObjectName(QStringLiteral("LabelFiles"));
    column->addWidget(fileTitle_);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    fileList_ = new FileListBox(splitter);
    fileList_->setObjectName(QStringLiteral("LBFile"));
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList_->setUniformItemSizes(true);
    fileList_->setIconSize(QSize(16, 16));
    fileList_->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    splitter->addWidget(fileList_);

    m_dock = new ViewsDock(splitter);
    splitter->addWidget(m_dock);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 149, 400 });
    column->addWidget(splitter, 1);
}

} // namespace folderview
