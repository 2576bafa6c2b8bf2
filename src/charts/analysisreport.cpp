// The printed analysis report: the order of its sections, the header, the
// subject block, the measurement table, the body-energy section and the
// printed chart blocks.
#include "charts/analysisreport.h"

#include "analysis/analysis.h"
#include "core/channels.h"
#include "core/daycount.h"
#include "core/numberformat.h"
#include "quality/readingcaveats.h"
#include "charts/chartcatalogue.h"
#include "charts/chartcolours.h"
#include "charts/chartframe.h"
#include "charts/charts.h"
#include "charts/drawingsurface.h"
#include "charts/reportwrap.h"
#include "core/currentmeasurement.h"
#include "quality/verdicts.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

// Option position of each section, in printing order; chart sections carry their chart selection.
struct SectionEntry {
    PrintOption option;
    int chart; // 0 for a text section
};
constexpr std::array<SectionEntry, 15> Sections{{
    {PrintOption::MeasurementData, 0},
    {PrintOption::ExcessDeficiencyBars, 1},
    {PrintOption::ExcessDeficiencyCurve, 2},
    {PrintOption::YinYangChart, 3},
    {PrintOption::QiBloodChart, 4},
    {PrintOption::GeneratingCycleChart, 5},
    {PrintOption::ControllingCycleChart, 6},
    {PrintOption::ConductanceChart, 8},
    {PrintOption::AutonomicBalanceChart, 9},
    {PrintOption::BodyEnergyState, 0},
    {PrintOption::SingleMeridianVerdict, 0},
    {PrintOption::TreatmentRecord, 0},
    {PrintOption::PrescriptionPoints, 0},
    {PrintOption::DietAdvice, 0},
    {PrintOption::ExpertCourses, 0},
}};

QString longTime(const QTime &t) {
    // The long form names the time zone; a measurement time on paper does not.
    QString format = dateTimeLocale().timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return dateTimeLocale().toString(t, format.simplified());
}

void printTextSection(ReportPage &page, const AnalysisReportInput &input, int section) {
    switch (Sections[static_cast<std::size_t>(section - 1)].option) {
    case PrintOption::MeasurementData:
        printMeasurementTable(page, input);
        break;
    case PrintOption::BodyEnergyState:
        printBodyEnergySection(page, input);
        break;
    case PrintOption::SingleMeridianVerdict:
        printDifferentiationSection(page, input);
        break;
    case PrintOption::TreatmentRecord:
        printTreatmentRecordSection(page, input);
        break;
    case PrintOption::PrescriptionPoints:
        printPrescriptionSection(page, input);
        break;
    case PrintOption::DietAdvice:
        printDietSection(page, input);
        break;
    case PrintOption::ExpertCourses:
        printCourseSection(page, input);
        break;
    default:
        break;
    }
}

// The printed form of a verdict uses the full-width comma.
QString printedVerdict(const StateIndicator &state) {
    QString text = state.verdictText;
    return text.replace(u',', u'，');
}

QColor verdictInk(const StateIndicator &state) {
    const int code = state.code.value_or(0);
    const int level = state.item == StateItem::Autonomic ? code : std::abs(code);
    if (level >= 3)
        return C::Red;
    if (level == 2)
        return C::Olive;
    return C::Green;
}

} // namespace

QString analysisReportJobTitle() {
    return u"O.R.L.U 分析资料."_s;
}

PrintOption reportSectionOption(int section) {
    return Sections[static_cast<std::size_t>(section - 1)].option;
}

PrintOption chartPrintOption(int selection) {
    const auto it = std::find_if(Sections.begin(), Sections.end(),
                                 [selection](const SectionEntry &e) { return e.chart == selection; });
    Q_ASSERT(it != Sections.end());
    return it->option;
}

ReportOutcome produceAnalysisReport(DrawingSurface &surface, const PageGeometry &geometry,
                                    const AnalysisReportInput &input, std::function<bool()> aborted) {
    ReportPage page(surface, geometry, !input.options.at(PrintOption::Colour), std::move(aborted));
    page.begin(input.options.at(PrintOption::SmallType) ? 8 : 10);
    surface.setBrushStyle(BrushStyle::None);
    if (!page.aborted()) {
        printReportHeader(page, input);
        printSubjectBlock(page, input);
    }
    for (int section = 1; section <= static_cast<int>(Sections.size()); ++section) {
        if (page.aborted())
            return ReportOutcome::Aborted;
        const SectionEntry &entry = Sections[static_cast<std::size_t>(section - 1)];
        if (!input.options.at(entry.option))
            continue;
        if (entry.chart)
            printChartSection(page, input, entry.chart);
        else
            printTextSection(page, input, section);
    }
    return page.aborted() ? ReportOutcome::Aborted : ReportOutcome::Finished;
}

void printReportHeader(ReportPage &page, const AnalysisReportInput &input) {
    DrawingSurface &s = page.surface();
    const int r = page.reportSize();
    const int lh = page.lineHeight();
    s.setBrushStyle(BrushStyle::None);
    page.setFontSize(r);
    page.printPageNumber();

    const QString title =
        input.reportTitle.trimmed().isEmpty() ? u"O.R.L.U.经络能量分析仪分析报表"_s : input.reportTitle;
    page.setFontSize(r + 4);
    page.centredText(page.y(), C::Black, title);
    page.advance(page.mm(4) + lh);

    page.setFontSize(r + 2);
    page.centredText(page.y(), C::Blue, input.organisation);
    page.advance(lh);
    page.centredText(page.y(), C::Blue, input.department);

    page.setFontSize(r);
    const double measuredAt = input.measurement ? input.measurement->measuredAt : 0;
    const QDateTime when = fromDayCount(measuredAt);
    const QString date = u"测量日期: "_s + (measuredAt > 0 ? shortDate(when.date()) : QString());
    const int dateX = page.printWidth() - page.textWidth(date) - page.mm(10);
    page.text(dateX, page.y(), C::Black, date);
    page.advance(lh);
    page.text(dateX, page.y(), C::Black,
              u"测量时间: "_s + (measuredAt > 0 ? longTime(when.time()) : QString()));
    page.text(page.mm(10), page.y(), C::Red, u"Quorix ORLU Version: 5"_s);
    page.advance(lh);

    s.setPen(page.ink(C::Black), PenStyle::Solid, page.mm(1) / 5);
    s.line(page.mm(3), page.y(), page.printWidth() - page.mm(2), page.y());
    page.advance(lh);
}

void printSubjectBlock(ReportPage &page, const AnalysisReportInput &input) {
    const Subject subject = input.measurement ? input.measurement->subject : Subject();
    page.surface().setBrushStyle(BrushStyle::None);
    page.setFontSize(page.reportSize());
    // Birth date and age only for a birth date that is given.
    const bool born = birthDateGiven(subject.birthDate);
    const int y1 = page.y();
    page.text(page.mm(20), y1, C::Black, u"编号:  "_s + subject.number);
    page.text(page.mm(70), y1, C::Black, u"姓名:  "_s + subject.name);
    page.text(page.mm(115), y1, C::Black, u"性别:"_s);
    const int sexX = page.mm(115) + page.textWidth(u"性别: "_s);
    if (subject.male)
        page.text(sexX, y1, C::Green, u"男 性"_s);
    else
        page.text(sexX, y1, C::Red, u"女 性"_s);
    page.text(page.mm(160), y1, C::Black,
              u"生日:  "_s + (born ? shortDate(dateOfDayCount(subject.birthDate)) : QString()));
    page.advance(page.mm(3) + page.lineHeight());

    const int y2 = page.y();
    page.text(page.mm(20), y2, C::Black, u"地址:  "_s + subject.address);
    page.text(page.mm(115), y2, C::Black, u"电话:  "_s + subject.telephone);
    page.text(page.mm(160), y2, C::Black,
              u"年龄:  "_s + (born ? formatInt(ageInYears(subject.birthDate, input.today), 3) : QString()));
    page.advance(page.lineHeight());
}

void printMeasurementTable(ReportPage &page, const AnalysisReportInput &input) {
    DrawingSurface &s = page.surface();
    const CurrentMeasurement empty;
    const CurrentMeasurement &m = input.measurement ? *input.measurement : empty;
    const int lh = page.lineHeight();

    page.advance(lh);
    page.text(page.mm(20), page.y(), C::Black, u"测量方式:"_s);
    const int modeX = page.mm(20) + page.textWidth(u"测量方式: "_s);
    if (m.highPotential)
        page.text(modeX, page.y(), C::Red, u"高电位量测值 (扩大测量法)"_s);
    else
        page.text(modeX, page.y(), C::Green, u"标准电位测值 (一般测量法)"_s);
    page.text(page.mm(178), page.y(), C::Black, u"单位:  uA"_s);
    page.advance(page.mm(2) + lh);
    const int t = page.y();

    const int left = page.mm(13);
    const int right = page.mm(193);
    s.setPen(page.ink(C::Black), PenStyle::Solid, page.mm(1) / 5);
    s.setBrushStyle(BrushStyle::None);
    s.rectangle(left, t, right, t + 2 * lh);
    const int cw = page.mm(180) / 12;

    s.setPenWidth(page.mm(1) / 8);
    page.text(page.mm(3), t + 3 * lh + lh / 2, C::Green, u"左　侧"_s);
    page.text(page.mm(3), t + 6 * lh + lh / 2, C::Green, u"右　侧"_s);
    s.line(left, t + 5 * lh + lh / 2, right, t + 5 * lh + lh / 2);

    const auto centred = [&](int columnX, int y, const QColor &colour, const QString &text) {
        page.text(columnX + std::max(0, cw - page.textWidth(text)) / 2, y, colour, text);
    };
    for (int i = 1; i <= 12; ++i) {
        const int x = left + (i - 1) * cw;
        // The hand/foot border is a double line.
        if (i == 7) {
            s.line(x - 5, t, x - 5, t + 2 * lh);
            s.line(x + 5, t, x + 5, t + 2 * lh);
        } else {
            s.line(x, t, x, t + 2 * lh);
        }
        QString label = meridian(i).gridLabel;
        centred(x, t + lh / 2, C::Blue, label.replace(u"  "_s, u"\u3000"_s));

        const int l = channelOf(i, Side::Left);
        const int rc = channelOf(i, Side::Right);
        centred(x, t + 3 * lh, C::Black,
                markedReading(formatFixed(m.value(l), 5, 1).trimmed(), isDoubtful(m.quality, l)));
        centred(x, t + 6 * lh, C::Black,
                markedReading(formatFixed(m.value(rc), 5, 1).trimmed(), isDoubtful(m.quality, rc)));
        // The hand columns' corrected values stand 1 mm further left.
        const int bracketX = i <= 6 ? page.mm(12) + (i - 1) * cw : x;
        centred(bracketX, t + 4 * lh, C::Maroon,
                u"["_s + formatFixed(m.correctedValue(l), 5, 1).trimmed() + u"]"_s);
        centred(bracketX, t + 7 * lh, C::Maroon,
                u"["_s + formatFixed(m.correctedValue(rc), 5, 1).trimmed() + u"]"_s);
    }
    page.setY(t + 8 * lh);
    // Only a measurement whose readings' quality is known says how sound they were.
    // Many doubtful points make a long summary: it wraps, never runs off the page.
    QString quality = qualitySummary(m.quality);
    if (!unsteadyChannels(m.quality).isEmpty())
        quality += u'\n' + doubtfulMarkLegend();
    for (const QString &line : wrapReportText(quality, page.reportSize())) {
        page.keepTogether(1);
        page.text(page.mm(20), page.y(), C::Black, line);
        page.advance(lh);
    }
}

void printBodyEnergySection(ReportPage &page, const AnalysisReportInput &input) {
    const AnalysisResult &r = *input.result;
    page.newLine();
    page.surface().setBrushStyle(BrushStyle::None);

    struct IndicatorLine {
        StateItem item;
        QString label;
        double labelMm;
        QString upper; // the ratio's parts, "上" / " / 下"
        QString lower;
    };
    const std::array<IndicatorLine, 5> lines{{
        {StateItem::BodyEnergy, u"身体能量:"_s, 37, {}, {}},
        {StateItem::Spirit, u"精神状态比值:"_s, 30, u"上"_s, u" / 下"_s},
        {StateItem::Musculoskeletal, u"左右肌骨系统:"_s, 30, u"左"_s, u" / 右"_s},
        {StateItem::Metabolism, u"新陈代谢功能:"_s, 30, u"阴"_s, u" / 阳"_s},
        {StateItem::Autonomic, u"自律神经平衡度:"_s, 26, u"高"_s, u" / 低"_s},
    }};
    for (const IndicatorLine &line : lines) {
        if (page.aborted())
            return;
        const StateIndicator &state = r.state(line.item);
        const int y = page.y();
        page.text(page.mm(line.labelMm), y, C::Black, line.label);
        if (!line.upper.isEmpty())
            page.text(page.mm(60), y, C::Blue,
                      line.upper + formatFixed(state.numerator, 6, 1) + line.lower +
                          formatFixed(state.denominator, 6, 1) + u" ="_s);
        page.text(page.mm(105), y, C::Blue, state.normalRange);
        page.text(page.mm(95), y, verdictInk(state), state.valueText);
        page.text(page.mm(125), y, C::Black, printedVerdict(state));
        page.newLine();
    }

    page.newLine();
    // The heading stays with its two rows.
    page.keepTogether(3);
    page.text(page.mm(15), page.y(), C::Black, u"表里经络平均能量对应:"_s);
    page.newLine();
    static const std::array<QString, PairCount> pairTexts{
        u"【 金 】肺  经 - 大肠经"_s, u"【相火】心包经 - 三焦经"_s, u"【君火】心  经 - 小肠经"_s,
        u"【 土 】脾  经 - 胃  经"_s, u"【 木 】肝  经 - 胆  经"_s, u"【 水 】肾  经 - 膀胱经"_s,
    };
    static const std::array<QColor, 3> statusColours{C::Green, C::Olive, C::Red};
    static const std::array<QString, 3> statusTexts{u"正  常"_s, u"尚  可"_s, u"表里不平衡"_s};
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            const std::size_t p = static_cast<std::size_t>(row * 3 + col);
            const int code = std::clamp(r.pairs[p].code, 0, 2);
            page.text(page.mm(20 + 60 * col), page.y(), C::Black, pairTexts[p]);
            page.text(page.mm(60 + 60 * col), page.y(), statusColours[static_cast<std::size_t>(code)],
                      statusTexts[static_cast<std::size_t>(code)]);
        }
        page.newLine();
    }
}

void printChartSection(ReportPage &page, const AnalysisReportInput &input, int selection) {
    page.chartBreak();
    const int lh = page.lineHeight();
    const ChartFrame frame = ChartFrame::paper(page.dpi(), page.y() + 3 * lh, lh, page.singleColour());
    page.advance(lh);
    page.setFontSize(page.reportSize());
    page.centredText(page.y(), C::Blue, chartEntry(selection)->title);
    page.advance(lh);
    drawChart(selection, page.surface(), *input.result, frame);
    // The controlling chart's block is 5 mm shorter.
    page.advance((selection == 6 ? page.mm(85) : page.mm(90)) + 2 * lh);
}

} // namespace orlu
