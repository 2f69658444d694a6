#include "folderview/viewsdock.h"

#include "kit/panels.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace folderview {

ViewsDock::ViewsDock(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PanelActPreview"));
    QVBoxLayout *column = kit::tightColumn(this);
    m_browserPanel = new QWidget(this);
    m_browserPanel->setObjectName(QStringLiteral("Panel1"));
    auto *dock = new QVBoxLayout(m_browserPanel);
    dock->setContentsMargins(0, 0, 0, 0);
    m_browserPlaceholder
        = new QLabel(QStringLiteral("Editor and Bowser view disabled"), m_browserPanel);
    m_browserPlaceholder->setAlignment(Qt::AlignCenter);
    dock->addWidget(m_browserPlaceholder);
    column->addWidget(m_browserPanel, 1);
    column->addWidget(buildButtonBar());

    connect(m_viewSwitch, &QButtonGroup::buttonClicked, this, &ViewsDock::viewSwitchClicked);
    connect(m_saveButton, &QPushButton::clicked, this, &ViewsDock::saveClicked);
    connect(m_saveAsButton, &QPushButton::clicked, this, &ViewsDock::saveAsClicked);
}

QWidget *ViewsDock::buildButtonBar()
{
    QHBoxLayout *barLayout = nullptr;
    QWidget *panFolder = kit::buttonBar(this, &barLayout);
    m_browserButton = new QToolButton(panFolder);
    m_browserButton->setObjectName(QStringLiteral("SBBrowser"));
    m_browserButton->setText(QStringLiteral("Browser"));
    m_browserButton->setToolTip(QStringLiteral("Show Browser View"));
    m_editorButton = new QToolButton(panFolder);
    m_editorButton->setObjectName(QStringLiteral("SBEditor"));
    m_editorButton->setText(QStringLiteral("Editor"));
    m_editorButton->setToolTip(QStringLiteral("Show Editor"));
    m_viewSwitch = new QButtonGroup(this);
    for (QToolButton *button : { m_browserButton, m_editorButton }) {
        button->setCheckable(true);
        m_viewSwitch->addButton(button);
        barLayout->addWidget(button);
    }
    m_browserButton->setChecked(true);
    barLayout->addStretch(1);
    m_saveAsButton = kit::barButton(QStringLiteral("Save As"),
        QStringLiteral("Save a copy of the current editor file"), barLayout);
    m_saveAsButton->setObjectName(QStringLiteral("BSaveAs"));
    m_saveButton = kit::barButton(
        QStringLiteral("Save"), QStringLiteral("[CTRL-S]: Save current editor file"), barLayout);
    m_saveButton->setObjectName(QStringLiteral("BSave"));
    m_saveButton->setEnabled(false);
    return panFolder;
}

void ViewsDock::showInBrowserPanel(QWidget *borrowed)
{
    m_browserPlaceholder->hide();
    m_browserPanel->layout()->addWidget(borrowed);
    borrowed->show();
}

bool ViewsDock::browserSwitchDown() const
{
    return m_browserButton->isChecked();
}

void ViewsDock::setSaveButtons(bool saveEnabled, bool saveAsEnabled)
{
    m_saveButton->setEnabled(saveEnabled);
    m_saveAsButton->setEnabled(saveAsEnabled);
}

bool ViewsDock::saveEnabled() const
{
    return m_saveButton->isEnabled();
}

} // namespace folderview
