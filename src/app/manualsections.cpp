#include "app/manualsections.h"

#include <QDir>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct WindowSection {
    const char16_t *window;
    const char16_t *section;
};

// Window object names and the manual's anchors (scripts/build-manual checks that each anchor
// is in the manual). A window without a row (a message box, the comparison selection) shows
// the section of the window beneath it.
const WindowSection Sections[] = {
    {u"mainWindow", u"main-window"},
    {u"startupStatusWindow", u"startup"},
    {u"SimulatedProbeWindow", u"probe"},
    {u"settingsWindow", u"settings"},
    {u"measurementWindow", u"measurement"},
    {u"savingWindow", u"saving"},
    {u"subjectEditor", u"subject-editor"},
    {u"readingWindow", u"reading"},
    {u"manualEntryWindow", u"manual-entry"},
    {u"analysisWindow", u"analysis"},
    {u"printProgressWindow", u"printing"},
    {u"printPreviewDialog", u"printing"},
    {u"explanationWindow", u"explanation"},
    {u"courseWindow", u"courses"},
    {u"courseEditWindow", u"courses"},
    {u"twoRecordComparisonWindow", u"compare-two"},
    {u"multiComparisonWindow", u"compare-multi"},
    {u"trendWindow", u"trend"},
    {u"exportProgressWindow", u"data-export"},
    {u"CalibrationWindow", u"calibration"},
    {u"LocatingWindow", u"locating"},
    {u"transferWindow", u"transfer"},
};

} // namespace

QString manualSection(const QStringList &windowNames) {
    for (const QString &name : windowNames)
        for (const WindowSection &s : Sections)
            if (name == QStringView(s.window))
                return QString::fromUtf16(s.section);
    return {};
}

ManualLocation findManual(const QString &programDir, const QString &section,
                          const std::function<bool(const QString &)> &exists) {
    const QDir dir(programDir);
    ManualLocation location;
    location.installedPath = QDir::cleanPath(dir.filePath(u"../share/doc/orlu/manual/index.html"_s));
    // In a build tree the program is build/src/app/orlu and the manual build/manual/html.
    const QString built = QDir::cleanPath(dir.filePath(u"../../manual/html/index.html"_s));
    for (const QString &page : {location.installedPath, built}) {
        if (exists(page)) {
            location.page = QUrl::fromLocalFile(page);
            if (!section.isEmpty())
                location.page.setFragment(section);
            break;
        }
    }
    return location;
}

} // namespace orlu
