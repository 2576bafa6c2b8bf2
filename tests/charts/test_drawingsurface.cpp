// The recording surface keeps what a chart drew with the state in force, and
// the painter surface puts the same operations on pixels.
#include "charts/chartcolours.h"
#include "charts/paintersurface.h"
#include "charts/recordingsurface.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orlu;

namespace {

const QColor Background{240, 240, 240};

QImage blankImage(int w = 40, int h = 40) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Background);
    return image;
}

template <typename Draw> QImage paint(Draw draw, int w = 40, int h = 40) {
    QImage image = blankImage(w, h);
    QPainter painter(&image);
    PainterSurface surface(painter, PainterSurface::screenFont());
    draw(surface);
    painter.end();
    return image;
}

int count(const QImage &image, const QColor &colour, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour.rgb();
    }
    return n;
}

} // namespace

class TestDrawingSurface : public QObject {
    Q_OBJECT

private slots:
    void recordsStateInForce() {
        RecordingSurface rec;
        rec.setPen(ChartColour::Red, PenStyle::Dotted, 2);
        rec.setBrush(ChartColour::Green, BrushStyle::BackDiagonal);
        rec.setFontColor(ChartColour::Navy);
        rec.moveTo(1, 2);
        rec.lineTo(3, 4);
        rec.lineTo(5, 6);
        rec.setPenStyle(PenStyle::None);
        rec.rectangle(9, 8, 7, 6);
        rec.textOut(10, 11, u"正常"_s);

        const QList<DrawOp> &ops = rec.ops();
        QCOMPARE(ops.size(), 4);
        // A line-to runs from the current point, which moves along.
        QCOMPARE(ops[0].points, (QList<QPoint>{{1, 2}, {3, 4}}));
        QCOMPARE(ops[1].points, (QList<QPoint>{{3, 4}, {5, 6}}));
        QCOMPARE(ops[1].pen, (PenState{ChartColour::Red, PenStyle::Dotted, 2}));
        // Corners are kept as given, not normalised.
        QCOMPARE(ops[2].points, (QList<QPoint>{{9, 8}, {7, 6}}));
        QCOMPARE(ops[2].pen.style, PenStyle::None);
        QCOMPARE(ops[2].brush, (BrushState{ChartColour::Green, BrushStyle::BackDiagonal}));
        QCOMPARE(ops[3].text, u"正常"_s);
        QCOMPARE(ops[3].font, ChartColour::Navy);
        QVERIFY(rec.findText(u"正常"_s) == &ops[3]);
        QVERIFY(rec.findText(u"不良"_s) == nullptr);
    }

    void writesOneJsonObjectPerOperation_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray state =
            ", \"pen\": {\"color\": [255, 0, 0], \"style\": \"dashdotdot\", \"width\": 3}, "
            "\"brush\": {\"color\": [0, 128, 0], \"style\": \"fdiagonal\"}, \"font\": [0, 0, 128]}";
        QTest::newRow("line") << 0
                              << ("{\"op\": \"line\", \"x1\": 1, \"y1\": 2, \"x2\": 3, \"y2\": 4" + state);
        QTest::newRow("rect") << 1
                              << ("{\"op\": \"rect\", \"x1\": 5, \"y1\": 6, \"x2\": 7, \"y2\": 8" + state);
        QTest::newRow("ellipse") << 2
                                 << ("{\"op\": \"ellipse\", \"x1\": -1, \"y1\": -2, \"x2\": 3, \"y2\": 4" +
                                     state);
        QTest::newRow("polygon") << 3
                                 << ("{\"op\": \"polygon\", \"points\": [[8, 17], [0, 1], [-8, 17]]" + state);
        QTest::newRow("text") << 4
                              << ("{\"op\": \"text\", \"x\": 0, \"y\": 188, \"text\": \"\\\"肺\\\"\\\\ 经\"" +
                                  state);
    }

    void writesOneJsonObjectPerOperation() {
        QFETCH(int, kind);
        QFETCH(QByteArray, expected);
        RecordingSurface rec;
        rec.setPen(ChartColour::Red, PenStyle::DashDotDot, 3);
        rec.setBrush(ChartColour::Green, BrushStyle::ForwardDiagonal);
        rec.setFontColor(ChartColour::Navy);
        switch (kind) {
        case 0:
            rec.line(1, 2, 3, 4);
            break;
        case 1:
            rec.rectangle(5, 6, 7, 8);
            break;
        case 2:
            rec.ellipse(-1, -2, 3, 4);
            break;
        case 3:
            rec.polygon({{8, 17}, {0, 1}, {-8, 17}});
            break;
        default:
            rec.textOut(0, 188, u"\"肺\"\\ 经"_s);
        }
        const QByteArray lines = opsToJsonLines(rec.ops());
        QCOMPARE(lines, expected + '\n');
        // Each line is valid JSON on its own.
        QJsonParseError error;
        QJsonDocument::fromJson(lines.trimmed(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
    }

    // A hatched fill draws only its lines in the brush colour; the background
    // shows between them. The three patterns run in different directions.
    void hatchesLeaveBackgroundBetweenLines_data() {
        QTest::addColumn<BrushStyle>("style");
        QTest::addColumn<bool>("rising");
        QTest::addColumn<bool>("falling");
        QTest::newRow("cross") << BrushStyle::DiagonalCross << true << true;
        QTest::newRow("back diagonal") << BrushStyle::BackDiagonal << true << false;
        QTest::newRow("forward diagonal") << BrushStyle::ForwardDiagonal << false << true;
    }

    void hatchesLeaveBackgroundBetweenLines() {
        QFETCH(BrushStyle, style);
        QFETCH(bool, rising);
        QFETCH(bool, falling);
        const QImage image = paint([&](DrawingSurface &s) {
            s.setPenStyle(PenStyle::None);
            s.setBrush(ChartColour::Red, style);
            s.rectangle(0, 0, 32, 32);
        });
        const int red = count(image, ChartColour::Red, QRect(0, 0, 32, 32));
        QVERIFY(red > 32);
        QVERIFY(count(image, Background, QRect(0, 0, 32, 32)) > red);
        // Follow a red pixel in the middle along both diagonals.
        int risingRun = 0;
        int fallingRun = 0;
        for (int y = 8; y < 24; ++y) {
            for (int x = 8; x < 24; ++x) {
                if (image.pixel(x, y) != ChartColour::Red.rgb())
                    continue;
                risingRun += image.pixel(x + 1, y - 1) == ChartColour::Red.rgb();
                fallingRun += image.pixel(x + 1, y + 1) == ChartColour::Red.rgb();
            }
        }
        QCOMPARE(risingRun > 10, rising);
        QCOMPARE(fallingRun > 10, falling);
        // Nothing outside the rectangle.
        QCOMPARE(count(image, ChartColour::Red, QRect(32, 0, 8, 40)), 0);
    }

    // Hatch lines keep the same distance on paper at any printer resolution, so the
    // preview, a PDF and the printed sheet show the same pattern.
    void hatchSpacingIsPhysical_data() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("300 dpi") << 300;
        QTest::newRow("600 dpi") << 600;
        QTest::newRow("1200 dpi") << 1200;
    }

    void hatchSpacingIsPhysical() {
        QFETCH(int, dpi);
        const int side = dpi / 2; // half an inch
        QImage image = blankImage(side, side);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        QPainter painter(&image);
        PainterSurface surface(painter, PainterSurface::screenFont());
        surface.setPenStyle(PenStyle::None);
        surface.setBrush(ChartColour::Black, BrushStyle::BackDiagonal);
        surface.rectangle(0, 0, side, side);
        painter.end();
        // Along the middle row: count the lines and measure one line's width.
        int lines = 0;
        int inked = 0;
        bool inLine = false;
        for (int x = 0; x < side; ++x) {
            const bool black = image.pixel(x, side / 2) == ChartColour::Black.rgb();
            lines += black && !inLine;
            inked += black;
            inLine = black;
        }
        const double mmAcross = side * 25.4 / dpi;
        const double periodMm = mmAcross / lines;
        QVERIFY2(periodMm > 0.85 && periodMm < 1.15, qPrintable(QString::number(periodMm)));
        // Lines about 0.2 mm thick (measured across a 45 degree line: 0.28 mm).
        const double lineMm = inked * 25.4 / dpi / lines;
        QVERIFY2(lineMm > 0.15 && lineMm < 0.4, qPrintable(QString::number(lineMm)));
    }

    // A rectangle covers the pixels from its first corner up to but not including
    // the second, whichever order the corners come in.
    void rectangleCoversItsCorners_data() {
        QTest::addColumn<QRect>("corners");
        QTest::addColumn<bool>("outlined");
        QTest::newRow("outlined") << QRect(QPoint(5, 6), QPoint(15, 26)) << true;
        QTest::newRow("outlined, corners reversed") << QRect(QPoint(15, 26), QPoint(5, 6)) << true;
        QTest::newRow("filled only") << QRect(QPoint(5, 6), QPoint(15, 26)) << false;
    }

    void rectangleCoversItsCorners() {
        QFETCH(QRect, corners);
        QFETCH(bool, outlined);
        const QImage image = paint([&](DrawingSurface &s) {
            s.setPen(ChartColour::Black, outlined ? PenStyle::Solid : PenStyle::None, 1);
            s.setBrush(ChartColour::Green, BrushStyle::Solid);
            s.rectangle(corners.left(), corners.top(), corners.right(), corners.bottom());
        });
        const QColor edge = outlined ? ChartColour::Black : ChartColour::Green;
        QCOMPARE(QColor(image.pixel(5, 6)), edge);
        QCOMPARE(QColor(image.pixel(14, 25)), edge);
        QCOMPARE(QColor(image.pixel(10, 15)), ChartColour::Green);
        QCOMPARE(QColor(image.pixel(15, 15)), Background);
        QCOMPARE(QColor(image.pixel(10, 26)), Background);
        QCOMPARE(count(image, edge) + (outlined ? count(image, ChartColour::Green) : 0), 10 * 20);
    }

    void linesFollowPenWidthAndStyle_data() {
        QTest::addColumn<PenStyle>("style");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("minPixels");
        QTest::addColumn<int>("maxPixels");
        QTest::newRow("solid 1") << PenStyle::Solid << 1 << 30 << 30;
        QTest::newRow("solid 3") << PenStyle::Solid << 3 << 90 << 96;
        QTest::newRow("dotted 1") << PenStyle::Dotted << 1 << 8 << 20;
        QTest::newRow("none") << PenStyle::None << 1 << 0 << 0;
    }

    void linesFollowPenWidthAndStyle() {
        QFETCH(PenStyle, style);
        QFETCH(int, width);
        QFETCH(int, minPixels);
        QFETCH(int, maxPixels);
        const QImage image = paint([&](DrawingSurface &s) {
            s.setPen(ChartColour::Navy, style, width);
            s.line(5, 20, 35, 20);
        });
        const int n = count(image, ChartColour::Navy);
        QVERIFY2(n >= minPixels && n <= maxPixels, qPrintable(QString::number(n)));
    }

    // Text is placed by its top-left corner and leaves the background around its glyphs.
    void textHangsBelowItsPointWithoutBackground() {
        const QImage image = paint(
            [&](DrawingSurface &s) {
                s.setBrush(ChartColour::Yellow, BrushStyle::Solid);
                s.text(10, 20, ChartColour::Blue, u"Feet 足"_s);
            },
            100, 40);
        QVERIFY(count(image, ChartColour::Blue, QRect(10, 20, 90, 13)) > 10);
        QCOMPARE(count(image, ChartColour::Blue, QRect(0, 0, 100, 19)), 0);
        QCOMPARE(count(image, ChartColour::Yellow), 0);
    }

    void polygonAndEllipseAreFilled() {
        const QImage image = paint([&](DrawingSurface &s) {
            s.setPenStyle(PenStyle::None);
            s.setBrush(ChartColour::Red, BrushStyle::Solid);
            s.polygon({{18, 17}, {10, 1}, {2, 17}});
            s.setBrushColor(ChartColour::Green);
            s.ellipse(20, 20, 40, 40);
        });
        QCOMPARE(QColor(image.pixel(10, 12)), ChartColour::Red);
        QCOMPARE(QColor(image.pixel(3, 3)), Background);
        QCOMPARE(QColor(image.pixel(30, 30)), ChartColour::Green);
        QCOMPARE(QColor(image.pixel(21, 21)), Background);
    }
};

QTEST_MAIN(TestDrawingSurface)
#include "test_drawingsurface.moc"
