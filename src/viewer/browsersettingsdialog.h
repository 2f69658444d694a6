#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

namespace engine {
class HtmlView;
}

namespace viewer {

class ColorButton;

// "Browser Settings": the six display settings of the browser, tried on a sample page, and
// whether it follows changes on disk.
class BrowserSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // The values the dialog edits.
    struct Values {
        QString fontName;
        int fontSize = 12;
        QColor fontColor;
        QColor linkColor;
        QColor backgroundColor;
        bool showImages = true;
        bool followDisk = true;
    };

    explicit BrowserSettingsDialog(QWidget *parent = nullptr);
    ~BrowserSettingsDialog() override;

    // Presets the dialog from the view, runs it, and on "O&K" sets the values on the view,
    // which lays its documents out again. Returns whether "O&K" closed it.
    static bool editBrowserSettings(engine::HtmlView *view, QWidget *parent = nullptr);

    void presetFrom(const engine::HtmlView &view);
    void applyTo(engine::HtmlView &view) const;

    // A font that is not installed selects nothing and is kept as it is until the user picks
    // one, so that "O&K" alone never changes the browser's font.
    void setFontName(const QString &name);
    QString fontName() const;
    void setFontSize(int points);
    int fontSize() const;
    void setFontColor(const QColor &color);
    QColor fontColor() const;
    void setLinkColor(const QColor &color);
    QColor linkColor() const;
    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const;
    // Only the check box: the sample never shows pictures.
    void setShowImages(bool show);
    bool showImages() const;
    void setFollowDisk(bool follow);
    bool followDisk() const;

    // "&Reset": the values shown when the dialog opened.
    void resetValues();

    engine::HtmlView *sampleView() const;
    QListWidget *fontList() const;
    QSpinBox *fontSizeEdit() const;
    ColorButton *backgroundPicker() const;
    ColorButton *linkColorPicker() const;
    ColorButton *fontColorPicker() const;
    QPushButton *resetButton() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Labels {
        QLabel *font = nullptr;
        QLabel *size = nullptr;
    };
    Labels createControls();
    void layOut(const Labels &labels);
    void connectControls();
    void prepareToShow();
    void fontClicked(QListWidgetItem *item);
    Values currentValues() const;
    void showValues(const Values &values);

    QCheckBox *m_showImages = nullptr;
    QCheckBox *m_followDisk = nullptr;
    engine::HtmlView *m_sample = nullptr;
    QListWidget *m_fontList = nullptr;
    QSpinBox *m_fontSize = nullptr;
    ColorButton *m_background = nullptr;
    ColorButton *m_linkColor = nullptr;
    ColorButton *m_fontColor = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_reset = nullptr;

    QString m_fontName;
    Values m_shown;
};

} // namespace viewer
