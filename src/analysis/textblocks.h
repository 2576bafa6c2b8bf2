#pragma once

#include "analysis/analysis.h"
#include "analysis/textcolumns.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The text blocks that the analysis window, the printed report and the
// meridian explanation window show, each built from one reference record and
// the grades of the analysis. A block is a sequence of lines joined by "\n";
// a blank is an empty line, and an empty text keeps its own (empty) line.
namespace orlu {

// Where the texts come from: the KYMTDB table in production, a map in tests.
class ReferenceTexts {
public:
    virtual ~ReferenceTexts() = default;
    // The descrambled, decoded text; empty for a missing record, an empty
    // column or a value that is not a valid scrambled text.
    virtual QString text(int key, TextColumn column) const = 0;
    // The diagram picture as stored (an image file's bytes); empty when none.
    virtual QByteArray picture(int key) const = 0;
};

// Block 1: state item 13..17 with its verdict code (empty when the ratio is
// undefined: then only DtMA1 and the blank are shown).
QString stateDifferentiationBlock(const ReferenceTexts &texts, int key, std::optional<int> code);
// Block 2: an abnormal meridian's differentiation, headed by its list caption.
QString meridianDifferentiationBlock(const ReferenceTexts &texts, int m, MeridianState state);
// Block 3: Ryodoraku text for both excess / both deficiency, otherwise empty.
QString ryodorakuBlock(const ReferenceTexts &texts, int m, MeridianState state);
// Block 4: diet.
QString dietBlock(const ReferenceTexts &texts, int m, MeridianState state);
// Block 5: prescription, empty unless the meridian is uniformly abnormal.
QString prescriptionBlock(const ReferenceTexts &texts, int m, MeridianState state);

// Convenience forms reading the grades and verdicts from an analysis result.
QString differentiationBlock(const ReferenceTexts &texts, const AnalysisResult &result, int key);
QString ryodorakuBlock(const ReferenceTexts &texts, const AnalysisResult &result, int m);
QString dietBlock(const ReferenceTexts &texts, const AnalysisResult &result, int m);
QString prescriptionBlock(const ReferenceTexts &texts, const AnalysisResult &result, int m);

// Block 6: everything the explanation window shows for meridian m.
struct MeridianExplanation {
    std::array<QString, 5> attributes; // DtEA1..DtEA5
    std::array<QString, 3> points;     // DtPot1..DtPot3
    QString mainText;                  // DtMA1
    QString excessText;                // DtMH1
    QString deficiencyText;            // DtML1
    QString ryodorakuExcess;           // DtMH5
    QString ryodorakuDeficiency;       // DtML5
    QString prescriptionExcess;        // DtMH3, blank, DtMH2
    QString prescriptionDeficiency;    // DtML3, blank, DtML2
    QString dietExcess;                // DtMA3, blank, DtMH4
    QString dietDeficiency;            // DtML4
    QByteArray picture;                // DtGpM
};
MeridianExplanation meridianExplanation(const ReferenceTexts &texts, int m);

} // namespace orlu
