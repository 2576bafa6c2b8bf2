#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

// The settings file "KyDefCn.ini": 36 lines in a fixed order, one value per
// line, GBK text with CR LF line breaks, always read and written whole.
namespace orlu {

constexpr int SettingsLineCount = 36;
constexpr int CustomButtonCount = 6;

// What one custom tool button of the main window starts (lines 19..36).
struct CustomLaunch {
    QString hint;      // lines 19..24, tooltip of the button
    QString program;   // lines 25..30
    QString parameter; // lines 31..36, command-line parameters, or the document / web address

    bool operator==(const CustomLaunch &) const = default;
};

// Use defaultSettings() or loadSettings() to get a complete value; a
// default-constructed one has empty texts.
struct Settings {
    int standardCalibration = 4000;    // 1: standard potential calibration value
    int highCalibration = 4000;        // 2: high potential calibration value
    QString printOptions;              // 3: one "1"/"0" per print option of the analysis window
    double measuringThreshold = 1.0;   // 4
    QString lastCalibrationDate;       // 5: short date text as written by the calibration
    bool highPotential = false;        // 6: High potential chosen for measuring
    QString title;                     // 7: user name 1, shown in the main window's status bar
    QString reportTitle;               // 8: user name 2, first heading line of printed reports
    QString userData1;                 // 9: second heading line (the organisation)
    QString userData2;                 // 10: third heading line (the department)
    QString reservedFlags;             // 11: kept and written back only
    bool locateSound = true;           // 12
    bool locateKeepHighest = false;    // 13
    int locateParameter = 2;           // 14: the locating window's spin field
    double locateHighestReading = 0.0; // 15
    bool locateHighPotential = false;  // 16
    int pointPictureStyle = 1;         // 17: 1..3
    QString customButtonFlags;         // 18: one character per custom button
    std::array<CustomLaunch, CustomButtonCount> custom; // 19..36

    bool operator==(const Settings &) const = default;
};

// "KyDefCn.ini", the file's name in the program folder.
QString settingsFileName();

// Where button 1 and the About box links lead by default.
QString makerWebAddress();

// The values used when there is no settings file.
Settings defaultSettings(const QDate &today);

// Turns the lines of a settings file into settings by each line's rule; lines
// past the list read as empty, lines past 36 are ignored. `today` fills a blank
// calibration date.
Settings settingsFromLines(const QStringList &lines, const QDate &today);
// The 36 lines as they are written.
QStringList settingsToLines(const Settings &s);

// Reads at most 36 lines of raw file content (any bytes at all). A line longer
// than MaxSettingsLineBytes keeps only its first MaxSettingsLineBytes bytes.
constexpr qsizetype MaxSettingsLineBytes = 32 * 1024;
// Reading stops after this much, so a device or endless file set up in the
// settings file's place cannot hang the start.
constexpr qint64 MaxSettingsFileBytes = 16 * 1024 * 1024;
Settings settingsFromBytes(const QByteArray &bytes, const QDate &today);
QByteArray settingsToBytes(const Settings &s);

// Loads the file. When it cannot be opened or read, `error` receives a message
// for the operator and the defaults are returned; the file is left alone.
Settings loadSettings(const QString &path, const QDate &today, QString *error = nullptr);

// Replaces the file atomically: the old file stays whole until the new one is
// complete. False with a message in `error` when it cannot be written (the old
// file is then unchanged). A read-only file counts as one that cannot be written.
bool saveSettings(const QString &path, const Settings &s, QString *error = nullptr);

// Start-up: loads the file if it exists; otherwise writes the defaults to it at
// once. `error` receives the reading or writing failure, if any.
Settings loadOrCreateSettings(const QString &path, const QDate &today, QString *error = nullptr);

// The main window shows custom button k (1..6) unless flag character k is "0".
bool customButtonVisible(const QString &flags, int k);
// The settings window ticks check box k only when flag character k is "1".
bool customButtonTicked(const QString &flags, int k);

} // namespace orlu
