// The controls of the folder view, built once in the constructor.
#include "folderview/folderviewpage.h"

#include "folderview/filelistbox.h"
#include "kit/panels.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace folderview {

void FolderViewPage::buildFolderPanel()
{
    m_folderPanel = new QWidget;
    m_folderPanel->setObjectName(QStringLiteral("PanelDateiManager"));
    QVBoxLayout *column = kit::tightColumn(m_folderPanel);

    folderTitle_ = kit::titleBar(QStringLiteral("Folder Selection"), m_folderPanel);
    folderTitle_->setObjectName(QStringLiteral("PanelDirectoryTop"));
    column->addWidget(folderTitle_);
    driveBox_ = new QComboBox(m_folderPanel);
    driveBox_->setObjectName(QStringLiteral("CBDrive"));
    driveBox_->setToolTip(QStringLiteral("Select File(s):"));
    column->addWidget(driveBox_);
    folderList_ = new QListWidget(m_folderPanel);
    folderList_->setObjectName(QStringLiteral("LBDir"));
    column->addWidget(folderList_, 1);
    filterTitle_ = kit::titleBar(QStringLiteral("Filter: "), m_folderPanel);
    filterTitle_->setObjectName(QStringLiteral("PanelFilterTop"));
    filterTitle_->setWordWrap(true);
    column->addWidget(filterTitle_);
    filterBox_ = new QComboBox(m_folderPanel);
    filterBox_->setObjectName(QStringLiteral("CBFilter"));
    filterBox_->setToolTip(QStringLiteral("Determine which files types should be filtered"));
    filterBox_->setStyleSheet(QStringLiteral("color: blue;"));
    filterBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    column->addWidget(filterBox_);

    miniThumbPanel_ = new QWidget(m_folderPanel);
    miniThumbPanel_->setObjectName(QStringLiteral("PanelActThumb"));
    miniThumbPanel_->setStyleSheet(QStringLiteral("background-color: #c0c0c0;"));
    auto *corner = new QVBoxLayout(miniThumbPanel_);
    corner->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("--- Thumbnail Corner ---"), miniThumbPanel_);
    caption->setAlignment(Qt::AlignCenter);
    corner->addWidget(caption);
    miniThumb_ = new QLabel(miniThumbPanel_);
    miniThumb_->setObjectName(QStringLiteral("ImgMini"));
    miniThumb_->setAlignment(Qt::AlignCenter);
    miniThumb_->setFixedSize(130, 100);
    miniThumb_->setCursor(Qt::PointingHandCursor);
    miniThumb_->setToolTip(QStringLiteral("Double click here to create/update thumbnail(s)"));
    corner->addWidget(miniThumb_, 0, Qt::AlignCenter);
    // 110 pixels held the caption and the picture in the small font the corner was drawn for;
    // in a larger one the caption takes more and the picture must not lose its bottom rows.
    miniThumbPanel_->setFixedHeight(std::max(110, corner->totalSizeHint().height()));
    column->addWidget(miniThumbPanel_);
}

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

    auto *preview = new QWidget(splitter);
    preview->setObjectName(QStringLiteral("PanelActPreview"));
    QVBoxLayout *previewColumn = kit::tightColumn(preview);
    browserPanel_ = new QWidget(preview);
    browserPanel_->setObjectName(QStringLiteral("Panel1"));
    auto *dock = new QVBoxLayout(browserPanel_);
    dock->setContentsMargins(0, 0, 0, 0);
    m_browserPlaceholder
        = new QLabel(QStringLiteral("Editor and Bowser view disabled"), browserPanel_);
    m_browserPlaceholder->setAlignment(Qt::AlignCenter);
    dock->addWidget(m_browserPlaceholder);
    previewColumn->addWidget(browserPanel_, 1);

    QHBoxLayout *barLayout = nullptr;
    QWidget *panFolder = kit::buttonBar(preview, &barLayout);
    browserButton_ = new QToolButton(panFolder);
    browserButton_->setObjectName(QStringLiteral("SBBrowser"));
    browserButton_->setText(QStringLiteral("Browser"));
    browserButton_->setToolTip(QStringLiteral("Show Browser View"));
    editorButton_ = new QToolButton(panFolder);
    editorButton_->setObjectName(QStringLiteral("SBEditor"));
    editorButton_->setText(QStringLiteral("Editor"));
    editorButton_->setToolTip(QStringLiteral("Show Editor"));
    m_viewSwitch = new QButtonGroup(this);
    for (QToolButton *button : { browserButton_, editorButton_ }) {
        button->setCheckable(true);
        m_viewSwitch->addButton(button);
        barLayout->addWidget(button);
    }
    browserButton_->setChecked(true);
    barLayout->addStretch(1);
    saveAsButton_ = kit::barButton(QStringLiteral("Save As"),
        QStringLiteral("Save a copy of the current editor file"), barLayout);
    saveAsButton_->setObjectName(QStringLiteral("BSaveAs"));
    saveButton_ = kit::barButton(
        QStringLiteral("Save"), QStringLiteral("[CTRL-S]: Save current editor file"), barLayout);
    saveButton_->setObjectName(QStringLiteral("BSave"));
    saveButton_->setEnabled(false);
    previewColumn->addWidget(panFolder);

    splitter->addWidget(preview);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 149, 400 });
    column->addWidget(splitter, 1);
}

} // namespace folderview
