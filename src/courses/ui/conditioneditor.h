#pragma once

#include "courses/courserules.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QRadioButton;
class QSpinBox;

// The check-box editor of one condition in its four groups. It turns the boxes
// into the condition and must-flag strings and back. Object names: the row
// boxes (must flags) "mustCheck1".."mustCheck22"; the left and right code boxes
// "lowCheck<p>" / "highCheck<p>" ("abnormalCheck3", "abnormalCheck5" for the
// one-box rows); "rangeCheck", "comparisonCombo", "energySpin"; "ageLowCheck",
// "ageLowSpin", "ageHighCheck", "ageHighSpin", "sexCheck", "maleRadio",
// "femaleRadio".
namespace orlu {

// Locks a widget; a locked one keeps its text in the normal colour, so a shown
// condition stays easy to read while it cannot be changed.
void setLockedReadable(QWidget *widget, bool locked);

class ConditionEditor : public QWidget {
    Q_OBJECT
public:
    explicit ConditionEditor(QWidget *parent = nullptr);

    // Strings to editor. The required flag is not part of the editor.
    void showRule(const ConditionRule &rule);
    // Editor to strings: both strings 24 characters.
    ConditionRule rule() const;

    // Browse mode shows the condition without letting it change.
    void setEditable(bool editable);

    QList<QGroupBox *> groups() const { return m_groups; }

private:
    QGroupBox *buildStateGroup();
    QGroupBox *buildMeridianGroup();
    QGroupBox *buildElementGroup();
    QGroupBox *buildAgeGroup();
    QCheckBox *mustBox(int position, const QString &caption);
    QCheckBox *codeBox(const QString &name, int position, const QString &caption);
    // A meridian or element row: must box, "虚证", "实证".
    void addGradeRow(QGridLayout *grid, int position, const QString &caption, int line, int column);

    void setRangeMode(bool range);
    void setAgeBoxes(bool low, bool high);
    void setSexBoxes(int code);
    void rangeToggled(bool on);
    void ageLowChanged(int value);
    void ageHighChanged(int value);

    std::array<QCheckBox *, FlaggedPositions> m_must{};
    // Left ("虚弱", "衰弱", "减弱", "虚证") and right boxes; empty where a row has one box.
    std::array<QCheckBox *, FlaggedPositions> m_low{};
    std::array<QCheckBox *, FlaggedPositions> m_high{};
    QCheckBox *m_range = nullptr;
    QComboBox *m_comparison = nullptr;
    QSpinBox *m_energy = nullptr;
    QCheckBox *m_ageLowCheck = nullptr;
    QSpinBox *m_ageLow = nullptr;
    QCheckBox *m_ageHighCheck = nullptr;
    QSpinBox *m_ageHigh = nullptr;
    QCheckBox *m_sex = nullptr;
    QRadioButton *m_male = nullptr;
    QRadioButton *m_female = nullptr;
    QList<QGroupBox *> m_groups;

    // The numbers as stored: a value outside the boxes' whole-number ranges
    // (from another installation) is kept unless the operator changes its box.
    double m_shownEnergy = 0.0;
    int m_shownAgeLow = 0;
    int m_shownAgeHigh = 0;
};

} // namespace orlu
