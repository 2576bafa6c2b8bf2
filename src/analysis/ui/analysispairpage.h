#pragma once

#include <QWidget>

#include <array>

class QLabel;

namespace orlu {

struct AnalysisResult;
class NeedleGauge;

// Page "表里对应": the six interior-exterior pairs, hand pairs left and foot
// pairs right, each with its two meridian means, the difference, the verdict
// and a gauge.
class AnalysisPairPage : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisPairPage(QWidget *parent = nullptr);

    void showAnalysis(const AnalysisResult &result);

private:
    struct PairRow {
        QLabel *yinMean = nullptr;
        QLabel *yangMean = nullptr;
        QLabel *difference = nullptr;
        QLabel *text = nullptr;
        NeedleGauge *gauge = nullptr;
    };

    QWidget *createPairBlock(int pair);

    std::array<PairRow, 6> m_rows;
};

} // namespace orlu
