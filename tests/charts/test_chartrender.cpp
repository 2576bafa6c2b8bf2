// Renders every chart for three kinds of measurement to PNG files (for a person
// to look at) and checks what must be visible on the pixels.
#include "chartfixtures.h"

#include "charts/chartcolours.h"
#include "charts/charts.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTest>

// Declared before any use, or an optimising build sees two definitions.
Q_DECLARE_METATYPE(orlu::AnalysisResult)

using namespace Qt::StringLiterals;
using namespace orlu;
using namespace orlu::testing;

namespace {

std::array<double, 24> balancedReadings() {
    return {52, 55, 46, 54, 60, 61, 53, 54, 45, 53, 62, 60, 50, 41, 49, 47, 42, 45, 51, 40, 50, 46, 43, 44};
}

std::array<double, 24> unbalancedReadings() {
    return {95, 30, 20, 88, 15, 70, 40, 35, 110, 25, 60, 12, 75, 10, 65, 30, 100, 18, 22, 90, 14, 55, 80, 33};
}

std::array<double, 24> highReadings() {
    return {180, 150, 175, 160, 190, 172, 165, 185, 140, 178, 171, 200,
            160, 120, 168, 150, 130, 173, 177, 125, 166, 149, 133, 181};
}

QString outputFolder() {
    const QString folder = QCoreApplication::applicationDirPath() + u"/test-output/charts"_s;
    QDir().mkpath(folder);
    return folder;
}

int countPixels(const QImage &image, const QColor &colour) {
    int n = 0;
    const QRgb wanted = colour.rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == wanted;
    }
    return n;
}

} // namespace

class TestChartRender : public QObject {
    Q_OBJECT

private slots:
    void rendersEveryChart_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("selection");
        QTest::addColumn<AnalysisResult>("result");
        const QList<QPair<QString, std::array<double, 24>>> samples{
            {u"balanced"_s, balancedReadings()},
            {u"unbalanced"_s, unbalancedReadings()},
            {u"high"_s, highReadings()},
        };
        for (const auto &[name, readings] : samples) {
            const AnalysisResult result = analysedReadings(readings);
            for (int selection : offeredCharts()) {
                const QString row = u"%1-chart%2"_s.arg(name).arg(selection);
                QTest::newRow(qPrintable(row)) << row << selection << result;
            }
        }
    }

    void rendersEveryChart() {
        QFETCH(QString, name);
        QFETCH(int, selection);
        QFETCH(AnalysisResult, result);

        const QImage image = renderChartImage(selection, result, ChartColour::ButtonFace);
        QCOMPARE(image.size(), QSize(757, 393));
        QVERIFY(image.save(outputFolder() + u'/' + name + u".png"_s));

        // The vertical axis is a black line 3 pixels wide at x = 50 in every chart.
        for (int x = 49; x <= 51; ++x)
            QCOMPARE(QColor(image.pixel(x, 100)), ChartColour::Black);
        // Captions reach the screen (blue element or limb labels in every chart; the
        // controlling chart draws its markers red and meridian labels maroon, no green).
        QVERIFY(countPixels(image, ChartColour::Blue) > 50);
        QVERIFY(countPixels(image, selection == 6 ? ChartColour::Red : ChartColour::Green) > 50);
        // The background is left between the lines.
        QVERIFY(countPixels(image, ChartColour::ButtonFace) > image.width() * image.height() / 2);
    }
};

QTEST_MAIN(TestChartRender)
#include "test_chartrender.moc"
