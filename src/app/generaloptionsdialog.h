#pragma once

#include "frame/settings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace app {

// "General Options": the six external applications and six switches. It edits a copy;
// "OK" hands the values back (the settings file is written only at exit).
class GeneralOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit GeneralOptionsDialog(const frame::Settings &settings, QWidget *parent = nullptr);

    // The settings with the dialog's values; `Exists` recomputed for every application.
    frame::Settings values() const;

    std::array<QLineEdit *, 6> ELoc {};
    std::array<QPushButton *, 6> BEditor {};
    std::array<QLineEdit *, 6> EParam {};
    std::array<QLineEdit *, 6> EDescr {};

    // "...": a program chosen for the row (1 to 6) fills that row's location.
    void chooseExternalApp(int row);

private:
    void buildLayout();
    QGroupBox *buildAppsGroup();
    frame::Settings m_settings;

    // The controls; their objectNames keep the old names.
    QCheckBox *m_colorTagsBox = nullptr;
    QCheckBox *m_fileIconsBox = nullptr;
    QCheckBox *m_hintsBox = nullptr;
    QCheckBox *m_singleClickBox = nullptr;
    QCheckBox *m_freshThumbsBox = nullptr;
    QCheckBox *m_recycleBinBox = nullptr; // never shown: files are always deleted permanently
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

} // namespace app
