// The printed analysis report on a 600 dpi recording: sections, colours, texts and aborting.
#include "reportfixtures.h"

#include "charts/chartcolours.h"
#include "core/channels.h"

#include <QTest>

using namespace orlu;
using namespace orlu::testing;
using namespace Qt::StringLiterals;

namespace C = ChartColour;

namespace {

// Options with only the given positions on (and colour, position 17, unless `mono`).
QString optionsWith(std::initializer_list<int> positions, bool detailed = true, bool mono = false) {
    QString options(20, u'0');
    for (int p : positions)
        options[p - 1] = u'1';
    options[0] = detailed ? u'1' : u'0';
    options[16] = mono ? u'0' : u'1';
    return options;
}

bool isBlack(const QColor &c) {
    return c == C::Black;
}

// Every colour an operation shows: its font for a text, its pen and its fill otherwise.
QList<QColor> shownColours(const DrawOp &op) {
    if (op.kind == DrawOp::Kind::Page)
        return {};
    if (op.kind == DrawOp::Kind::Text)
        return {op.font};
    QList<QColor> colours;
    if (op.pen.style != PenStyle::None)
        colours.append(op.pen.color);
    if (op.kind != DrawOp::Kind::Line && op.brush.style != BrushStyle::None)
        colours.append(op.brush.color);
    return colours;
}

QStringList textsOf(const RecordingSurface &rec) {
    QStringList texts;
    for (const DrawOp &op : textOps(rec))
        texts.append(op.text);
    return texts;
}

} // namespace

class TestAnalysisReport : public QObject {
    Q_OBJECT

private slots:
    void headerCentresTheTitleOrItsFallback_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("printed");
        QTest::newRow("title") << u"诊所报表"_s << u"诊所报表"_s;
        QTest::newRow("blanks only") << u"   "_s << u"O.R.L.U.经络能量分析仪分析报表"_s;
        QTest::newRow("empty") << QString() << u"O.R.L.U.经络能量分析仪分析报表"_s;
    }
    void headerCentresTheTitleOrItsFallback() {
        QFETCH(QString, setting);
        QFETCH(QString, printed);
        ReportFixture f(variedReadings(), optionsWith({}));
        f.input.reportTitle = setting;
        const RecordingSurface rec = f.produce();
        const DrawOp *title = rec.findText(printed);
        QVERIFY(title);
        QCOMPARE(title->fontSize, 14.0);
        QCOMPARE(title->points[0].y(), 236);
        QCOMPARE(title->font, C::Black);
        QVERIFY(rec.findText(u"Quorix ORLU Version: 5"_s));
        QCOMPARE(rec.findText(u"Quorix ORLU Version: 5"_s)->font, C::Red);
        QCOMPARE(rec.findText(u"第   1 页"_s)->points[0].y(), 20);
    }

    void titleIsCentredByItsPrintedWidth() {
        ReportFixture f(variedReadings(), optionsWith({}));
        RecordingSurface rec = f.produce();
        const DrawOp *title = rec.findText(u"测试报表"_s);
        QVERIFY(title);
        rec.setFontSize(14);
        QCOMPARE(title->points[0].x(), 4800 / 2 - rec.textWidth(u"测试报表"_s) / 2);
    }

    void birthDateAndAgeNeedAGivenBirthDate_data() {
        QTest::addColumn<double>("birth");
        QTest::addColumn<bool>("shown");
        QTest::newRow("day 3999") << 3999.0 << false;
        QTest::newRow("none") << 0.0 << false;
        QTest::newRow("1982") << 30000.0 << true;
    }
    void birthDateAndAgeNeedAGivenBirthDate() {
        QFETCH(double, birth);
        QFETCH(bool, shown);
        ReportFixture f(variedReadings(), optionsWith({}));
        f.measurement.subject.birthDate = birth;
        const RecordingSurface rec = f.produce();
        QCOMPARE(rec.findText(u"生日:  "_s) == nullptr, shown);
        QCOMPARE(rec.findText(u"年龄:  "_s) == nullptr, shown);
        if (shown)
            QVERIFY(rec.findText(u"年龄:   44"_s)); // 2026 - 1982, "%3d"
    }

    void sexTextIsGreenForMenAndRedForWomen_data() {
        QTest::addColumn<bool>("male");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("male") << true << u"男 性"_s << C::Green;
        QTest::newRow("female") << false << u"女 性"_s << C::Red;
    }
    void sexTextIsGreenForMenAndRedForWomen() {
        QFETCH(bool, male);
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        ReportFixture f(variedReadings(), optionsWith({}));
        f.measurement.subject.male = male;
        const RecordingSurface rec = f.produce();
        QVERIFY(rec.findText(text));
        QCOMPARE(rec.findText(text)->font, colour);
    }

    void measurementTableHasValuesAndCorrectedValues() {
        ReportFixture f(variedReadings(), optionsWith({2}));
        const RecordingSurface rec = f.produce();
        QVERIFY(rec.findText(u"标准电位测值 (一般测量法)"_s));
        // Left lung 42.0 with its corrected value in brackets, in maroon.
        QVERIFY(rec.findText(u"42.0"_s));
        const QString bracket = u"["_s + QString::number(f.measurement.correctedValue(1), 'f', 1) + u"]"_s;
        QVERIFY(rec.findText(bracket));
        QCOMPARE(rec.findText(bracket)->font, C::Maroon);
        // The hand/foot border between columns 6 and 7 is a double line.
        const int cw = 4252 / 12; // mm(180) div 12
        const int x7 = 307 + 6 * cw;
        int verticals = 0;
        for (const DrawOp &op : rec.ops(DrawOp::Kind::Line)) {
            if (op.points[0].x() == op.points[1].x() &&
                (op.points[0].x() == x7 - 5 || op.points[0].x() == x7 + 5))
                ++verticals;
        }
        QCOMPARE(verticals, 2);
        // Readings of unknown quality print no quality line; known ones print it under the table.
        QVERIFY(!textsOf(rec).join(u'|').contains(u"测量质量"_s));
        for (int c = 1; c <= 24; ++c)
            f.measurement.setPointQuality(
                c, PointQuality{.verdict = c == 14 ? QualityVerdict::Noisy : QualityVerdict::Steady});
        QVERIFY(f.produce().findText(u"测量质量: 23/24 稳定；可疑: 左肝经 (不稳)"_s));
        // 21 doubtful points once ran off the page after 7 names: the summary wraps, and each
        // doubtful reading is marked.
        for (int c = 1; c <= 21; ++c)
            f.measurement.setPointQuality(c, PointQuality{.verdict = QualityVerdict::Drifting});
        const RecordingSurface doubtful = f.produce();
        const QString printed = textsOf(doubtful).join(QString());
        QVERIFY(printed.contains(sideMeridianName(21) + u" (漂移)"_s));
        QVERIFY(!textStartingWith(doubtful, u"测量质量"_s)->text.contains(sideMeridianName(21)));
        QVERIFY(doubtful.findText(u"42.0?"_s));
        QVERIFY(doubtful.findText(u"? 读数可疑"_s));
    }

    void bodyEnergyValueColourFollowsItsVerdict_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("code");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("energy 0") << 13 << 0 << C::Green;
        QTest::newRow("energy +1 green on paper") << 13 << 1 << C::Green;
        QTest::newRow("energy -2 olive") << 13 << -2 << C::Olive;
        QTest::newRow("energy +3 red") << 13 << 3 << C::Red;
        QTest::newRow("spirit -3 red") << 14 << -3 << C::Red;
        QTest::newRow("autonomic 1 green") << 17 << 1 << C::Green;
        QTest::newRow("autonomic 2 olive") << 17 << 2 << C::Olive;
        QTest::newRow("autonomic 3 red") << 17 << 3 << C::Red;
    }
    void bodyEnergyValueColourFollowsItsVerdict() {
        QFETCH(int, item);
        QFETCH(int, code);
        QFETCH(QColor, colour);
        ReportFixture f(variedReadings(), optionsWith({4}));
        StateIndicator &state = f.result.states[static_cast<std::size_t>(item - 13)];
        state.code = code;
        state.valueText = u"VALUE"_s;
        state.verdictText = verdictText(state.item, code);
        const RecordingSurface rec = f.produce();
        QVERIFY(rec.findText(u"VALUE"_s));
        QCOMPARE(rec.findText(u"VALUE"_s)->font, colour);
        // The printed verdict has the full-width comma.
        const DrawOp *verdict = rec.findText(verdictText(state.item, code).replace(u',', u'，'));
        QVERIFY(verdict);
        QCOMPARE(verdict->font, C::Black);
    }

    void singleColourLeavesOnlyBlack() {
        ReportFixture f(
            variedReadings(),
            optionsWith({2, 3, 8, 9, 10, 12, 13, 19, 20, 4, 5, 15, 11, 14, 16, 6, 7}, true, true));
        f.input.courses = {{u"疗程"_s, u"说明"_s}};
        f.input.treatmentRecord = u"记录"_s;
        const RecordingSurface rec = f.produce();
        QVERIFY(rec.ops().size() > 1000);
        for (const DrawOp &op : rec.ops()) {
            for (const QColor &c : shownColours(op))
                QVERIFY2(isBlack(c), qPrintable(QString::fromUtf8(opToJson(op))));
        }
    }

    void briefFormKeepsTheVerdictsOnly() {
        ReportFixture f(variedReadings(), optionsWith({5}, false));
        // The body-energy state's verdict: a wrapped first paragraph and a second one.
        const int energyKey = 13;
        const int code = f.result.verdict(StateItem::BodyEnergy).value_or(0);
        const TextColumn column = code == 0  ? TextColumn::DtMA2
                                  : code > 0 ? TextColumn::DtMH1
                                             : TextColumn::DtML1;
        f.texts.overrides[{energyKey, column}] = u"判定第一段\n第二段"_s;
        const RecordingSurface rec = f.produce();
        const QStringList texts = textsOf(rec);
        QVERIFY(texts.contains(u"[ 1 ]   身体能量状况"_s));
        QVERIFY(texts.contains(u"判定第一段"_s));
        QCOMPARE(rec.findText(u"判定第一段"_s)->font, C::Red);
        QVERIFY(!texts.contains(u"第二段"_s));
        QVERIFY(!texts.contains(u"DtMA1-13"_s)); // no general part in the brief form

        // A uniformly abnormal meridian keeps its whole verdict part, but no general part.
        const ListRow meridianRow = f.result.differentiationList.value(5);
        QVERIFY(meridianRow.key >= 1 && meridianRow.key <= 12);
        const bool excess = f.result.meridianState(meridianRow.key) == MeridianState::Excess;
        const QString verdict = (excess ? u"DtMH1-"_s : u"DtML1-"_s) + QString::number(meridianRow.key);
        const QString ryodoraku = (excess ? u"DtMH5-"_s : u"DtML5-"_s) + QString::number(meridianRow.key);
        if (f.result.meridianState(meridianRow.key) == MeridianState::Mixed)
            QSKIP("first abnormal meridian is mixed");
        QVERIFY(texts.contains(verdict));
        QVERIFY(!texts.contains(ryodoraku)); // "良导络辨证" is off
        QVERIFY(!texts.contains(u"DtMA2-"_s + QString::number(meridianRow.key)));
    }

    void detailedFormAddsGeneralTextsAndOptions() {
        ReportFixture f(variedReadings(), optionsWith({5, 15, 14, 16, 6}));
        const RecordingSurface rec = f.produce();
        const QStringList texts = textsOf(rec);
        QVERIFY(texts.contains(u"DtMA1-13"_s));
        QVERIFY(texts.contains(u"经络能量辩证  **本资料仅供学术研究参考**"_s));
        QVERIFY(texts.contains(u"医方建议  **本资料仅供学术研究参考**"_s));
        QVERIFY(texts.contains(u"养生食疗建议"_s));
        for (const ListRow &row : f.result.prescriptionList) {
            const bool excess = f.result.meridianState(row.key) == MeridianState::Excess;
            const QString key = QString::number(row.key);
            QVERIFY(texts.contains((excess ? u"DtMH3-"_s : u"DtML3-"_s) + key));
            QVERIFY(texts.contains((excess ? u"DtMH2-"_s : u"DtML2-"_s) + key));
        }
        QCOMPARE(rec.findText(u"经络能量辩证  **本资料仅供学术研究参考**"_s)->font, C::Blue);
    }

    void courseSectionListsCoursesInRed() {
        ReportFixture f(variedReadings(), optionsWith({7}));
        f.input.courses = {{u" 肺经虚证调理 "_s, u"第一行\n第二行"_s}, {u"睡眠"_s, QString()}};
        const RecordingSurface rec = f.produce();
        QVERIFY(rec.findText(u"[ 1 ]肺经虚证调理"_s));
        QCOMPARE(rec.findText(u"[ 1 ]肺经虚证调理"_s)->font, C::Red);
        QVERIFY(rec.findText(u"[ 2 ]睡眠"_s));
        QCOMPARE(rec.findText(u"第二行"_s)->font, C::Black);
    }

    void emptyListsPrintTheirTitleOnly() {
        std::array<double, 24> even;
        even.fill(50);
        ReportFixture f(even, optionsWith({6, 14, 7, 11}));
        const RecordingSurface rec = f.produce();
        const QStringList texts = textsOf(rec);
        QVERIFY(texts.contains(u"养生食疗建议"_s));
        QVERIFY(texts.contains(u"专家疗程建议"_s));
        QVERIFY(!textStartingWith(rec, u"[ 1 ]"_s));
        // Each empty section says so under its title.
        for (const QString &title : {u"养生食疗建议"_s, u"专家疗程建议"_s, u"症状描述与处置"_s})
            QCOMPARE(texts.value(texts.indexOf(title) + 1), u"（无）"_s);
    }

    // No page ends with a heading: a section title, a row heading or the pairs' heading
    // keeps at least two lines of its own below it, wherever the page breaks fall.
    void noPageEndsWithAHeading_data() {
        QTest::addColumn<QString>("options");
        QTest::newRow("detailed, small type") << QString(20, u'1');
        QTest::newRow("brief, normal type") << optionsWith({2, 4, 5, 6, 7, 11, 14}, false);
    }

    void noPageEndsWithAHeading() {
        QFETCH(QString, options);
        for (int recordLines = 0; recordLines < 60; recordLines += 3) {
            ReportFixture f(variedReadings(), options);
            f.input.courses = {{u"疗程"_s, u"说明"_s}};
            QStringList record(recordLines, u"记录"_s);
            f.input.treatmentRecord = record.join(u'\n');
            const RecordingSurface rec = f.produce();
            const int left = qRound(10 * Page600.dpi / 25.4); // mm(10)
            const DrawOp *last = nullptr;
            for (const DrawOp &op : rec.ops()) {
                if (op.kind == DrawOp::Kind::Page && last) {
                    const bool heading = last->text.startsWith(u"[ "_s) || last->text.endsWith(u"对应:"_s) ||
                                         (last->font == C::Blue && last->points[0].x() == left);
                    QVERIFY2(!heading, qPrintable(u"%1 record lines: page %2 ends with %3"_s.arg(recordLines)
                                                      .arg(op.page - 1)
                                                      .arg(last->text)));
                }
                if (op.kind == DrawOp::Kind::Text && !op.text.startsWith(u"第"_s))
                    last = &op;
            }
        }
    }

    void treatmentRecordWrapsAtEightPoint() {
        ReportFixture f(variedReadings(), optionsWith({11}));
        f.input.options.set(PrintOption::SmallType, false); // normal type: 10 point, the record still 8
        f.input.treatmentRecord = QString(120, u'记') + u"\n\n第三行"_s;
        const RecordingSurface rec = f.produce();
        QVERIFY(rec.findText(u"症状描述与处置"_s));
        QStringList recordLines;
        for (const DrawOp &op : textOps(rec)) {
            if (op.text.startsWith(u'记')) {
                recordLines.append(op.text);
                QCOMPARE(op.fontSize, 10.0); // drawn in the report font, wrapped as the 8-point box
            }
        }
        // 120 characters do not fit one line of the 600-pixel box; none is lost.
        QVERIFY(recordLines.size() >= 2);
        QCOMPARE(recordLines.join(QString()), QString(120, u'记'));
        const QStringList texts = textsOf(rec);
        QVERIFY(texts.contains(u"第三行"_s));
    }

    void sectionsComeInTheirFixedOrder() {
        ReportFixture f(variedReadings(), QString(20, u'1'));
        f.input.courses = {{u"疗程"_s, QString()}};
        const QStringList texts = textsOf(f.produce());
        const QStringList order{u"测量方式:"_s,
                                u"经络虚实分析图-长条"_s,
                                u"经络虚实分析图-曲线"_s,
                                u"经络阴阳分析图"_s,
                                u"经络气血分析图"_s,
                                u"经络五行相生分析图"_s,
                                u"经络五行相克分析图"_s,
                                u"良导络分析图"_s,
                                u"自律神经平衡图"_s,
                                u"身体能量:"_s,
                                u"经络能量辩证  **本资料仅供学术研究参考**"_s,
                                u"症状描述与处置"_s,
                                u"医方建议  **本资料仅供学术研究参考**"_s,
                                u"养生食疗建议"_s,
                                u"专家疗程建议"_s};
        qsizetype last = -1;
        for (const QString &text : order) {
            const qsizetype at = texts.indexOf(text);
            QVERIFY2(at > last, qPrintable(text));
            last = at;
        }
    }

    void abortAfterTheFirstSectionProducesNothingMore() {
        ReportFixture first(variedReadings(), optionsWith({2}));
        const qsizetype afterTable = first.produce().ops().size();

        ReportFixture f(variedReadings(), QString(20, u'1'));
        RecordingSurface rec(600);
        const ReportOutcome outcome =
            produceAnalysisReport(rec, Page600, f.input, [&] { return rec.ops().size() >= afterTable; });
        QCOMPARE(outcome, ReportOutcome::Aborted);
        QCOMPARE(rec.ops().size(), afterTable);
        QCOMPARE(rec.ops(DrawOp::Kind::Page).size(), 1);
    }

    void textsAndPagesCarryTheirSize() {
        ReportFixture f(variedReadings(), optionsWith({4}));
        f.input.options.set(PrintOption::SmallType, true); // small type: 8 point
        const RecordingSurface rec = f.produce();
        QCOMPARE(rec.findText(u"测试报表"_s)->fontSize, 12.0);
        QCOMPARE(rec.findText(u"机构"_s)->fontSize, 10.0);
        QCOMPARE(rec.findText(u"身体能量:"_s)->fontSize, 8.0);
        const QByteArray json = opsToJsonLines(rec.ops());
        QVERIFY(json.startsWith("{\"op\": \"page\", \"n\": 1}\n"));
        QVERIFY(json.contains("\"size\": 8}"));
    }
};

QTEST_MAIN(TestAnalysisReport)
#include "test_analysisreport.moc"
