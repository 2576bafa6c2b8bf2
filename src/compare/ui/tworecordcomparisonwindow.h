#pragma once

#include "analysis/measurementscatter.h"
#include "compare/comparisoncurves.h"
#include "compare/comparisonprintout.h"
#include "compare/ui/comparisonwindowparts.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QToolButton;

namespace orlu {

class ComparisonChartArea;
class RecordDetailBlock;

// The two-record comparison: the current measurement against a stored one,
// loaded through the reading window, with the band of either.
class TwoRecordComparisonWindow : public QDialog {
    Q_OBJECT
public:
    // Runs the reading window over `parent` to fill `record`; its loaded flag tells whether
    // the operator loaded one.
    using ComparisonLoader = std::function<void(ComparisonRecord &record, QWidget *parent)>;

    TwoRecordComparisonWindow(const CurrentMeasurement &current, ComparisonLoader load,
                              ComparisonPrinting printing, QWidget *parent = nullptr);

    // The scatter of measuring that a change must exceed to count (the published
    // figures unless set).
    void setScatterModel(const ScatterModel &model);

    BandChoice band() const { return m_band; }
    const std::optional<ComparisonRecord> &comparison() const { return m_comparison; }
    // The printout "打  印" produces now.
    ComparisonPrintout printout() const;

private:
    void loadClicked();
    void printClicked();
    void bandChosen(BandChoice band);
    void redraw();
    void showChanges();

    ComparisonLoader m_load;
    ComparisonPrinting m_printing;
    ComparisonRecord m_original;
    std::optional<ComparisonRecord> m_comparison;
    BandChoice m_band = BandChoice::None;
    ScatterModel m_scatter;

    QToolButton *m_originalBandButton = nullptr;
    QToolButton *m_comparisonBandButton = nullptr;
    QToolButton *m_hideBandButton = nullptr;
    ComparisonChartArea *m_chart = nullptr;
    RecordDetailBlock *m_originalBlock = nullptr;
    RecordDetailBlock *m_comparisonBlock = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_changes = nullptr;
};

} // namespace orlu
