// The trend chart of a subject with 500 visits: how long one complete drawing takes
// on a screen-sized image and on the recording surface.
// Options: --visits N, --screenshots DIR (the trend window of a generated subject with
// 30 visits, opened from the reading window, offscreen)
#include "benchsupport.h"
#include "charts/paintersurface.h"
#include "charts/recordingsurface.h"
#include "trend/trendchart.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/prompter.h"
#include "storage/database.h"
#include "records/recordstore.h"
#include "generator/registergenerator.h"
#include "storage/schema.h"
#include "records/ui/readingwindow.h"
#include "trend/ui/trendwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

TrendSeries madeUpSeries(int visits) {
    QRandomGenerator rng(5);
    TrendSeries s;
    s.subjectNumber = u"T0000001"_s;
    s.subjectName = u"王小明"_s;
    for (int i = 0; i < visits; ++i) {
        std::array<double, 24> plain{};
        const double level = 20.0 + rng.bounded(60.0);
        for (double &v : plain)
            v = std::max(1.0, level + rng.bounded(30.0) - 15.0);
        s.visits << trendVisitOf(i + 1, 42000.0 + 7 * i, rng.bounded(6) == 0, plain, true);
    }
    return s;
}

double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void timeDrawing(int visits) {
    const TrendSeries series = madeUpSeries(visits);
    std::vector<double> image, recording;
    for (int run = 0; run < 15; ++run) {
        QElapsedTimer t;
        t.start();
        const QImage drawn = renderTrendImage(series, QColor(240, 240, 240), TrendChartSize, visits / 2);
        image.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        RecordingSurface surface;
        drawTrendChart(surface, series, QRect(QPoint(0, 0), TrendChartSize), visits / 2);
        recording.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("trend_draw_%d_visits_image: %.2f ms\n", visits, medianMs(image));
    std::printf("trend_draw_%d_visits_recording: %.2f ms\n", visits, medianMs(recording));
}

// The reading window on a register with one subject of 30 visits; the trend window over it.
bool screenshots(const QString &dir) {
    QTemporaryDir temp;
    const QString path = temp.filePath(u"orlu4.mdb"_s);
    Database db;
    QString error;
    if (!createDatabaseFile(path, SchemaKind::Main, &error) ||
        !db.open(path, Database::Access::Shared, &error) ||
        !generateRegister(db.handle(), {1, 30}, 7, &error)) {
        std::fprintf(stderr, "cannot build the register: %s\n", qPrintable(error));
        return false;
    }
    CurrentMeasurement current;
    SubjectOrder order;
    bench::SilentPrompter prompter;
    SystemClock clock;
    RecordContext context{RecordStore(db), current, order, prompter, clock, {}};
    ReadingWindow reading(context, ReadingWindow::Caller::MeasurementWindow);
    reading.show();
    QApplication::processEvents();
    reading.grab().save(dir + u"/reading-window.png"_s);
    bool saved = false;
    QTimer::singleShot(300, [&] {
        if (auto *trend = qobject_cast<TrendWindow *>(QApplication::activeModalWidget())) {
            trend->selectVisit(12);
            QApplication::processEvents();
            saved = trend->grab().save(dir + u"/trend-window.png"_s);
            trend->close();
        }
    });
    reading.findChild<QToolButton *>(u"trendButton"_s)->click();
    std::printf("screenshots: %s\n", saved ? qPrintable(dir) : "none");
    return saved;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype shots = args.indexOf(u"--screenshots"_s);
    if (shots > 0 && shots + 1 < args.size())
        return screenshots(args.at(shots + 1)) ? 0 : 1;
    const qsizetype visits = args.indexOf(u"--visits"_s);
    timeDrawing(visits > 0 && visits + 1 < args.size() ? args.at(visits + 1).toInt() : 500);
    return 0;
}
