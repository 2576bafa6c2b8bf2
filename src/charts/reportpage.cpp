#include "charts/reportpage.h"

#include "core/numberformat.h"
#include "charts/chartcolours.h"
#include "charts/drawingsurface.h"

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

ReportPage::ReportPage(DrawingSurface &surface, const PageGeometry &geometry, bool singleColour,
                       std::function<bool()> aborted)
    : m_surface(surface)
    , m_geometry(geometry)
    , m_singleColour(singleColour)
    , m_aborted(std::move(aborted))
    , m_printWidth(std::min(geometry.printableWidth, 8 * geometry.dpi)) {}

int ReportPage::mm(double x) const {
    return roundHalfEvenInt(m_geometry.dpi * x / 25.4);
}

QColor ReportPage::ink(const QColor &colour) const {
    return m_singleColour ? ChartColour::Black : colour;
}

void ReportPage::begin(int reportSize) {
    m_reportSize = reportSize;
    m_page = 1;
    m_y = mm(10);
    m_surface.newPage(1);
    setFontSize(reportSize);
    m_lineHeight = mm(1) + m_surface.textHeight(u"X"_s);
}

void ReportPage::setFontSize(double points) {
    m_surface.setFontSize(points);
}

void ReportPage::text(int x, int y, const QColor &colour, const QString &text) {
    m_surface.text(x, y, ink(colour), text);
}

void ReportPage::centredText(int y, const QColor &colour, const QString &text) {
    ReportPage::text(m_printWidth / 2 - textWidth(text) / 2, y, colour, text);
}

int ReportPage::textWidth(const QString &text) const {
    return m_surface.textWidth(text);
}

void ReportPage::printPageNumber() {
    const QString number = u"第"_s + formatInt(m_page, 4) + u" 页"_s;
    m_surface.text(m_printWidth - textWidth(number) - 20, 20, ChartColour::Black, number);
}

void ReportPage::startNewPage() {
    if (aborted())
        return;
    ++m_page;
    m_surface.newPage(m_page);
    m_surface.setFontColor(ChartColour::Black);
    printPageNumber();
}

void ReportPage::newLine() {
    m_y += m_lineHeight;
    if (m_y > m_geometry.printableHeight - mm(15)) {
        m_y = mm(10);
        startNewPage();
    }
}

void ReportPage::keepTogether(int lines) {
    if (m_y + (lines - 1) * m_lineHeight > m_geometry.printableHeight - mm(15)) {
        m_y = mm(10);
        startNewPage();
    }
}

void ReportPage::printLine(const QString &text) {
    if (!aborted())
        m_surface.textOut(mm(10), m_y, text);
    newLine();
}

void ReportPage::printLine(const QString &text, const QColor &colour) {
    m_surface.setFontColor(ink(colour));
    printLine(text);
}

bool ReportPage::breakBefore(int needed) {
    if (m_geometry.printableHeight - mm(5) >= m_y + needed)
        return false;
    m_y = mm(10);
    startNewPage();
    return true;
}

void ReportPage::sectionBreak() {
    if (!breakBefore(5 * m_lineHeight))
        newLine();
}

void ReportPage::chartBreak() {
    // A chart block begins with an empty line of its own.
    breakBefore(mm(86) + 5 * m_lineHeight);
}

} // namespace orlu
