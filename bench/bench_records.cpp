// The reading window over a large register: how long opening its lists,
// re-sorting, a search keystroke and moving to another subject take through the
// real windows (offscreen), beside the same SQL run straight through SQLite.
// Options: --subjects N --measurements M --database FILE|CONNECTION (kept and reused)
//          --beside FILE (with a server: the same register in a file, kept and reused)
//          --screenshots DIR (a small register and pictures of the three windows)
// With a server (--database postgresql://... or service=NAME) the window figures are
// the server's, and file_open_ms .. file_refilter_ms the same windows over a file of
// the same register beside them.
#include "benchsupport.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "storage/database.h"
#include "records/listqueries.h"
#include "storage/listindexes.h"
#include "records/measurementrepository.h"
#include "storage/namesortkeys.h"
#include "generator/registergenerator.h"
#include "storage/schema.h"
#include "storage/serverconnection.h"
#include "storage/serverschema.h"
#include "records/subjectrepository.h"
#include "records/ui/readingwindow.h"
#include "records/ui/savingwindow.h"
#include "records/ui/subjecteditor.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#ifdef ORLU_BENCH_SQLITE
#include <sqlite3.h>
#endif

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

struct Options {
    int subjects = 10000;
    int measurements = 100000;
    QString database;
    QString beside;
    QString screenshots;
};

Options parse(const QStringList &args) {
    Options o;
    o.subjects = bench::intOption(args, u"--subjects"_s, o.subjects);
    o.measurements = bench::intOption(args, u"--measurements"_s, o.measurements);
    o.database = bench::option(args, u"--database"_s);
    o.beside = bench::option(args, u"--beside"_s);
    o.screenshots = bench::option(args, u"--screenshots"_s);
    return o;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double timed(const std::function<void()> &f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void print(const char *name, double value, const char *unit = "ms") {
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

double residentMegabytes() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void key(QWidget *w, int k, const QString &text = {}) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

// Paints the whole window now, as its first showing does.
void show(QWidget *w) {
    w->repaint();
    QApplication::processEvents();
}

// Handles what a change left pending, repainting the parts it made dirty.
void settle() {
    QApplication::processEvents();
}

bool prepareRegister(Database &db, const Options &o, const QString &path) {
    QString error;
    const bool server = isServerConnection(path);
    bool existed = server || QFile::exists(path);
    if (!existed && !createDatabaseFile(path, SchemaKind::Main, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    if (!openRegister(db, path, &error) ||
        (server && initServerRegister(db.handle(), &error) == InitResult::Failed)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    if (server)
        existed = SubjectRepository(db.handle()).count() > 0;
    if (!existed) {
        const double ms = timed([&] {
            generateRegister(db.handle(), {o.subjects, o.measurements}, 7, &error);
        });
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        print("generate_ms", ms);
    }
    ensureListIndexes(db.handle());
    return true;
}

void measureWindows(RecordContext &context, const char *prefix = "") {
    auto print = [prefix](const char *name, double value, const char *unit = "ms") {
        ::print(QByteArray(QByteArray(prefix) + name).constData(), value, unit);
    };
    context.current.subject.number = u"T0000500"_s;
    std::vector<double> open;
    for (int run = 0; run < 5; ++run) {
        open.push_back(timed([&] {
            ReadingWindow w(context, ReadingWindow::Caller::MeasurementWindow);
            w.show();
            show(&w);
        }));
    }
    print("open_ms", median(open));

    ReadingWindow w(context, ReadingWindow::Caller::MeasurementWindow);
    w.show();
    show(&w);
    auto *columns = w.findChild<QComboBox *>(u"columnBox"_s);
    auto *direction = w.findChild<QComboBox *>(u"directionBox"_s);
    auto *search = w.findChild<QLineEdit *>(u"searchBox"_s);
    auto *subjects = w.findChild<QTableView *>(u"subjectList"_s);

    std::vector<double> sort;
    for (int run = 0; run < 3; ++run) {
        for (int k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) {
            sort.push_back(timed([&] {
                key(columns, k);
                settle();
            }));
        }
        sort.push_back(timed([&] {
            key(direction, run % 2 == 0 ? Qt::Key_Down : Qt::Key_Up);
            settle();
        }));
        for (int i = 0; i < 5; ++i)
            key(columns, Qt::Key_Up);
    }
    print("sort_ms", median(sort));

    // Back to the subject number, ascending: the search box then searches numbers.
    columns->setCurrentIndex(1);
    key(columns, Qt::Key_Up);
    if (direction->currentIndex() != 0)
        key(direction, Qt::Key_Up);
    show(&w);
    std::vector<double> keystrokes;
    for (int run = 0; run < 4; ++run) {
        search->setFocus();
        search->clear();
        const QString typed = u"T000%1"_s.arg(1000 + run * 1789);
        for (QChar ch : typed) {
            keystrokes.push_back(timed([&] {
                key(search, Qt::Key_unknown, QString(ch));
                settle();
            }));
        }
    }
    print("search_ms", median(keystrokes));

    subjects->setFocus();
    std::vector<double> moves;
    for (int i = 0; i < 30; ++i) {
        moves.push_back(timed([&] {
            key(subjects, Qt::Key_Down);
            settle();
        }));
    }
    print("refilter_ms", median(moves));
    print("rss_mb", residentMegabytes(), "MB");
}

#ifdef ORLU_BENCH_SQLITE
// Runs one statement to its end, binding texts; returns the first column of the first row.
sqlite3_int64 run(sqlite3 *db, const char *sql, const std::vector<QByteArray> &binds = {}) {
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    for (size_t i = 0; i < binds.size(); ++i)
        sqlite3_bind_text(st, int(i + 1), binds[i].constData(), int(binds[i].size()), SQLITE_TRANSIENT);
    sqlite3_int64 first = 0;
    bool any = false;
    while (sqlite3_step(st) == SQLITE_ROW) {
        if (!any)
            first = sqlite3_column_int64(st, 0);
        any = true;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            sqlite3_column_text(st, c);
    }
    sqlite3_finalize(st);
    return first;
}

// The statements the reading window runs, without Qt and without windows.
void measureSqlite(const QString &path) {
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return;
    const QByteArray keys =
        (u"SELECT MKEY FROM KYCUST "_s + subjectOrderBy(SubjectOrder::fromCode(1))).toUtf8();
    const QByteArray byName = nameListQuery(false).toUtf8();
    const char *page = "SELECT MKEY, CUSTNO, NAME, SEX, DBIRTH, ADDR, TEL, TEL2, TEL3, EMAIL FROM KYCUST "
                       "WHERE MKEY BETWEEN 1 AND 128";
    const char *detail = "SELECT MKEY FROM KYDATA WHERE CUSTNO COLLATE NOCASE = ? "
                         "ORDER BY CUSTNO COLLATE NOCASE, KYDATE, MKEY";
    const char *detailPage = "SELECT * FROM KYDATA WHERE CUSTNO COLLATE NOCASE = ?";
    const QByteArray locate = (u"SELECT MKEY FROM KYCUST WHERE CUSTNO COLLATE NOCASE >= ? AND CUSTNO COLLATE "
                               "NOCASE < ? "_s +
                               subjectOrderBy(SubjectOrder::fromCode(1)) + u" LIMIT 1"_s)
                                  .toUtf8();
    std::vector<double> open, sort, search, refilter;
    for (int i = 0; i < 5; ++i) {
        open.push_back(timed([&] {
            run(db, keys.constData());
            run(db, page);
            run(db, detail, {"T0000500"});
            run(db, detailPage, {"T0000500"});
        }));
        sort.push_back(timed([&] { run(db, byName.constData()); }));
    }
    for (int i = 0; i < 20; ++i) {
        const QByteArray low = QByteArray("t000") + QByteArray::number(1000 + i * 37);
        QByteArray high = low;
        high.back() = char(high.back() + 1);
        search.push_back(timed([&] {
            const sqlite3_int64 found = run(db, locate.constData(), {low, high});
            Q_UNUSED(found);
            run(db, detail, {low});
            run(db, detailPage, {low});
        }));
        refilter.push_back(timed([&] {
            const QByteArray number = QByteArray("T000") + QByteArray::number(2000 + i);
            run(db, detail, {number});
            run(db, detailPage, {number});
        }));
    }
    sqlite3_close(db);
    print("sqlite_open_ms", median(open));
    print("sqlite_sort_ms", median(sort));
    print("sqlite_search_ms", median(search));
    print("sqlite_refilter_ms", median(refilter));
}
#endif

void takeScreenshots(RecordContext &context, const QString &folder) {
    QDir().mkpath(folder);
    context.current.subject.number = u"T0000003"_s;
    {
        SavingWindow w(context);
        w.show();
        show(&w);
        w.grab().save(folder + u"/saving.png"_s);
    }
    {
        ReadingWindow w(context, ReadingWindow::Caller::MeasurementWindow);
        w.show();
        show(&w);
        w.grab().save(folder + u"/reading.png"_s);
    }
    {
        bool add = true;
        SubjectEditor w(context, add);
        w.show();
        show(&w);
        w.grab().save(folder + u"/editor-add.png"_s);
    }
    {
        bool add = false;
        SubjectEditor w(context, add, 3);
        w.show();
        show(&w);
        w.grab().save(folder + u"/editor-modify.png"_s);
    }
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options = parse(app.arguments());
    if (!options.screenshots.isEmpty() && options.database.isEmpty()) {
        options.subjects = 40;
        options.measurements = 400;
    }
    QTemporaryDir temp;
    const QString path = options.database.isEmpty() ? temp.filePath(u"orlu4.mdb"_s) : options.database;

    Database db;
    if (!prepareRegister(db, options, path))
        return 1;
    SystemClock clock;
    bench::SilentPrompter prompter;
    CurrentMeasurement current;
    SubjectOrder order;
    RecordContext context{RecordStore(db), current, order, prompter, clock, {}};

    if (!options.screenshots.isEmpty()) {
        takeScreenshots(context, options.screenshots);
        return 0;
    }
    std::printf("subjects: %d\nmeasurements: %d\n", SubjectRepository(db.handle()).count(),
                MeasurementRepository(db.handle()).countAll());
    measureWindows(context);
    if (db.backend() == Backend::Postgres) {
        // The same windows over the same register in a file, for comparison.
        const QString file = options.beside.isEmpty() ? temp.filePath(u"beside.mdb"_s) : options.beside;
        Database fileDb;
        if (!prepareRegister(fileDb, options, file))
            return 1;
        RecordContext fileContext{RecordStore(fileDb), current, order, prompter, clock, {}};
        measureWindows(fileContext, "file_");
#ifdef ORLU_BENCH_SQLITE
        measureSqlite(file);
#endif
        return 0;
    }
#ifdef ORLU_BENCH_SQLITE
    measureSqlite(path);
#endif
    return 0;
}
