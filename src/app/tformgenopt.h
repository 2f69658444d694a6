#pragma once

#include "frame/settings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace app {

// "General Options": the six external applications and five switches. It edits a copy;
// "OK" hands the values back (the settings file is written only at exit).
class TFormGenOpt : public QDialog
{
    Q_OBJECT

public:
    explicit TFormGenOpt(const Settings &settings, QWidget *parent = nullptr);

    // The settings with the dialog's values; `Exists` recomputed for every application.
    Settings values() const;

    std::array<QLineEdit *, 6> ELoc {};
    std::array<QPushButton *, 6> BEditor {};
    std::array<QLineEdit *, 6> EParam {};
    std::array<QLineEdit *, 6> EDescr {};
    QCheckBox *CBColorTags = nullptr;
    QCheckBox *CBFileIcons = nullptr;
    QCheckBox *CBHints = nullptr;
    QCheckBox *CBSingleClick = nullptr;
    QCheckBox *CBRecycleBin = nullptr; // never shown: files are always deleted permanently
    QPushButton *BOK = nullptr;
    QPushButton *BCancel = nullptr;

    // "...": a program chosen for the row (1 to 6) fills that row's location.
    void BEditor1Click(int row);

private:
    void buildLayout();
    Settings m_settings;
};

} // namespace app
