// Opening the analysis window until it is shown: the analysis, both course
// sets with 1,000 courses each, the reference texts and the first chart.
#include "benchsupport.h"
#include "analysis/referencetextbuilder.h"
#include "analysis/ui/analysiswindow.h"
#include "core/channels.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "platform/launch.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "analysis/textstore.h"
#include "courses/coursestore.h"
#include "storage/database.h"
#include "records/measurementrepository.h"
#include "storage/schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

constexpr int Courses = 1000;
constexpr int ConditionsPerCourse = 3;
constexpr int Runs = 9;

class NoLaunch final : public LaunchPort {
public:
    bool fileExists(const QString &) const override { return false; }
    bool startProgram(const QString &, const QString &) override { return true; }
    bool openDocument(const QString &) override { return true; }
    void reportFailure(const QString &) override {}
};

// Courses with random conditions; `supplied` adds the eight texts of the supplied set.
bool fillCourses(QSqlDatabase db, bool supplied, quint32 seed) {
    QRandomGenerator random(seed);
    Transaction tx(db);
    QSqlQuery course(db);
    course.prepare(supplied
                       ? u"INSERT INTO KYPRO (ProNo, ProName, ProData, ProMed1, ProMed2, ProMed3, ProHel1, "
                         "ProHel2, ProHel3, ProHel4, ProHel5) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s
                       : u"INSERT INTO KYPRO (ProNo, ProName, ProData, ProFN) VALUES (?, ?, ?, '1000')"_s);
    QSqlQuery condition(db);
    condition.prepare(u"INSERT INTO KYPRDT (ProNo, ProSubN, ProCond, ProAnd, ProEng, ProAGL, ProAGH, ProFlg) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_s);
    for (int i = 0; i < Courses; ++i) {
        const QString no = u"C%1"_s.arg(i, 4, 10, QChar(u'0'));
        course.addBindValue(no);
        course.addBindValue(u"疗程%1"_s.arg(i));
        course.addBindValue(u"疗程说明第一行\r\n疗程说明第二行"_s);
        if (supplied) {
            for (int t = 1; t <= 8; ++t)
                course.addBindValue(u"说明%1"_s.arg(t));
        }
        if (!course.exec())
            return false;
        for (int k = 0; k < ConditionsPerCourse; ++k) {
            QString cond(24, u'0');
            for (int n = 0; n < 2; ++n)
                cond[random.bounded(22)] = QChar(u'1' + random.bounded(3));
            for (const QVariant &v :
                 {QVariant(no), QVariant(u"条件"_s), QVariant(cond), QVariant(QString(24, u'0')),
                  QVariant(40.0), QVariant(30), QVariant(60), QVariant(false)})
                condition.addBindValue(v);
            if (!condition.exec())
                return false;
        }
    }
    return tx.commit();
}

bool makeCourseFile(const QString &path, SchemaKind kind, Database &db, quint32 seed) {
    QString error;
    const bool ok =
        createDatabaseFile(path, kind, &error) &&
        db.open(path, kind == SchemaKind::Main ? Database::Access::Shared : Database::Access::ReadOnly,
                &error);
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    // The supplied set is read-only once made: fill it through a second, writable connection.
    if (kind == SchemaKind::Main)
        return fillCourses(db.handle(), false, seed);
    Database writer;
    return writer.open(path, Database::Access::Shared, &error) && fillCourses(writer.handle(), true, seed);
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    Database mainDb;
    Database textDb;
    Database suppliedDb;
    QString error;
    if (!makeCourseFile(dir.filePath(u"orlu4.mdb"_s), SchemaKind::Main, mainDb, 8) ||
        !makeCourseFile(dir.filePath(u"orluMCn.mdb"_s), SchemaKind::SuppliedCourses, suppliedDb, 9))
        return 1;
    const QString texts = dir.filePath(u"orluCn.mdb"_s);
    if (!buildReferenceTextDatabase(texts, shippedReferenceTextSource(), &error) ||
        !textDb.open(texts, Database::Access::ReadOnly, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    // A measurement with several abnormal meridians, so every list and text has rows.
    CurrentMeasurement measurement;
    std::array<double, 24> readings{};
    for (int c = 1; c <= ChannelCount; ++c)
        readings[static_cast<std::size_t>(c - 1)] = (30.0 + 3.0 * c) / correctionFactor(c);
    measurement.setAllValues(readings);
    measurement.subject.birthDate = 25000;
    Settings settings = defaultSettings(QDate::currentDate());
    SystemClock clock;
    bench::SilentPrompter prompter;
    NoLaunch launcher;
    AnalysisViewState view;
    MeasurementRepository measurements(mainDb.handle());
    CourseStore courses(mainDb.handle());
    CourseStore suppliedCourses(suppliedDb.handle());
    ReferenceTextStore referenceTexts(textDb.handle());

    std::vector<double> times;
    for (int r = 0; r < Runs; ++r) {
        QElapsedTimer t;
        t.start();
        AnalysisWindow window({measurement, view, settings, [] {}, measurements, courses, referenceTexts,
                               [&]() -> const CourseStore * { return &suppliedCourses; }, prompter, launcher,
                               clock});
        window.show();
        // Shown means painted once: let the pending paint of the first page happen.
        QCoreApplication::processEvents();
        times.push_back(t.nsecsElapsed() / 1.0e6);
        window.accept();
    }
    std::sort(times.begin(), times.end());
    std::printf("open_ms: %.1f ms\n", times[times.size() / 2]);
    std::printf("open_worst_ms: %.1f ms\n", times.back());
    std::printf("open_best_ms: %.1f ms\n", times.front());
    return 0;
}
