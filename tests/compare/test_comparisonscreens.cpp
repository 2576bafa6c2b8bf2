// A measurement made with the simulated probe, compared with stored ones through
// the real windows: the reading window for two records, the selection window for
// six. With ORLU_COMPARE_SHOTS set to a folder, pictures of every state are saved there.
#include "compare/ui/comparisonchartarea.h"
#include "compare/ui/comparisonselectionwindow.h"
#include "compare/ui/multicomparisonwindow.h"
#include "compare/ui/tworecordcomparisonwindow.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "measure/measuringrun.h"
#include "measure/probelinkoperations.h"
#include "recordfixture.h"
#include "records/measurementrepository.h"
#include "records/ui/readingwindow.h"
#include "records/recordtransfer.h"
#include "generator/registergenerator.h"
#include "support/windowdriver.h"

#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

void shoot(QWidget *window, const QString &name) {
    const QString folder = qEnvironmentVariable("ORLU_COMPARE_SHOTS");
    if (!folder.isEmpty())
        QVERIFY(window->grab().save(folder + u'/' + name + u".png"_s));
}

void clickRow(QWidget *w, int row) {
    auto *list = child<QListWidget>(w, "recordList");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

} // namespace

class TestComparisonScreens : public QObject {
    Q_OBJECT
private slots:
    void init();
    void twoRecordsAfterASimulatedMeasurement();
    void sixRecordsThroughTheSelectionWindow();

private:
    std::unique_ptr<RecordFixture> f;
};

void TestComparisonScreens::init() {
    f = std::make_unique<RecordFixture>();
    QVERIFY(generateRegister(f->db(), {8, 24}, 7));

    // A whole run against the simulated probe, in virtual time, stored under a new subject.
    VirtualTime time;
    SimulatedHidLayer sim{time, SimulatedHidLayer::Timing::Stepped};
    time.addSettleHook([&sim] { sim.settle(); });
    SimulatedProbeOptions options;
    options.latencyMs = 1;
    sim.addProbe(options);
    ProbeLink link{sim, time, time};
    link.registerDeviceChange();
    ProbeLinkOperations probe{link};
    MeasuringRun run{f->current, probe, f->prompter, time, time};
    QVERIFY(run.start(RunParameters{false, 4000, 1.0}));
    QVERIFY(f->current.complete());
    f->current.measuredAt = 46365.4375;
    f->addSubject(u"S0001"_s, u"陈模拟"_s);
    MeasurementRepository measurements(f->db());
    QVERIFY(storeCurrentMeasurement(measurements, f->current, subjectOf(u"S0001"_s, u"陈模拟"_s)) > 0);
}

void TestComparisonScreens::twoRecordsAfterASimulatedMeasurement() {
    auto readThrough = [this](ComparisonRecord &record, QWidget *parent) {
        ReadingWindow reading(f->context, ReadingWindow::Caller::ComparisonWindow, &record, {}, {}, parent);
        onNextModal(parent, [](QWidget *window) {
            auto *subjects = child<QTableView>(window, "subjectList");
            clickCell(subjects, 2, 1);
            clickCell(child<QTableView>(window, "measurementList"), 0, 1);
            click(window, "loadButton");
        });
        reading.exec();
    };
    TwoRecordComparisonWindow w(f->current, readThrough, {});
    QVERIFY(showAndActivate(&w));
    double plain = 0;
    for (double v : f->current.values)
        plain += v;
    QCOMPARE(child<QLabel>(child(&w, "originalBlock"), "energyValue")->text(),
             QString::asprintf("%5.2f", plain / 24));
    shoot(&w, u"two-record-opened"_s);
    click(&w, "originalBandButton");
    shoot(&w, u"two-record-one-band-1"_s);

    click(&w, "loadButton");
    QVERIFY(w.comparison());
    QCOMPARE(child<ComparisonChartArea>(&w, "chartArea")->chart().curves.size(), 2);
    shoot(&w, u"two-record-loaded"_s);
    click(&w, "originalBandButton");
    shoot(&w, u"two-record-band-1"_s);
    click(&w, "comparisonBandButton");
    shoot(&w, u"two-record-band-2"_s);
    QCOMPARE(child<ComparisonChartArea>(&w, "chartArea")->chart().band, std::optional<int>(1));
}

void TestComparisonScreens::sixRecordsThroughTheSelectionWindow() {
    ComparisonSet set;
    int wanted = 1;
    int nextRow = 0; // each subject gives its first measurement once
    auto select = [this, &set, &wanted, &nextRow](QWidget *parent) {
        ComparisonSelectionWindow selection(f->context, set, parent);
        onNextModal(parent, [&set, &wanted, &nextRow](QWidget *window) {
            auto *subjects = child<QTableView>(window, "subjectList");
            auto *measurements = child<QTableView>(window, "measurementList");
            for (; set.size() < wanted && nextRow < subjects->model()->rowCount(); ++nextRow) {
                clickCell(subjects, nextRow, 1);
                if (measurements->model()->rowCount() > 0) {
                    clickCell(measurements, 0, 1);
                    click(window, "addButton");
                }
            }
            shoot(window, u"selection-%1"_s.arg(set.size()));
            click(window, "leaveButton");
        });
        selection.exec();
    };
    MultiComparisonWindow w(set, select, {});
    QVERIFY(showAndActivate(&w));
    shoot(&w, u"multi-empty"_s);
    for (int n : {1, 2, 6}) {
        wanted = n;
        click(&w, "loadButton");
        QCOMPARE(set.size(), n);
        QCOMPARE(child<QListWidget>(&w, "recordList")->count(), n + 1);
        shoot(&w, u"multi-%1-no-band"_s.arg(n));
        for (int k = 0; k < n; ++k) {
            clickRow(&w, k);
            QCOMPARE(w.selectedEntry(), std::optional<int>(k));
            shoot(&w, u"multi-%1-band-%2"_s.arg(n).arg(k + 1));
        }
    }
    QVERIFY(f->prompter.asked().isEmpty());
}

QTEST_MAIN(TestComparisonScreens)
#include "test_comparisonscreens.moc"
