#include "frame/progresswindow.h"

#include "kit/textfit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace frame {

namespace {

bool isStopKey(int key)
{
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

ProgressWindow::ProgressWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FormProgress"));
    setWindowTitle(QStringLiteral("Folioscope Progress"));

    fileLabel_ = new QLabel(this);
    fileLabel_->setObjectName(QStringLiteral("Label1"));
    fileLabel_->setTextFormat(Qt::PlainText);
    fileLabel_->setMinimumWidth(kit::scaledByFont(420, fileLabel_));
    // A long path must not widen the fixed window.
    fileLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgBar"));
    progressBar_->setTextVisible(false);

    stopButton_ = new QPushButton(QStringLiteral("<Esc> - Stop"), this);
    stopButton_->setObjectName(QStringLiteral("BStop"));
    // Enter and Esc act when released, for the button too; pressing them must not close the
    // dialog by the default-button and reject rules first.
    stopButton_->setAutoDefault(false);
    stopButton_->setDefault(false);
    connect(stopButton_, &QPushButton::clicked, this, &ProgressWindow::requestStop);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel_);
    layout->addWidget(progressBar_);
    layout->addWidget(stopButton_, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
    initProgressBar(0);
}

void ProgressWindow::initProgressBar(int max)
{
    progressBar_->setRange(0, std::max(0, max));
    progressBar_->setValue(0);
    m_step = 1;
}

void ProgressWindow::showProgress()
{
    fileLabel_->clear();
    m_stopRequested = false;
    show();
    raise();
    activateWindow();
    stopButton_->setFocus();
}

void ProgressWindow::setProgressText(const QString &text)
{
    fileLabel_->setText(text);
    fileLabel_->repaint();
}

void ProgressWindow::stepProgress()
{
    progressBar_->setValue(std::min(progressBar_->maximum(), progressBar_->value() + m_step));
}

void ProgressWindow::closeProgress()
{
    hide();
}

void ProgressWindow::changeEvent(QEvent *event)
{
    // Batches disable the window that owns this one; the stop button must go on working.
    if (event->type() == QEvent::EnabledChange && !isEnabled()
        && !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
    QDialog::changeEvent(event);
}

void ProgressWindow::showEvent(QShowEvent *event)
{
    // A window system showing it again (after minimising) starts nothing new.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    fileLabel_->clear();
    m_stopRequested = false;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent *event)
{
    // Closed by the window system: the batch must not go on unseen.
    if (event->spontaneous())
        m_stopRequested = true;
    QDialog::closeEvent(event);
}

void ProgressWindow::keyPressEvent(QKeyEvent *event)
{
    if (isStopKey(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ProgressWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (isStopKey(event->key()) && !event->isAutoRepeat()) {
        event->accept();
        requestStop();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void ProgressWindow::requestStop()
{
    m_stopRequested = true;
    hide();
}

} // namespace frame
