#include "trend/trendchart.h"
#include "trend/ui/trendchartview.h"
#include "recordfixture.h"
#include "records/ui/readingwindow.h"
#include "trend/ui/trendexporttools.h"
#include "trend/ui/trendwindow.h"
#include "support/windowdriver.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QLabel>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

// Clicks "取消" of the export's progress window as soon as its bar shows written rows.
class CancelOnProgress : public QObject {
public:
    bool clickedAfterRows = false;

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::Show || watched->objectName() != u"exportProgressWindow"_s)
            return false;
        auto *window = static_cast<QWidget *>(watched);
        auto *bar = window->findChild<QProgressBar *>();
        if (!bar)
            return false; // nothing clicked: the test fails on clickedAfterRows
        connect(bar, &QProgressBar::valueChanged, window, [this, window](int value) {
            if (value <= 0 || clickedAfterRows)
                return;
            clickedAfterRows = true;
            QTest::mouseClick(child<QPushButton>(window, "cancelButton"), Qt::LeftButton);
        });
        return false;
    }
};

class TestTrendWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void trendButtonNeedsAMeasurement_data();
    void trendButtonNeedsAMeasurement();
    void opensOnTheCurrentMeasurement();
    void choosingAVisitSelectsTheMeasurement_data();
    void choosingAVisitSelectsTheMeasurement();
    void oneMeasurementShowsThatOne();
    void printButtonPrintsTheShownTrend_data();
    void printButtonPrintsTheShownTrend();
    void exportWritesTheRegister_data();
    void exportWritesTheRegister();
    void cancelledExportLeavesNoFile();

private:
    // Opens the reading window on subject `row` and runs `act` in the trend window.
    void inTrendWindow(int subjectRow, int measurementRow, const std::function<void(TrendWindow *)> &act);
    QTableView *subjects(QWidget *w) { return child<QTableView>(w, "subjectList"); }
    QTableView *measurements(QWidget *w) { return child<QTableView>(w, "measurementList"); }

    std::unique_ptr<RecordFixture> f;
    std::unique_ptr<ReadingWindow> m_reading;
    QList<qint64> m_wang; // in time order
};

void TestTrendWindow::init() {
    f = std::make_unique<RecordFixture>();
    f->addSubject(u"A001"_s, u"王小明"_s);
    f->addSubject(u"B002"_s, u"李四"_s, false);
    f->addSubject(u"C003"_s, u"张三"_s);
    for (int i = 0; i < 6; ++i)
        m_wang << f->addMeasurement(u"A001"_s, 46000 + 30 * i, 20.0 + 5 * i, i % 3 == 2);
    f->addMeasurement(u"B002"_s, 46010.5, 35.0);
    const ReadingToolsMaker tools = [](QToolBar *bar, const RecordContext &context, ReadingListAccess list,
                                       QWidget *window) -> ReadingTools * {
        return new TrendExportTools(bar, context, std::move(list), window);
    };
    m_reading = std::make_unique<ReadingWindow>(f->context, ReadingWindow::Caller::MeasurementWindow, nullptr,
                                                ReadingWindow::ManualEntryOpener{}, tools);
}

void TestTrendWindow::cleanup() {
    m_reading.reset();
    f.reset();
}

void TestTrendWindow::trendButtonNeedsAMeasurement_data() {
    QTest::addColumn<int>("subjectRow");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("six measurements") << 0 << true;
    QTest::newRow("one measurement") << 1 << true;
    QTest::newRow("none") << 2 << false;
}

void TestTrendWindow::trendButtonNeedsAMeasurement() {
    QFETCH(int, subjectRow);
    QFETCH(bool, enabled);
    QVERIFY(showAndActivate(m_reading.get()));
    clickCell(subjects(m_reading.get()), subjectRow, 1);
    QCOMPARE(child<QToolButton>(m_reading.get(), "trendButton")->isEnabled(), enabled);
    QCOMPARE(child<QToolButton>(m_reading.get(), "trendButton")->text(), u"趋势分析"_s);
    QVERIFY(child<QToolButton>(m_reading.get(), "exportButton")->isEnabled());
}

void TestTrendWindow::inTrendWindow(int subjectRow, int measurementRow,
                                    const std::function<void(TrendWindow *)> &act) {
    QVERIFY(showAndActivate(m_reading.get()));
    clickCell(subjects(m_reading.get()), subjectRow, 1);
    if (measurementRow >= 0)
        clickCell(measurements(m_reading.get()), measurementRow, 1);
    bool ran = false;
    onNextModal(m_reading.get(), [&](QWidget *w) {
        auto *trend = qobject_cast<TrendWindow *>(w);
        if (trend)
            act(trend);
        ran = trend != nullptr;
        w->close();
    });
    click(m_reading.get(), "trendButton");
    QVERIFY(ran);
}

void TestTrendWindow::opensOnTheCurrentMeasurement() {
    inTrendWindow(0, 3, [&](TrendWindow *trend) {
        QCOMPARE(trend->windowTitle(), u"能量趋势"_s);
        QVERIFY(fitsSmallScreen(trend));
        auto *table = child<QTableView>(trend, "trendTable");
        QCOMPARE(table->model()->rowCount(), 6);
        QCOMPARE(trend->selectedVisit(), 3);
        QCOMPARE(table->currentIndex().row(), 3);
        QCOMPARE(child<TrendChartView>(trend, "trendChart")->selectedVisit(), 3);
        // Visits in time order, the High ones marked.
        for (int row = 0; row < 6; ++row) {
            QCOMPARE(table->model()->index(row, 0).data(Qt::UserRole).toLongLong(), m_wang[row]);
            QCOMPARE(table->model()->index(row, 3).data().toString(), row % 3 == 2 ? u"高电位"_s : u"标准"_s);
        }
    });
}

void TestTrendWindow::choosingAVisitSelectsTheMeasurement_data() {
    QTest::addColumn<bool>("inChart");
    QTest::addColumn<int>("visit");
    QTest::newRow("a point of the chart") << true << 4;
    QTest::newRow("the first point") << true << 0;
    QTest::newRow("a row of the table") << false << 1;
}

void TestTrendWindow::choosingAVisitSelectsTheMeasurement() {
    QFETCH(bool, inChart);
    QFETCH(int, visit);
    inTrendWindow(0, 2, [&](TrendWindow *trend) {
        auto *chart = child<TrendChartView>(trend, "trendChart");
        auto *table = child<QTableView>(trend, "trendTable");
        if (inChart) {
            const TrendLayout layout = trendLayout(chart->rect(), 6);
            QTest::mouseClick(chart, Qt::LeftButton, {},
                              QPoint(layout.columnCentre(visit), layout.energy.center().y()));
        } else {
            clickCell(table, visit, 2);
        }
        QCOMPARE(trend->selectedVisit(), visit);
        QCOMPARE(chart->selectedVisit(), visit);
        QCOMPARE(table->currentIndex().row(), visit);
        // The reading window's list behind follows.
        QCOMPARE(measurements(m_reading.get())->currentIndex().row(), visit);
    });
}

void TestTrendWindow::oneMeasurementShowsThatOne() {
    inTrendWindow(1, -1, [&](TrendWindow *trend) {
        QCOMPARE(child<QTableView>(trend, "trendTable")->model()->rowCount(), 1);
        QCOMPARE(trend->selectedVisit(), 0);
    });
}

void TestTrendWindow::printButtonPrintsTheShownTrend_data() {
    QTest::addColumn<bool>("printer");
    QTest::newRow("with a printer") << true;
    QTest::newRow("without") << false;
}

void TestTrendWindow::printButtonPrintsTheShownTrend() {
    QFETCH(bool, printer);
    QList<QWidget *> parents;
    TrendSeries printed;
    if (printer) {
        m_reading->findChild<TrendExportTools *>()->setTrendPrinter(
            [&](const TrendSeries &series, QWidget *parent) {
                printed = series;
                parents << parent;
                return u"已送至打印机 Office"_s;
            });
    }
    inTrendWindow(0, 1, [&](TrendWindow *trend) {
        auto *print = child<QToolButton>(trend, "printButton");
        QCOMPARE(print->isEnabled(), printer);
        if (!printer)
            return;
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(parents, (QList<QWidget *>{trend}));
        QCOMPARE(child<QLabel>(trend, "printStatus")->text(), u"已送至打印机 Office"_s);
        QCOMPARE(printed.subjectNumber, u"A001"_s);
        QCOMPARE(printed.visits.size(), 6);
        QCOMPARE(printed.visits[2].key, m_wang[2]);
    });
}

void TestTrendWindow::exportWritesTheRegister_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("perMeasurement");
    // Chosen without a suffix: each export adds its own.
    QTest::newRow("data") << QByteArray("exportButton") << u"register.csv"_s
                          << QByteArray("subject,sex,birthYear") << QByteArray("\r\n");
    QTest::newRow("FHIR") << QByteArray("fhirExportButton") << u"register.json"_s
                          << QByteArray("{\"resourceType\":\"Bundle\"")
                          << QByteArray("\"resourceType\":\"Observation\"");
}

void TestTrendWindow::exportWritesTheRegister() {
    QFETCH(QByteArray, button);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, perMeasurement);
    QVERIFY(showAndActivate(m_reading.get()));
    QList<QWidget *> parents;
    const auto chooser = [&](QWidget *parent) {
        parents << parent;
        return f->home.file(u"register"_s);
    };
    m_reading->findChild<TrendExportTools *>()->setFileChooser(chooser);
    m_reading->findChild<TrendExportTools *>()->setFhirFileChooser(chooser);
    click(m_reading.get(), button.constData());
    QCOMPARE(parents, (QList<QWidget *>{m_reading.get()}));
    const QByteArray bytes = f->home.readFile(written);
    QVERIFY(bytes.startsWith(start));
    QCOMPARE(bytes.count(perMeasurement) - (button == "exportButton" ? 1 : 0), 7);
    QCOMPARE(f->prompter.asked().size(), 1);
    QVERIFY2(f->prompter.texts().first().contains(u"已导出 7 笔"_s), qPrintable(f->prompter.texts().first()));
}

// A cancel must leave no file behind however quickly the machine exports: the cancel is
// clicked from inside the export's own progress report once rows are out, so the export
// cannot finish before it arrives.
void TestTrendWindow::cancelledExportLeavesNoFile() {
    for (int i = 0; i < 1500; ++i)
        f->addMeasurement(u"C003"_s, 45000 + i);
    QVERIFY(showAndActivate(m_reading.get()));
    m_reading->findChild<TrendExportTools *>()->setFileChooser(
        [&](QWidget *) { return f->home.file(u"register.jsonl"_s); });
    CancelOnProgress cancel;
    qApp->installEventFilter(&cancel);
    click(m_reading.get(), "exportButton");
    qApp->removeEventFilter(&cancel);
    QVERIFY(cancel.clickedAfterRows);
    QVERIFY(!QFileInfo::exists(f->home.file(u"register.jsonl"_s)));
    QCOMPARE(QDir(f->home.path()).entryList({u"register*"_s}, QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(f->prompter.texts(), QStringList{u"导出已取消，没有写入任何文件。"_s});
}

QTEST_MAIN(TestTrendWindow)
#include "test_trendwindow.moc"
