#pragma once

#include "core/channels.h"
#include "records/measurementrepository.h"
#include "records/recordtypes.h"

#include <QDialog>
#include <optional>

#include <array>

class QAction;
class QCheckBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QStatusBar;
class QTimeEdit;
class QToolBar;

namespace orlu {

class CellEntryDelegate;
class Clock;
class Prompter;
class ValueGrid;
struct CurrentMeasurement;

// "经络能量数据输入": the 24 values, potential, date and time and memo of a
// measurement typed in by hand, either as the current measurement or as a
// change to a stored KYDATA row. Nothing is stored until "储存数据".
class ManualEntryWindow : public QDialog {
    Q_OBJECT
public:
    // Edits the current measurement in memory.
    struct NewEntry {
        CurrentMeasurement &measurement;
    };
    // Edits the stored measurement with this MKEY.
    struct Modify {
        MeasurementRepository measurements;
        qint64 key = 0;
    };

    ManualEntryWindow(NewEntry mode, Prompter &prompter, const Clock &clock, QWidget *parent = nullptr);
    ManualEntryWindow(Modify mode, Prompter &prompter, const Clock &clock, QWidget *parent = nullptr);

    ValueGrid *grid() const { return m_grid; }
    QAction *action(const QString &objectName) const;

    static QString clearQuestion();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ManualEntryWindow(Prompter &prompter, const Clock &clock, QWidget *parent);

    void buildWindow();
    void loadEntries();
    void saveClicked();
    void clearClicked();
    void dateCheckToggled(bool on);

    // Normalises a cell; false (after telling the operator) when its text is not a number.
    bool normalise(int row, int column);
    bool normaliseAll();
    void enterPressed();
    void fillGrid(const std::array<double, 24> &values);
    void setPickers(bool on, double dayCount);
    double pickedDateTime() const;
    bool store();

    bool m_modify = false;
    CurrentMeasurement *m_measurement = nullptr;
    std::optional<MeasurementRepository> m_measurements; // modify mode
    qint64 m_key = 0;
    MeasurementRecord m_record;
    Prompter &m_prompter;
    const Clock &m_clock;
    bool m_normalising = false;
    bool m_loaded = false;

    QToolBar *m_toolBar = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_clearAction = nullptr;
    QAction *m_leaveAction = nullptr;
    QLabel *m_heading = nullptr;
    ValueGrid *m_grid = nullptr;
    CellEntryDelegate *m_delegate = nullptr;
    QRadioButton *m_highRadio = nullptr;
    QRadioButton *m_standardRadio = nullptr;
    QCheckBox *m_dateCheck = nullptr;
    QDateEdit *m_datePicker = nullptr;
    QTimeEdit *m_timePicker = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QStatusBar *m_statusBar = nullptr;
};

} // namespace orlu
