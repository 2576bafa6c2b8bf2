#include "trend/trendreport.h"

#include "charts/chartcolours.h"
#include "charts/drawingsurface.h"
#include "charts/reportwrap.h"
#include "trend/trendchart.h"
#include "core/daycount.h"
#include "core/numberformat.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

constexpr int ReportSize = 10;
constexpr int TableSize = 8;
// The chart block's height on paper.
constexpr double ChartMm = 150;
// The columns of a visit's line, in millimetres.
constexpr std::array<double, 9> Columns{10, 20, 58, 78, 96, 116, 136, 156, 178};

QColor verdictColour(const ReportPage &page, StateItem item, const std::optional<int> &code) {
    if (!code)
        return page.ink(C::Gray);
    const Rgb rgb = stateColour(item, *code);
    const QColor c(rgb.red, rgb.green, rgb.blue);
    // Yellow does not show on white paper.
    return page.ink(c == C::Yellow ? C::Olive : c);
}

void printHeader(ReportPage &page, const TrendSeries &series, const TrendReportHeader &header) {
    const int lh = page.lineHeight();
    page.setFontSize(ReportSize);
    page.printPageNumber();
    page.setFontSize(14);
    page.centredText(page.y(), C::Black, u"O.R.L.U. 能量趋势"_s);
    page.advance(page.mm(4) + lh);
    page.setFontSize(12);
    for (const QString &line : {header.organisation, header.department}) {
        if (!line.isEmpty()) {
            page.centredText(page.y(), page.ink(C::Blue), line);
            page.advance(lh);
        }
    }
    page.advance(page.mm(3));
    page.setFontSize(ReportSize);
    if (header.printedAt.isValid()) {
        page.text(page.mm(10), page.y(), C::Black,
                  u"打印时间: "_s + shortDate(header.printedAt.date()) + u", "_s +
                      shortTime(header.printedAt.time()));
        page.advance(lh);
    }
    const int y = page.y();
    page.text(page.mm(10), y, C::Black, u"编号:  "_s + series.subjectNumber);
    page.text(page.mm(60), y, C::Black, u"姓名:  "_s + series.subjectName);
    page.text(page.mm(110), y, C::Black, u"性别:"_s);
    page.text(page.mm(110) + page.textWidth(u"性别: "_s), y, page.ink(series.male ? C::Green : C::Red),
              series.male ? u"男 性"_s : u"女 性"_s);
    page.text(page.mm(150), y, C::Black, u"测量次数:  %1"_s.arg(series.visits.size()));
    page.advance(lh);
    DrawingSurface &s = page.surface();
    s.setPen(C::Black, PenStyle::Solid, std::max(1, page.mm(1) / 5));
    s.line(page.mm(3), page.y(), page.printWidth() - page.mm(2), page.y());
    page.advance(lh);
}

void printChart(ReportPage &page, const TrendSeries &series) {
    page.setFontSize(TableSize);
    TrendChartStyle style;
    style.scale = page.dpi() / 96.0;
    style.paper = true;
    style.singleColour = page.singleColour();
    const QRect block(page.mm(10), page.y(), page.printWidth() - page.mm(20), page.mm(ChartMm));
    drawTrendChart(page.surface(), series, block, -1, style);
    page.setY(block.bottom() + page.lineHeight());
    // What the ringed changes and the change of each visit are measured against.
    for (const QString &line : wrapReportText(series.scatter.explanation(), TableSize)) {
        page.text(page.mm(Columns[1]), page.y(), C::Black, line);
        page.advance(page.lineHeight());
    }
    page.advance(page.lineHeight() / 2);
}

void printTableHeader(ReportPage &page) {
    const QStringList titles{u"Index"_s,    u"测量日期"_s, u"测量方式"_s, u"身体能量"_s, u"精神状态"_s,
                             u"肌骨系统"_s, u"新陈代谢"_s, u"自律神经"_s, u"异常经络"_s};
    for (int i = 0; i < titles.size(); ++i)
        page.text(page.mm(Columns[static_cast<std::size_t>(i)]), page.y(), page.ink(C::Blue), titles[i]);
    page.advance(page.lineHeight());
}

void printVisit(ReportPage &page, int index, const TrendVisit &v, const std::optional<Change> &change) {
    const int y = page.y();
    const QDateTime when = fromDayCount(v.measuredAt);
    page.text(page.mm(Columns[0]), y, C::Black, QString::number(index + 1));
    page.text(page.mm(Columns[1]), y, C::Black, shortDate(when.date()) + u" "_s + shortTime(when.time()));
    page.text(page.mm(Columns[2]), y, page.ink(v.highPotential ? C::Maroon : C::Black),
              v.highPotential ? u"高电位"_s : u"标准"_s);
    page.text(page.mm(Columns[3]), y, verdictColour(page, StateItem::BodyEnergy, v.verdicts[0]),
              trendBodyEnergyText(v));
    for (int r = 0; r < TrendRatioCount; ++r) {
        const auto i = static_cast<std::size_t>(r);
        page.text(page.mm(Columns[i + 4]), y, verdictColour(page, trendRatioItem(r), v.verdicts[i + 1]),
                  v.ratios[i] ? formatFixed(*v.ratios[i], 5, 3).trimmed() : u"-"_s);
    }
    page.text(page.mm(Columns[8]), y, C::Black,
              v.caveats.incomplete() ? u"-"_s : QString::number(v.abnormalMeridians));
    page.advance(page.lineHeight());
    // The change of body energy and the verdicts that are not normal, in words.
    QStringList notes;
    if (const QString caveats = v.caveats.text(); !caveats.isEmpty())
        notes << caveats;
    if (change)
        notes << u"身体能量变化 "_s + changeDescription(*change, 2);
    for (std::size_t i = 0; i < v.verdicts.size(); ++i) {
        if (v.verdicts[i].value_or(0) != 0)
            notes << v.verdictTexts[i];
    }
    for (const QString &line : wrapReportText(notes.join(u"；"_s), TableSize)) {
        // A new page before a line that does not fit, so the last line leaves no empty page.
        page.keepTogether(1);
        if (page.aborted())
            return;
        page.text(page.mm(Columns[1]), page.y(), C::Black, line);
        page.advance(page.lineHeight());
    }
}

} // namespace

QString trendReportJobTitle() {
    return u"O.R.L.U 能量趋势."_s;
}

ReportOutcome produceTrendReport(DrawingSurface &surface, const PageGeometry &geometry,
                                 const TrendSeries &series, const TrendReportHeader &header,
                                 const std::function<bool()> &aborted) {
    ReportPage page(surface, geometry, header.singleColour, aborted);
    page.begin(ReportSize);
    surface.setBrushStyle(BrushStyle::None);
    if (page.aborted())
        return ReportOutcome::Aborted;
    printHeader(page, series, header);
    printChart(page, series);
    page.setFontSize(TableSize);
    printTableHeader(page);
    int titledPage = page.pageNumber();
    for (int i = 0; i < series.visits.size(); ++i) {
        // The values and a line of verdicts stay together, under the column titles.
        page.keepTogether(2);
        if (page.aborted())
            return ReportOutcome::Aborted;
        if (page.pageNumber() != titledPage) {
            printTableHeader(page);
            titledPage = page.pageNumber();
        }
        printVisit(page, i, series.visits[i], series.bodyEnergyChange(i));
    }
    return page.aborted() ? ReportOutcome::Aborted : ReportOutcome::Finished;
}

ReportJob trendReportJob(const TrendSeries &series, const TrendReportHeader &header) {
    return {trendReportJobTitle(), u"能量趋势"_s,
            [series, header](DrawingSurface &surface, const PageGeometry &geometry,
                             const std::function<bool()> &aborted) {
                return produceTrendReport(surface, geometry, series, header, aborted);
            },
            u"O.R.L.U. 能量趋势 受测者 "_s + series.subjectNumber, header.organisation};
}

} // namespace orlu
