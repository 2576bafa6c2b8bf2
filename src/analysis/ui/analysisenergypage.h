#pragma once

#include <QDate>
#include <QWidget>

#include <array>

class QLabel;
class QTableWidget;

namespace orlu {

struct AnalysisResult;
struct CurrentMeasurement;
class NeedleGauge;

// Page "体能状况": the subject, the five elements, the five state indicators,
// the value grid of the plain readings and the measurement's date and time.
class AnalysisEnergyPage : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisEnergyPage(QWidget *parent = nullptr);

    // `today` decides the age.
    void showAnalysis(const AnalysisResult &result, const CurrentMeasurement &measurement,
                      const QDate &today);

private:
    struct ElementRow {
        QLabel *mean = nullptr;
        QLabel *distance = nullptr;
        NeedleGauge *gauge = nullptr;
    };
    struct StateRow {
        NeedleGauge *gauge = nullptr;
        QLabel *sum = nullptr;
        QLabel *value = nullptr;
        QLabel *range = nullptr;
        QLabel *verdict = nullptr;
    };

    QWidget *createSubjectBlock();
    QWidget *createElementBlock();
    QWidget *createStateBlock();
    QWidget *createValuePanel();
    void showSubject(const CurrentMeasurement &measurement, const AnalysisResult &result, const QDate &today);
    void showValues(const CurrentMeasurement &measurement);

    QLabel *m_number = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_birthDate = nullptr;
    QLabel *m_age = nullptr;
    QLabel *m_telephone = nullptr;
    QLabel *m_potential = nullptr;
    QLabel *m_sex = nullptr;
    std::array<ElementRow, 5> m_elements;
    std::array<StateRow, 5> m_states;
    QTableWidget *m_grid = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_quality = nullptr; // the readings' quality, when it is known
};

} // namespace orlu
