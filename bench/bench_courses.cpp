// Matching a large user course set against one measurement, reading the
// courses from the database each time as the analysis window does.
#include "analysis/analysis.h"
#include "core/daycount.h"
#include "courses/coursestore.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

constexpr int Courses = 1000;
constexpr int ConditionsPerCourse = 5;
constexpr int Runs = 25;

bool fill(QSqlDatabase db) {
    QRandomGenerator random(8);
    Transaction tx(db);
    QSqlQuery course(db);
    course.prepare(u"INSERT INTO KYPRO (ProNo, ProName, ProFN) VALUES (?, ?, '0000')"_s);
    QSqlQuery condition(db);
    condition.prepare(u"INSERT INTO KYPRDT (ProNo, ProSubN, ProCond, ProAnd, ProEng, ProAGL, ProAGH, ProFlg) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_s);
    for (int i = 0; i < Courses; ++i) {
        const QString no = u"C%1"_s.arg(i, 4, 10, QChar(u'0'));
        course.addBindValue(no);
        course.addBindValue(u"疗程%1"_s.arg(i));
        if (!course.exec())
            return false;
        for (int k = 0; k < ConditionsPerCourse; ++k) {
            QString cond(24, u'0');
            QString must(24, u'0');
            for (int n = 0; n < 3; ++n)
                cond[random.bounded(22)] = QChar(u'1' + random.bounded(3));
            if (random.bounded(4) == 0)
                must[random.bounded(22)] = u'1';
            if (random.bounded(5) == 0)
                cond[22] = u'1';
            for (const QVariant &v : {QVariant(no), QVariant(u"条件"_s), QVariant(cond), QVariant(must),
                                      QVariant(40.0), QVariant(30), QVariant(60), QVariant(k == 0)})
                condition.addBindValue(v);
            if (!condition.exec())
                return false;
        }
    }
    return tx.commit();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"orlu4.mdb"_s);
    QString error;
    if (!createDatabaseFile(path, SchemaKind::Main, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Database db;
    if (!db.open(path, Database::Access::Shared, &error) || !fill(db.handle())) {
        std::fprintf(stderr, "cannot fill the course tables\n");
        return 1;
    }

    std::array<double, 24> w;
    for (int c = 0; c < 24; ++c)
        w[c] = 30.0 + 3.0 * c;
    const MatchInputs in = matchInputs(analyse(w, true), toDayCount(QDate(1970, 1, 1)), QDate(2026, 6, 1));

    // Wall time and processor time: on a busy machine the second shows what the work itself costs.
    std::vector<double> times;
    std::vector<double> cpuTimes;
    qsizetype matched = 0;
    for (int r = 0; r < Runs; ++r) {
        QElapsedTimer t;
        t.start();
        const std::clock_t cpuStart = std::clock();
        const auto names = matchCourseSet(db.handle(), in, &error);
        cpuTimes.push_back(1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        times.push_back(t.nsecsElapsed() / 1.0e6);
        if (!names) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        matched = names->size();
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::printf("match_1000_courses_ms: %.2f ms\n", times[times.size() / 2]);
    std::printf("match_1000_courses_cpu_ms: %.2f ms\n", cpuTimes[cpuTimes.size() / 2]);
    std::printf("match_1000_courses_worst_ms: %.2f ms\n", times.back());
    std::printf("match_1000_courses_applying: %lld courses\n", static_cast<long long>(matched));
    return 0;
}
