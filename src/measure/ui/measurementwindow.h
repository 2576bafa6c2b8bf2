#pragma once

#include "core/unsavedwork.h"
#include "measure/measuringrun.h"
#include "measure/ui/probewindowcontext.h"

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

// What the measurement window works with besides the probe window's services.
struct MeasurementWindowContext : ProbeWindowContext {
    CurrentMeasurement &measurement;
    QString pictureFolder; // the "Data" folder with the point pictures
};

// The windows the measurement window hands over to. Each opens its window
// modally over `parent` and returns when it has closed; an empty one does nothing.
struct MeasurementHandOvers {
    std::function<void(QWidget *parent)> analysis; // AnalysisWindow
    std::function<void(QWidget *parent)> saving;   // SavingWindow
    // Why saving is not possible (a register open for looking up only); empty when it is.
    QString savingUnavailable;
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
    // Layout, in measurementwindowlayout.cpp.
    void buildToolBar();
    QWidget *buildValuePanel();
    QWidget *buildStatusGroup();
    QWidget *buildPictureGroup();
    QWidget *buildSettingsPanel();
    QWidget *buildMeterPanel();
    QWidget *buildTracePanel();
    QWidget *buildSubjectGroup();

    void showSettings();
    void showCurrentMeasurement();
    void keepPotentialSetting();
    void measureClicked();
    void stopClicked();
    void remeasureClicked();
    void repeatClicked();
    void analysisClicked();
    void saveClicked();
    void readClicked();
    void clearClicked();
    void manualEntryClicked();
    void compareClicked();
    void leaveClicked();
    // Before readings the register does not hold would be let go; false: stay.
    bool settleUnsaved(UnsavedOccasion occasion);
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
    void enableCommands(bool running);
    void showValues();
    void showQuality(int channel);
    void showQualitySummary();
    void showLamps(RunState state);
    void showCalibrationNotice();
    RunParameters runParameters() const;
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

    QToolBar *m_toolBar = nullptr;
    QAction *m_measureAction = nullptr;
    QAction *m_stopAction = nullptr;
    QAction *m_remeasureAction = nullptr;
    QAction *m_repeatAction = nullptr;
    QAction *m_analysisAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_readAction = nullptr;
    QAction *m_clearAction = nullptr;
    QAction *m_manualEntryAction = nullptr;
    QAction *m_compareAction = nullptr;
    QAction *m_leaveAction = nullptr;

    ValueGrid *m_grid = nullptr;
    QLabel *m_measuredValue = nullptr;
    QLabel *m_compensatedValue = nullptr;
    QLabel *m_dateValue = nullptr;
    QLabel *m_timeValue = nullptr;
    QLabel *m_potentialMark = nullptr;

    QLabel *m_positionValue = nullptr;
    QLabel *m_meridianNameValue = nullptr;
    QLabel *m_pointNameValue = nullptr;

    QGroupBox *m_pictureGroup = nullptr;
    QLabel *m_picture = nullptr;
    QLabel *m_englishName = nullptr;
    QLabel *m_pictureSourcePoint = nullptr;

    QRadioButton *m_highRadio = nullptr;
    QRadioButton *m_standardRadio = nullptr;
    QLineEdit *m_thresholdDisplay = nullptr;
    QSpinBox *m_thresholdSpin = nullptr;
    QSlider *m_thresholdSlider = nullptr;
    QButtonGroup *m_styleGroup = nullptr;

    SegmentedBarMeter *m_valueBar = nullptr;
    LedLamp *m_valueLamp = nullptr;
    QLabel *m_valueDisplay = nullptr;
    PointProgressBar *m_pointProgress = nullptr;
    LedLamp *m_pointLamp = nullptr;

    QGroupBox *m_tracePanel = nullptr;
    TraceArea *m_traceArea = nullptr;
    LedLamp *m_traceLamp = nullptr;

    QGroupBox *m_subjectGroup = nullptr;
    QLabel *m_subjectNumber = nullptr;
    QLabel *m_subjectName = nullptr;
    QLabel *m_birthDate = nullptr;
    QLabel *m_telephone = nullptr;
    QLabel *m_age = nullptr;
    QRadioButton *m_maleRadio = nullptr;
    QRadioButton *m_femaleRadio = nullptr;

    QStatusBar *m_statusBar = nullptr;
    QLabel *m_statusText = nullptr;
    QLabel *m_qualityText = nullptr;
    QLabel *m_noticeText = nullptr;
};

} // namespace orlu
