// The controls of the folder view, built once in the constructor.
#include "folderview/folderviewpage.h"

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

    PanelDirectoryTop = kit::titleBar(QStringLiteral("Folder Selection"), m_folderPanel);
    column->addWidget(PanelDirectoryTop);
    CBDrive = new QComboBox(m_folderPanel);
    CBDrive->setToolTip(QStringLiteral("Select File(s):"));
    column->addWidget(CBDrive);
    LBDir = new QListWidget(m_folderPanel);
    LBDir->setObjectName(QStringLiteral("LBDir"));
    column->addWidget(LBDir, 1);
    PanelFilterTop = kit::titleBar(QStringLiteral("Filter: "), m_folderPanel);
    PanelFilterTop->setWordWrap(true);
    column->addWidget(PanelFilterTop);
    CBFilter = new QComboBox(m_folderPanel);
    CBFilter->setToolTip(QStringLiteral("Determine which files types should be filtered"));
    CBFilter->setStyleSheet(QStringLiteral("color: blue;"));
    CBFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    column->addWidget(CBFilter);

    PanelActThumb = new QWidget(m_folderPanel);
    PanelActThumb->setStyleSheet(QStringLiteral("background-color: #c0c0c0;"));
    auto *corner = new QVBoxLayout(PanelActThumb);
    corner->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("--- Thumbnail Corner ---"), PanelActThumb);
    caption->setAlignment(Qt::AlignCenter);
    corner->addWidget(caption);
    ImgMini = new QLabel(PanelActThumb);
    ImgMini->setObjectName(QStringLiteral("ImgMini"));
    ImgMini->setAlignment(Qt::AlignCenter);
    ImgMini->setFixedSize(130, 100);
    ImgMini->setCursor(Qt::PointingHandCursor);
    ImgMini->setToolTip(QStringLiteral("Double click here to create/update thumbnail(s)"));
    corner->addWidget(ImgMini, 0, Qt::AlignCenter);
    // 110 pixels held the caption and the picture in the small font the corner was drawn for;
    // in a larger one the caption takes more and the picture must not lose its bottom rows.
    PanelActThumb->setFixedHeight(std::max(110, corner->totalSizeHint().height()));
    column->addWidget(PanelActThumb);
}

void FolderViewPage::buildFileTab()
{
    QVBoxLayout *column = kit::tightColumn(this);
    PanelFileTop = kit::titleBar(QString(), this);
    LabelFiles = PanelFileTop;
    column->addWidget(PanelFileTop);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    LBFile = new QListWidget(splitter);
    LBFile->setObjectName(QStringLiteral("LBFile"));
    LBFile->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LBFile->setUniformItemSizes(true);
    LBFile->setIconSize(QSize(16, 16));
    LBFile->setToolTip(QStringLiteral("[Right Mouse Button] = PopUp , [DEL] = Delete File"));
    splitter->addWidget(LBFile);

    auto *preview = new QWidget(splitter);
    preview->setObjectName(QStringLiteral("PanelActPreview"));
    QVBoxLayout *previewColumn = kit::tightColumn(preview);
    Panel1 = new QWidget(preview);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *dock = new QVBoxLayout(Panel1);
    dock->setContentsMargins(0, 0, 0, 0);
    m_panel1Placeholder = new QLabel(QStringLiteral("Editor and Bowser view disabled"), Panel1);
    m_panel1Placeholder->setAlignment(Qt::AlignCenter);
    dock->addWidget(m_panel1Placeholder);
    previewColumn->addWidget(Panel1, 1);

    QHBoxLayout *barLayout = nullptr;
    QWidget *panFolder = kit::buttonBar(preview, &barLayout);
    SBBrowser = new QToolButton(panFolder);
    SBBrowser->setText(QStringLiteral("Browser"));
    SBBrowser->setToolTip(QStringLiteral("Show Browser View"));
    SBEditor = new QToolButton(panFolder);
    SBEditor->setText(QStringLiteral("Editor"));
    SBEditor->setToolTip(QStringLiteral("Show Editor"));
    m_viewSwitch = new QButtonGroup(this);
    for (QToolButton *button : { SBBrowser, SBEditor }) {
        button->setCheckable(true);
        m_viewSwitch->addButton(button);
        barLayout->addWidget(button);
    }
    SBBrowser->setChecked(true);
    barLayout->addStretch(1);
    BSaveAs = kit::barButton(QStringLiteral("Save As"),
        QStringLiteral("Save a copy of the current editor file"), barLayout);
    BSave = kit::barButton(
        QStringLiteral("Save"), QStringLiteral("[CTRL-S]: Save current editor file"), barLayout);
    BSave->setEnabled(false);
    previewColumn->addWidget(panFolder);

    splitter->addWidget(preview);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 149, 400 });
    column->addWidget(splitter, 1);
}

} // namespace folderview
