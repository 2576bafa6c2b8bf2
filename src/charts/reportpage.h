#pragma once

#include <QColor>
#include <QString>

#include <functional>

// The page model of the printed reports: millimetres to printer pixels, the
// print width, the line height, a running cursor and the page breaks with their
// page numbers. It draws only through a DrawingSurface, so the same report goes
// to a printer, a PDF writer or a recording.
namespace orlu {

class DrawingSurface;

enum class ReportOutcome { Finished, Aborted };

// The printable area of a page in printer pixels, and the printer's resolution.
struct PageGeometry {
    int dpi = 600;
    int printableWidth = 4800;
    int printableHeight = 6800;
};

class ReportPage {
public:
    // `aborted` is asked before every page, line and section; empty: never aborted.
    ReportPage(DrawingSurface &surface, const PageGeometry &geometry, bool singleColour,
               std::function<bool()> aborted = {});

    DrawingSurface &surface() { return m_surface; }
    int dpi() const { return m_geometry.dpi; }
    // x millimetres in printer pixels, a half to the even neighbour.
    int mm(double x) const;
    // The smaller of the printable width and 8 inches.
    int printWidth() const { return m_printWidth; }
    int printableHeight() const { return m_geometry.printableHeight; }
    // mm(1) + the height of "X" in the report font; set by begin().
    int lineHeight() const { return m_lineHeight; }
    int reportSize() const { return m_reportSize; }
    bool singleColour() const { return m_singleColour; }
    int pageNumber() const { return m_page; }

    // The top of the next line.
    int y() const { return m_y; }
    void setY(int y) { m_y = y; }
    void advance(int dy) { m_y += dy; }

    bool aborted() const { return m_aborted && m_aborted(); }
    // Black in single-colour mode, the colour itself otherwise.
    QColor ink(const QColor &colour) const;

    // Page 1 begins with the cursor at mm(10); the report font gets size R
    // (points) and the line height follows from it.
    void begin(int reportSize);
    void setFontSize(double points);
    // Text with its top-left corner at (x, y) in ink(colour).
    void text(int x, int y, const QColor &colour, const QString &text);
    // Text centred on the print width: x = PW div 2 - width div 2.
    void centredText(int y, const QColor &colour, const QString &text);
    int textWidth(const QString &text) const;
    // "第" + "%4d" + " 页" in black at the top right.
    void printPageNumber();

    // Y + LH; past the printable height - mm(15) a new page starts at mm(10).
    void newLine();
    // The text at (mm(10), Y) in the current font colour, then a new line.
    void printLine(const QString &text);
    void printLine(const QString &text, const QColor &colour);
    // A new page when fewer than five lines are left above the 5 mm bottom margin;
    // otherwise a new line.
    void sectionBreak();
    // A new page unless `lines` more lines fit above the bottom margin, so a
    // heading does not stand alone at the foot of a page.
    void keepTogether(int lines);
    // A new page when a printed chart block (mm(86) + 5 lines) would pass the
    // bottom margin; otherwise the cursor stays.
    void chartBreak();

private:
    // True when a new page was begun.
    bool breakBefore(int needed);
    // Unless aborted: the next page, the font colour black, its page number.
    void startNewPage();

    DrawingSurface &m_surface;
    PageGeometry m_geometry;
    bool m_singleColour = false;
    std::function<bool()> m_aborted;
    int m_printWidth = 0;
    int m_lineHeight = 0;
    int m_reportSize = 10;
    int m_y = 0;
    int m_page = 1;
};

// A whole report drawn from the top of page 1; once `aborted` answers true nothing
// more is drawn.
using ReportProducer = std::function<ReportOutcome(DrawingSurface &surface, const PageGeometry &geometry,
                                                   const std::function<bool()> &aborted)>;

// What a print job hands to the printing system: the job title, the report's name
// in failure messages and its producer.
struct ReportJob {
    QString title;
    QString name;
    ReportProducer produce;
    // The title a saved document carries, naming whom and when it is about; `title` when empty.
    QString documentTitle = {};
    // The practice or operator a saved document names as its author; none when empty.
    QString author = {};
    const QString &savedTitle() const { return documentTitle.isEmpty() ? title : documentTitle; }
};

} // namespace orlu
