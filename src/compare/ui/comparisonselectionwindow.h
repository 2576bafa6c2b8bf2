#pragma once

#include "compare/comparisonset.h"
#include "records/recordcontext.h"
#include "records/ui/recordlistwidgets.h"

class QTableWidget;
class QToolButton;

namespace orlu {

class RecordBrowser;

// The selection window of the multi-record comparison: browses the
// register as the reading window does and adds its measurements to, or removes
// entries from, the program's comparison set.
class ComparisonSelectionWindow : public FirstShowDialog {
    Q_OBJECT
public:
    ComparisonSelectionWindow(const RecordContext &context, ComparisonSet &set, QWidget *parent = nullptr);

    RecordBrowser &browser() { return *m_browser; }

private:
    void openAtCurrentSubject();
    void addClicked();
    void removeClicked();
    void setRowClicked(int row);
    void enterMeasurementList();
    // Writes every row of the set grid.
    void fillSetGrid();
    void selectSetRow(int row);
    int selectedSetRow() const;

    RecordContext m_context;
    ComparisonSet &m_set;
    RecordBrowser *m_browser = nullptr;
    QToolButton *m_addButton = nullptr;
    QToolButton *m_removeButton = nullptr;
    QTableWidget *m_setGrid = nullptr;
};

} // namespace orlu
