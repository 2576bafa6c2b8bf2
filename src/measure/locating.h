#pragma once

#include "measure/probeoperations.h"
#include "measure/signallamp.h"

#include <QString>

#include <optional>

namespace orlu {

class Clock;
class EventPump;
class Prompter;
struct Settings;

enum class LocatingMode {
    Search,   // "搜寻最高数据": remember the highest reading around the area
    Locating, // "开始穴道定位": compare every reading with the highest
};

// Where the probe is against the acupoint, from the live value and the highest reading H.
enum class PointPosition { Off, Near, On };

// Everything the locating window shows.
struct LocatingView {
    LocatingMode mode = LocatingMode::Search;
    double live = 0; // uA, "定位数据:"
    int liveBar = 0; // tenths of uA, 0..2000
    double highest = 0;
    int highestBar = 0;
    ShadedText state; // "定位状态:"
    int meter = 0;    // tenths of uA
    int meterMaximum = 2000;
    int meterGreenEnd = 1200;
    int meterYellowEnd = 1700;
    double balance = 0;             // live minus H, -20..20
    bool high = false;              // High potential is used
    LampView liveLamp;              // lamp 1
    LampView potentialLamp;         // lamp 2
    LampView locatingLamp;          // lamp 3
    LampView searchLamp;            // lamp 4
    LampView stateLamp;             // lamp 5
    LampView highestLamp;           // lamp 6
    bool modeChoiceEnabled = false; // the two mode radios and "清除数据"
    bool highOptionEnabled = true;  // "使用高电位定位"
    bool running = false;           // "开始定位" and "离  开" off, "停止定位" on
};

class LocatingObserver {
public:
    virtual ~LocatingObserver() = default;
    // After every change of the view.
    virtual void locatingShown(const LocatingView &view) = 0;
};

// Acupoint locating: first the highest reading around the area is searched,
// then every reading is told as off, near or on the point against it. The
// options (sound, keep the highest, High potential, sensitivity) and H live in
// the settings, changed at once; the window saves them when it closes.
class LocatingRun {
public:
    static constexpr int MinimumSensitivity = 2;
    static constexpr int MaximumSensitivity = 150;
    static constexpr quint32 ReportMs = 250;
    static constexpr int BarEnd = 2000;
    static constexpr double BalanceLimit = 20.0;

    LocatingRun(Settings &settings, ProbeOperations &probe, Prompter &prompter, const Clock &clock,
                EventPump &pump);

    void setObserver(LocatingObserver *observer) { m_observer = observer; }

    // When the window opens: options from the settings, H kept only when asked to.
    void open();
    // A mode radio button.
    void setMode(LocatingMode mode);
    // "清除数据".
    void clearHighest();
    // "开始定位": returns when the run has ended; false when it did not start.
    bool start();
    // "停止定位".
    void stop();
    // The option check boxes and the spin field store at once.
    void setSound(bool on);
    void setKeepHighest(bool on);
    void setHighPotential(bool on);
    void setSensitivity(int uA);

    bool isRunning() const { return m_view.running; }
    bool inContact() const { return m_inContact; }
    // The last run ended because its probe was lost.
    bool endedByProbeLoss() const { return m_probeLost; }
    const LocatingView &view() const { return m_view; }
    // Reading units per uA of the standard calibration, in both potentials.
    double scale() const;
    double contactLevel() const;

    static PointPosition classify(double live, double highest);
    // round(v x 10), at most the bar's end.
    static int barOf(double ua);
    static ShadedText stateText(PointPosition position);
    static QString searchModeText();
    static QString locatingModeText();
    static QString noStateText();

private:
    bool waitForContact();
    void report(double v);
    void followReading(double v);
    void endRun();
    void applyModeDisplay();
    void showHighest();
    void showPotential();
    void enableModeChoice(bool on);
    double highest() const;
    void setHighest(double h);
    void publish();

    Settings &m_settings;
    ProbeOperations &m_probe;
    Prompter &m_prompter;
    const Clock &m_clock;
    EventPump &m_pump;
    LocatingObserver *m_observer = nullptr;

    LocatingView m_view;
    bool m_stop = false;
    bool m_inContact = false;
    bool m_probeLost = false;
    int m_lastReading = 0;
    quint32 m_lastReport = 0;
    std::optional<ProbeWatch> m_watch;
};

} // namespace orlu
