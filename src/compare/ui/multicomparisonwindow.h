#pragma once

#include "compare/comparisoncurves.h"
#include "compare/ui/comparisonwindowparts.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QListWidget;

namespace orlu {

class ComparisonChartArea;
class RecordDetailBlock;

// The multi-record comparison: every entry of the program's comparison set
// as a curve, with the details and the band of the entry picked in the record list.
class MultiComparisonWindow : public QDialog {
    Q_OBJECT
public:
    // Runs the selection window over `parent`, which changes the set.
    using SelectionOpener = std::function<void(QWidget *parent)>;

    MultiComparisonWindow(ComparisonSet &set, SelectionOpener openSelection, ComparisonPrinting printing,
                          QWidget *parent = nullptr);

    // The entry (0-based) whose row is picked in the record list.
    std::optional<int> selectedEntry() const { return m_selected; }
    ComparisonPrintout printout() const;

private:
    void loadClicked();
    void printClicked();
    void rowClicked(int row);
    // The list, the status text, an empty detail block and the chart without band.
    void rebuild();
    void redraw();
    // What the status line says while no print job has a word to say.
    QString statusHint() const;

    ComparisonSet &m_set;
    SelectionOpener m_openSelection;
    ComparisonPrinting m_printing;
    std::optional<int> m_selected;

    QListWidget *m_recordList = nullptr;
    ComparisonChartArea *m_chart = nullptr;
    RecordDetailBlock *m_detail = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace orlu
