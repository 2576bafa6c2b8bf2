#include "analysis/ui/analysispairpage.h"

#include "analysis/analysis.h"
#include "core/channels.h"
#include "analysis/ui/analysiswidgets.h"
#include "widgets/needlegauge.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// In the analysis's pair order LU-LI, PC-SJ, HT-SI, SP-ST, LR-GB, KI-BL; the
// one-character names hold four blanks.
struct PairCaption {
    QString element;
    QString yin;
    QString yang;
};
const std::array<PairCaption, 6> &pairCaptions() {
    static const std::array<PairCaption, 6> captions = [] {
        std::array<PairCaption, 6> c;
        for (std::size_t i = 0; i < c.size(); ++i) {
            const ElementColumn &pair = standardOrderPairs()[i];
            c[i] = {bracketedElementLabel(pair.element), meridianCaption(pair.yin, NameSpacing::FourBlanks),
                    meridianCaption(pair.yang, NameSpacing::FourBlanks)};
        }
        return c;
    }();
    return captions;
}

} // namespace

AnalysisPairPage::AnalysisPairPage(QWidget *parent)
    : QWidget(parent) {
    setObjectName(u"pairPage"_s);
    auto *group = new QGroupBox(u"能量气血对应表"_s, this);
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(6);
    const std::array<QString, 2> heads{u"上  焦"_s, u"下  焦"_s};
    for (int column = 0; column < 2; ++column) {
        QLabel *head = makeLabel(heads[static_cast<std::size_t>(column)], group);
        head->setAlignment(Qt::AlignCenter);
        head->setFrameStyle(QFrame::Panel | QFrame::Raised);
        QFont bold = head->font();
        bold.setBold(true);
        head->setFont(bold);
        head->setFixedHeight(head->sizeHint().height() + 6);
        grid->addWidget(head, 0, column);
        for (int i = 0; i < 3; ++i)
            grid->addWidget(createPairBlock(3 * column + i), i + 1, column);
    }
    for (int row = 1; row <= 3; ++row)
        grid->setRowStretch(row, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(group);
}

QWidget *AnalysisPairPage::createPairBlock(int pair) {
    const PairCaption &caption = pairCaptions()[static_cast<std::size_t>(pair)];
    PairRow &row = m_rows[static_cast<std::size_t>(pair)];
    auto *block = new QFrame(this);
    block->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *grid = new QGridLayout(block);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    QLabel *element = makeLabel(caption.element, block);
    QFont bold = element->font();
    bold.setBold(true);
    element->setFont(bold);
    grid->addWidget(element, 0, 0, 2, 1);
    // Equal name columns line the means up from block to block.
    for (int line = 0; line < 2; ++line) {
        QLabel *name = makeLabel(line == 0 ? caption.yin : caption.yang, block);
        name->setMinimumWidth(name->fontMetrics().horizontalAdvance(u"膀胱经"_s) + 4);
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(name, line, 1);
    }
    row.yinMean = makeValueLabel(indexedName("pairYinMeanLabel", pair), block);
    row.yangMean = makeValueLabel(indexedName("pairYangMeanLabel", pair), block);
    for (QLabel *mean : {row.yinMean, row.yangMean}) {
        mean->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        mean->setMinimumWidth(50);
        mean->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    grid->addWidget(row.yinMean, 0, 2);
    grid->addWidget(row.yangMean, 1, 2);
    row.difference = makeLabel({}, block, indexedName("pairDifferenceLabel", pair));
    row.difference->setFont(bold);
    row.difference->setMinimumWidth(56);
    row.text = makeLabel({}, block, indexedName("pairTextLabel", pair));
    row.text->setMinimumWidth(70);
    grid->addWidget(row.difference, 0, 3);
    grid->addWidget(row.text, 1, 3);
    row.gauge = makeIndicatorGauge(100, indexedName("pairGauge", pair), block);
    row.gauge->setFixedSize(104, 70);
    grid->addWidget(row.gauge, 0, 4, 2, 1);
    grid->setColumnStretch(3, 1);
    return block;
}

void AnalysisPairPage::showAnalysis(const AnalysisResult &result) {
    for (int i = 0; i < PairCount; ++i) {
        const PairBalance &p = result.pairs[static_cast<std::size_t>(i)];
        PairRow &row = m_rows[static_cast<std::size_t>(i)];
        row.yinMean->setText(p.yinMeanText);
        row.yangMean->setText(p.yangMeanText);
        row.difference->setText(p.differenceText);
        row.text->setText(p.text);
        showGauge(row.gauge, p.gauge, p.colour);
    }
}

} // namespace orlu
