#pragma once

#include "measure/measuringrun.h"

#include <QDialog>

#include <functional>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;
class QStatusBar;
class QToolBar;

namespace orlu {

class Clock;
class EventPump;
class LedLamp;
class PointProgressBar;
class ProbeOperations;
class Prompter;
class TraceArea;
class SegmentedBarMeter;
class ValueGrid;
struct CurrentMeasurement;
struct Settings;

// What the measurement window works with; all of it outlives the window.
struct MeasurementWindowContext {
    CurrentMeasurement &measurement;
    Settings &settings;
    // Writes the settings file; tells the operator itself when it cannot.
    std::function<bool()> saveSettings;
    ProbeOperations &probe;
    Prompter &prompter;
    const Clock &clock;
    EventPump &pump;
    QString pictureFolder; // the "Data" folder with the point pictures
};

// The windows the measurement window hands over to. Each opens its window
// modally over `parent` and returns when it has closed; an empty one does nothing.
struct MeasurementHandOvers {
    std::function<void(QWidget *parent)> analysis;   // AnalysisWindow
    std::function<void(QWidget *parent)> saving;     // SavingWindow
    std::function<void(QWidget *parent)> reading;    // ReadingWindow, loading into the current measurement
    std::function<void(QWidget *parent)> comparison; // two-record comparison
};

// "经络量测": measures the current measurement point by point and leads on to
// analysis, saving, loading, manual entry and comparison.
class MeasurementWindow : public QDialog, private RunObserver {
    Q_OBJECT
public:
    MeasurementWindow(MeasurementWindowContext context, MeasurementHandOvers handOvers,
                      QWidget *parent = nullptr);
    ~MeasurementWindow() override;

    MeasuringRun &run() { return m_run; }
    QAction *action(const QString &objectName) const;

    static QString clearQuestion();

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Layout, in tkydeclayout.cpp.
    void buildToolBar();
    QWidget *buildValuePanel();
    QWidget *buildStatusGroup();
    QWidget *buildPictureGroup();
    QWidget *buildSettingsPanel();
    QWidget *buildMeterPanel();
    QWidget *buildTracePanel();
    QWidget *buildSubjectGroup();

    void windowCreated();
    void windowShown();
    void windowClosed();
    void measureClicked();
    void stopClicked();
    void analysisClicked();
    void saveClicked();
    void readClicked();
    void clearClicked();
    void manualEntryClicked();
    void compareClicked();
    void leaveClicked();
    void potentialClicked(bool high);
    void thresholdChanged(int position);
    void styleClicked(int style);
    void valueCellClicked(int channel);

    // RunObserver
    void runStarted() override;
    void pointShown(int channel) override;
    void statusChanged(const QString &text) override;
    void waitingForContact(int channel) override;
    void waitingReading(int reading) override;
    void contactMade(int channel) override;
    void measuringSample(const MeasuringSample &sample) override;
    void attemptDropped(int channel) override;
    void pointDone(int channel, double value) override;
    void stopRequested() override;
    void runEnded() override;

    void handOver(const std::function<void(QWidget *)> &open);
    void setRunningState(bool running);
    void updateEnabling();
    void showValues();
    void showMeasuredAt();
    void showPotentialMark(bool high);
    void showSubject();
    void clearPointLabels();
    void showLive(double measured, double compensated, double display);
    void loadPicture(int channel);
    void checkPotentialRadio(bool high);

    MeasurementWindowContext m_context;
    MeasurementHandOvers m_handOvers;
    MeasuringRun m_run;
    bool m_complete = false;
    bool m_hasData = false;

    QToolBar *m_toolBar;
    QAction *m_measureAction;
    QAction *m_stopAction;
    QAction *m_analysisAction;
    QAction *m_saveAction;
    QAction *m_readAction;
    QAction *m_clearAction;
    QAction *m_manualEntryAction;
    QAction *m_compareAction;
    QAction *m_leaveAction;

    ValueGrid *m_grid;
    QLabel *m_measuredValue;
    QLabel *m_compensatedValue;
    QLabel *m_dateValue;
    QLabel *m_timeValue;
    QLabel *m_potentialMark;

    QLabel *m_positionValue;
    QLabel *m_meridianNameValue;
    QLabel *m_pointNameValue;

    QGroupBox *m_pictureGroup;
    QLabel *m_picture;
    QLabel *m_englishName;
    QLabel *m_pictureSourcePoint;

    QRadioButton *m_highRadio;
    QRadioButton *m_standardRadio;
    QLineEdit *m_thresholdDisplay;
    QSpinBox *m_thresholdSpin;
    QSlider *m_thresholdSlider;
    QButtonGroup *m_styleGroup;

    SegmentedBarMeter *m_valueBar;
    LedLamp *m_valueLamp;
    QLabel *m_valueDisplay;
    PointProgressBar *m_pointProgress;
    LedLamp *m_pointLamp;

    QGroupBox *m_tracePanel;
    TraceArea *m_traceArea;
    LedLamp *m_traceLamp;

    QGroupBox *m_subjectGroup;
    QLabel *m_subjectNumber;
    QLabel *m_subjectName;
    QLabel *m_birthDate;
    QLabel *m_telephone;
    QLabel *m_age;
    QRadioButton *m_maleRadio;
    QRadioButton *m_femaleRadio;

    QStatusBar *m_statusBar;
    QLabel *m_statusText;
    QLabel *m_noticeText;
};

} // namespace orlu
