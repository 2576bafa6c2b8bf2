#include "compare/comparisonreport.h"

#include "charts/chartcolours.h"
#include "charts/drawingsurface.h"
#include "charts/reportwrap.h"
#include "core/daycount.h"
#include "core/numberformat.h"

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

// The cursor's page and the report's placing of texts in millimetres.
class Cursor {
public:
    explicit Cursor(ReportPage &on)
        : page(on) {}

    void text(double xMm, const QColor &colour, const QString &text) { at(page.mm(xMm), colour, text); }
    void at(int x, const QColor &colour, const QString &text) { page.text(x, page.y(), colour, text); }
    void centred(const QColor &colour, const QString &text) { page.centredText(page.y(), colour, text); }
    // y += mm(extraMm) + LH
    void advance(double extraMm = 0) { page.advance(page.mm(extraMm) + page.lineHeight()); }

    ReportPage &page;
};

QString reportTitle(ComparisonKind kind) {
    return kind == ComparisonKind::TwoRecord ? u"O.R.L.U. 能量比对分析报表"_s
                                             : u"O.R.L.U. 多重能量比对分析报表"_s;
}

QString chartTitle(ComparisonKind kind) {
    return kind == ComparisonKind::TwoRecord ? u"能量比对图"_s : u"多重能量比对图"_s;
}

void printHeader(Cursor &c, ComparisonKind kind, const ComparisonReportHeader &header) {
    ReportPage &page = c.page;
    // The page number line, as on the analysis report.
    page.setFontSize(10);
    page.printPageNumber();
    page.setFontSize(14);
    c.centred(C::Black, reportTitle(kind));
    c.advance(4);
    page.setFontSize(12);
    c.centred(C::Blue, header.organisation);
    c.advance();
    c.centred(C::Blue, header.department);
    c.advance(3);
    page.setFontSize(10);
    c.text(10, C::Black,
           u"打印时间: "_s + shortDate(header.printedAt.date()) + u", "_s +
               shortTime(header.printedAt.time()));
    c.advance();
    DrawingSurface &s = page.surface();
    s.setPen(C::Black, PenStyle::Solid, page.mm(1) / 5);
    s.line(page.mm(3), page.y(), page.printWidth() - page.mm(2), page.y());
    c.advance();
}

// The two rows of a record; the cursor ends on the second row.
void printRecordRows(Cursor &c, const PrintedRecord &r) {
    c.text(10, C::Black, u"编号:  "_s + r.subjectNumber);
    c.text(60, C::Black, u"姓名:  "_s + r.subjectName);
    c.text(115, C::Black, u"体能:  "_s + formatFixed(r.energyLevel, 5, 2));
    const QString potential = u"测量电位:  "_s;
    c.text(160, C::Black, potential);
    const int x = c.page.mm(160) + c.page.textWidth(potential);
    if (r.highPotential)
        c.at(x, C::Red, u"高电位"_s);
    else
        c.at(x, C::Green, u"标准电位"_s);
    c.advance();
    c.text(10, C::Black, u"测量日期:  "_s + shortDate(dateOfDayCount(r.measuredAt)));
    c.text(60, C::Black, u"测量时间:  "_s + shortTime(fromDayCount(r.measuredAt).time()));
    if (!r.caveats.isEmpty()) {
        c.advance();
        c.text(10, C::Red, r.caveats);
    }
}

void printSlots(Cursor &c, const QList<PrintedRecord> &records) {
    const QStringList headings{u"1. 原始资料"_s, u"2. 比对数据"_s};
    for (qsizetype i = 0; i < records.size() && i < headings.size(); ++i) {
        if (i > 0)
            c.advance(6);
        c.text(10, C::Blue, headings[i]);
        c.advance(3);
        printRecordRows(c, records[i]);
    }
}

// Under the records, set off from them by a little room; the cursor ends on the last line.
void printNotes(Cursor &c, const QStringList &notes) {
    double room = 3;
    for (const QString &note : notes) {
        for (const QString &line : wrapReportText(note, 10)) {
            c.advance(room);
            room = 0;
            c.text(10, C::Black, line);
        }
    }
}

void printEntries(Cursor &c, const QList<PrintedRecord> &records) {
    for (qsizetype i = 0; i < records.size(); ++i) {
        c.text(5, C::Blue, QString::number(i + 1) + u": "_s);
        printRecordRows(c, records[i]);
        c.advance();
    }
}

// The chart's title at the cursor, the chart three lines below it.
void printChart(Cursor &c, ComparisonKind kind, const ComparisonChart &chart) {
    ReportPage &page = c.page;
    c.centred(C::Blue, chartTitle(kind));
    const int top = page.y() + 3 * page.lineHeight();
    const BandOwnerMark mark =
        kind == ComparisonKind::TwoRecord ? BandOwnerMark::CrossBefore : BandOwnerMark::RedNumber;
    drawComparisonChart(page.surface(), ComparisonFrame::printed(page.dpi(), top, mark, page.singleColour()),
                        chart);
}

} // namespace

ReportOutcome produceComparisonReport(DrawingSurface &surface, const PageGeometry &geometry,
                                      const ComparisonPrintout &printout,
                                      const ComparisonReportHeader &header,
                                      const std::function<bool()> &aborted) {
    ReportPage page(surface, geometry, header.singleColour, aborted);
    if (page.aborted())
        return ReportOutcome::Aborted;
    page.begin(10);
    Cursor c(page);
    printHeader(c, printout.kind, header);
    if (printout.kind == ComparisonKind::TwoRecord)
        printSlots(c, printout.records);
    else
        printEntries(c, printout.records);
    printNotes(c, printout.notes);
    if (page.aborted())
        return ReportOutcome::Aborted;

    if (std::any_of(printout.records.begin(), printout.records.end(),
                    [](const PrintedRecord &r) { return !r.caveats.isEmpty(); })) {
        c.advance(4);
        c.text(10, C::Black, comparisonMarksLegend());
    }
    c.advance(10);
    printChart(c, printout.kind, printout.chart);
    return ReportOutcome::Finished;
}

ReportOutcome produceComparisonChartPage(DrawingSurface &surface, const PageGeometry &geometry,
                                         const ComparisonChart &chart, bool singleColour) {
    ReportPage page(surface, geometry, singleColour);
    page.begin(10);
    Cursor c(page);
    printChart(c, ComparisonKind::MultiRecord, chart);
    return ReportOutcome::Finished;
}

ReportJob comparisonChartJob(const ComparisonChart &chart, bool singleColour) {
    return {comparisonJobTitle(ComparisonKind::MultiRecord), u"比对图"_s,
            [chart, singleColour](DrawingSurface &surface, const PageGeometry &geometry,
                                  const std::function<bool()> &) {
                return produceComparisonChartPage(surface, geometry, chart, singleColour);
            }};
}

ReportJob comparisonReportJob(const ComparisonPrintout &printout, const ComparisonReportHeader &header) {
    return {comparisonJobTitle(printout.kind), u"比对报表"_s,
            [printout, header](DrawingSurface &surface, const PageGeometry &geometry,
                               const std::function<bool()> &aborted) {
                return produceComparisonReport(surface, geometry, printout, header, aborted);
            },
            QString(), header.organisation};
}

} // namespace orlu
