// The chart widget: title label above a 757 x 393 area that is filled with the
// button face and redrawn completely on every repaint and change of selection.
#include "chartfixtures.h"

#include "charts/chartcolours.h"
#include "charts/charts.h"
#include "charts/ui/chartwidget.h"
#include "support/controls.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orlu;
using namespace orlu::testing;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

const QColor Face{212, 208, 200};

std::array<double, 24> sampleReadings() {
    return {95, 30, 20, 88, 15, 70, 40, 35, 110, 25, 60, 12, 75, 10, 65, 30, 100, 18, 22, 90, 14, 55, 80, 33};
}

} // namespace

class TestChartWidget : public QObject {
    Q_OBJECT

private slots:
    void titleFollowsSelection_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("title");
        QTest::newRow("bar") << 1 << u"经络虚实分析图-长条"_s;
        QTest::newRow("controlling") << 6 << u"经络五行相克分析图"_s;
        QTest::newRow("radar") << 7 << QString();
        QTest::newRow("autonomic") << 9 << u"自律神经平衡图"_s;
    }

    void titleFollowsSelection() {
        QFETCH(int, selection);
        QFETCH(QString, title);
        ChartWidget widget;
        QSignalSpy changed(&widget, &ChartWidget::selectionChanged);
        widget.setSelection(selection);
        auto *label = test::control<QLabel>(&widget, u"chartTitleLabel"_s);
        QVERIFY(label);
        QCOMPARE(label->text(), title);
        QCOMPARE(widget.explanation(), chartEntry(selection)->explanation);
        QCOMPARE(changed.size(), selection == 1 ? 0 : 1);
    }

    // What the widget shows is the chart drawn over the button face, pixel for pixel.
    void showsTheChartOverTheButtonFace_data() {
        QTest::addColumn<int>("selection");
        for (int selection : offeredCharts())
            QTest::newRow(qPrintable(QString::number(selection))) << selection;
    }

    void showsTheChartOverTheButtonFace() {
        QFETCH(int, selection);
        const AnalysisResult result = analysedReadings(sampleReadings());
        ChartWidget widget;
        QPalette palette = widget.palette();
        palette.setColor(QPalette::Button, Face);
        widget.setPalette(palette);
        widget.setResult(result);
        widget.setSelection(selection);

        auto *area = test::control<ChartArea>(&widget, u"chartArea"_s);
        QVERIFY(area);
        QCOMPARE(area->size(), QSize(757, 393));
        const QImage shown = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, renderChartImage(selection, result, Face));
    }

    void emptyWithoutResultOrDrawing() {
        ChartWidget widget;
        QPalette palette = widget.palette();
        palette.setColor(QPalette::Button, Face);
        widget.setPalette(palette);
        auto *area = test::control<ChartArea>(&widget, u"chartArea"_s);
        QImage blank(757, 393, QImage::Format_RGB32);
        blank.fill(Face);
        QCOMPARE(area->grab().toImage().convertToFormat(QImage::Format_RGB32), blank);

        widget.setResult(uniformResult(50));
        widget.setSelection(7);
        QCOMPARE(area->grab().toImage().convertToFormat(QImage::Format_RGB32), blank);
        widget.setSelection(2);
        QVERIFY(area->grab().toImage().convertToFormat(QImage::Format_RGB32) != blank);
        widget.clearResult();
        QCOMPARE(area->grab().toImage().convertToFormat(QImage::Format_RGB32), blank);
    }

    // Choosing another chart or handing in a new result repaints the area.
    void repaintsOnChange() {
        ChartWidget widget;
        widget.setResult(uniformResult(50));
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        auto *area = test::control<ChartArea>(&widget, u"chartArea"_s);
        PaintCounter counter;
        area->installEventFilter(&counter);

        widget.setSelection(3);
        QTRY_VERIFY(counter.paints >= 1);
        const int afterSelection = counter.paints;
        widget.setResult(analysedReadings(sampleReadings()));
        QTRY_VERIFY(counter.paints > afterSelection);
    }
};

QTEST_MAIN(TestChartWidget)
#include "test_chartwidget.moc"
