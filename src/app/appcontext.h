#pragma once

#include "analysis/analysisviewstate.h"
#include "compare/comparisonset.h"
#include "core/currentmeasurement.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "device/devicestatus.h"
#include "records/sortcode.h"
#include "storage/database.h"

namespace orlu {

class Clock;
class EventPump;
class LaunchPort;
class ProbeLink;
class Prompter;

// The program-wide state: one instance, owned for the whole run by the
// composition root and handed to the main window and the windows it opens.
struct AppContext {
    AppContext(ProgramFolder folder, const Clock &clock, EventPump &pump, Prompter &prompter,
               LaunchPort &launcher, ProbeLink &probe);

    ProgramFolder folder;
    const Clock &clock;
    EventPump &pump;
    Prompter &prompter;
    LaunchPort &launcher;
    ProbeLink &probe;

    Settings settings;
    DeviceStatus device;
    CurrentMeasurement measurement;
    AnalysisViewState analysisView; // the analysis window's page and chart between showings

    Database mainDb; // orlu4.mdb
    // Why the main database is open for looking up only (a read-only file or folder); empty when writable.
    QString mainDbReadOnlyReason;
    Database textDb;     // orluCn.mdb, read-only
    Database suppliedDb; // orluMCn.mdb, read-only, opened on first use
    // Opens the supplied course set when it is not open yet; false when it cannot be opened.
    bool openSuppliedCourses(QString *error = nullptr);

    SubjectOrder subjectOrder;   // shared by the subject lists
    ComparisonSet comparisonSet; // the records of the multi-record comparison, kept for the whole run

    QString settingsPath() const;
    // Writes the settings file; on failure the operator is told and the old file stays.
    bool saveSettings();
};

} // namespace orlu
