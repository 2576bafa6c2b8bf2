// The text sections of the printed analysis report: differentiation, diet,
// prescription, expert courses and the treatment record, each a title and
// rows of wrapped reference texts.
#include "analysis/analysis.h"
#include "analysis/textblocks.h"
#include "charts/analysisreport.h"
#include "charts/chartcolours.h"
#include "charts/drawingsurface.h"
#include "charts/reportwrap.h"

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

namespace C = ChartColour;

// The wrapped lines of one part of a row's texts.
class PartLines {
public:
    PartLines(const AnalysisReportInput &input, double points)
        : m_texts(input.texts)
        , m_points(points) {}

    void add(int key, TextColumn column) {
        if (m_texts)
            addText(m_texts->text(key, column));
    }
    void addText(const QString &text) {
        if (m_lines.isEmpty() && !text.isEmpty())
            m_leadLines = wrapReportText(text.section(u'\n', 0, 0), m_points).size();
        m_lines += wrapReportText(text, m_points);
    }
    void addBlank() { m_lines.append(QString()); }
    const QStringList &lines() const { return m_lines; }
    // The display lines of the first paragraph, the verdict itself.
    qsizetype leadLines() const { return std::max<qsizetype>(1, m_leadLines); }

private:
    const ReferenceTexts *m_texts;
    double m_points;
    QStringList m_lines;
    qsizetype m_leadLines = 0;
};

void printGeneral(ReportPage &page, const QStringList &lines) {
    if (lines.isEmpty())
        return;
    page.surface().setFontColor(page.ink(C::Black));
    for (const QString &line : lines)
        page.printLine(line);
    page.newLine();
}

// The verdict's first line in red, the rest in black. The first line is the
// text's first paragraph with all its display lines, so a wrapped verdict is
// neither half red nor, in the brief form (`firstOnly`), cut off mid-sentence.
void printVerdict(ReportPage &page, const PartLines &part, bool firstOnly = false) {
    const QStringList &lines = part.lines();
    if (lines.isEmpty())
        return;
    const qsizetype lead = std::min(part.leadLines(), lines.size());
    page.surface().setFontColor(page.ink(C::Red));
    for (qsizetype i = 0; i < lead; ++i)
        page.printLine(lines[i]);
    page.surface().setFontColor(page.ink(C::Black));
    if (!firstOnly) {
        for (qsizetype i = lead; i < lines.size(); ++i)
            page.printLine(lines[i]);
    }
    page.newLine();
}

// A section title stays on one page with its empty line and the heading, empty line
// and first line of its first row.
constexpr int TitleKeptLines = 5;

void printTitle(ReportPage &page, const QString &title) {
    page.sectionBreak();
    page.keepTogether(TitleKeptLines);
    page.printLine(title, C::Blue);
    page.newLine();
}

// A section with nothing to print says so under its title.
void printNothing(ReportPage &page) {
    page.printLine(u"（无）"_s, C::Black);
    page.newLine();
}

void printRowHeading(ReportPage &page, int row, const QString &caption, const QColor &colour) {
    // The heading, its empty line and the first line of its text stay on one page.
    page.keepTogether(3);
    page.printLine(u"[ "_s + QString::number(row) + u" ]"_s + caption, colour);
    page.newLine();
}

bool detailed(const AnalysisReportInput &input) {
    return input.options.at(PrintOption::DetailedForm);
}

// A meridian's verdict texts apply only when both its channels lean the same way.
std::optional<bool> uniformExcess(const AnalysisResult &r, int m) {
    switch (r.meridianState(m)) {
    case MeridianState::Excess:
        return true;
    case MeridianState::Deficiency:
        return false;
    default:
        return std::nullopt;
    }
}

void printStateRow(ReportPage &page, const AnalysisReportInput &input, int key) {
    const AnalysisResult &r = *input.result;
    const double size = page.reportSize();
    PartLines general(input, size);
    if (detailed(input))
        general.add(key, TextColumn::DtMA1);
    if (key == static_cast<int>(StateItem::BodyEnergy) && r.verdict(StateItem::BodyEnergy) == -3) {
        general.addBlank();
        general.addText(lowEnergyLine());
    }
    PartLines verdict(input, size);
    if (const std::optional<int> code = r.state(static_cast<StateItem>(key)).code) {
        const TextColumn column = *code == 0  ? TextColumn::DtMA2
                                  : *code > 0 ? TextColumn::DtMH1
                                              : TextColumn::DtML1;
        verdict.add(key, column);
    }
    if (page.aborted())
        return;
    printGeneral(page, general.lines());
    printVerdict(page, verdict, !detailed(input));
}

void printMeridianRow(ReportPage &page, const AnalysisReportInput &input, int m) {
    const double size = page.reportSize();
    PartLines general(input, size);
    if (detailed(input)) {
        general.add(m, TextColumn::DtMA2);
        general.addBlank();
        general.add(m, TextColumn::DtMA1);
        general.addBlank();
    }
    PartLines verdict(input, size);
    if (const std::optional<bool> excess = uniformExcess(*input.result, m)) {
        verdict.add(m, *excess ? TextColumn::DtMH1 : TextColumn::DtML1);
        if (input.options.at(PrintOption::ConductanceVerdict)) {
            verdict.addBlank();
            verdict.add(m, *excess ? TextColumn::DtMH5 : TextColumn::DtML5);
        }
    }
    if (page.aborted())
        return;
    printGeneral(page, general.lines());
    printVerdict(page, verdict);
}

} // namespace

void printDifferentiationSection(ReportPage &page, const AnalysisReportInput &input) {
    printTitle(page, u"经络能量辩证  **本资料仅供学术研究参考**"_s);
    const QList<ListRow> &rows = input.result->differentiationList;
    if (rows.isEmpty())
        printNothing(page);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        printRowHeading(page, static_cast<int>(i + 1), rows[i].caption, C::Blue);
        if (rows[i].key > MeridianRecordCount)
            printStateRow(page, input, rows[i].key);
        else
            printMeridianRow(page, input, rows[i].key);
    }
}

void printDietSection(ReportPage &page, const AnalysisReportInput &input) {
    printTitle(page, u"养生食疗建议"_s);
    const QList<ListRow> &rows = input.result->dietList;
    if (rows.isEmpty())
        printNothing(page);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int m = rows[i].key;
        printRowHeading(page, static_cast<int>(i + 1), rows[i].caption, C::Blue);
        PartLines general(input, page.reportSize());
        general.add(m, TextColumn::DtMA3);
        PartLines verdict(input, page.reportSize());
        if (const std::optional<bool> excess = uniformExcess(*input.result, m); excess && detailed(input))
            verdict.add(m, *excess ? TextColumn::DtMH4 : TextColumn::DtML4);
        if (page.aborted())
            return;
        printGeneral(page, general.lines());
        printVerdict(page, verdict);
    }
}

void printPrescriptionSection(ReportPage &page, const AnalysisReportInput &input) {
    printTitle(page, u"医方建议  **本资料仅供学术研究参考**"_s);
    const QList<ListRow> &rows = input.result->prescriptionList;
    if (rows.isEmpty())
        printNothing(page);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int m = rows[i].key;
        printRowHeading(page, static_cast<int>(i + 1), rows[i].caption, C::Blue);
        PartLines verdict(input, page.reportSize());
        if (const std::optional<bool> excess = uniformExcess(*input.result, m)) {
            verdict.add(m, *excess ? TextColumn::DtMH3 : TextColumn::DtML3);
            if (input.options.at(PrintOption::Remedies)) {
                verdict.addBlank();
                verdict.add(m, *excess ? TextColumn::DtMH2 : TextColumn::DtML2);
            }
        }
        if (page.aborted())
            return;
        printVerdict(page, verdict);
    }
}

void printCourseSection(ReportPage &page, const AnalysisReportInput &input) {
    printTitle(page, u"专家疗程建议"_s);
    if (input.courses.isEmpty())
        printNothing(page);
    for (qsizetype i = 0; i < input.courses.size(); ++i) {
        const ReportCourse &course = input.courses[i];
        printRowHeading(page, static_cast<int>(i + 1), course.name.trimmed(), C::Red);
        if (!detailed(input))
            continue;
        PartLines description(input, page.reportSize());
        description.addText(course.description);
        printGeneral(page, description.lines());
    }
}

void printTreatmentRecordSection(ReportPage &page, const AnalysisReportInput &input) {
    printTitle(page, u"症状描述与处置"_s);
    if (page.aborted())
        return;
    // The record box wraps in 8 point whatever the report's size.
    PartLines record(input, 8);
    record.addText(input.treatmentRecord);
    if (input.treatmentRecord.trimmed().isEmpty())
        printNothing(page);
    else
        printGeneral(page, record.lines());
}

} // namespace orlu
