#pragma once

#include "compare/comparisonprintout.h"

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;

// What the comparison windows share: their tool buttons, status bar and
// the block of six rows describing one record.
namespace orlu {

class Prompter;

// How a comparison window prints: the printout on the program's printer, and the
// system's printer set-up for it.
struct ComparisonPrinting {
    // Returns what the status line should say of the job (empty: nothing).
    std::function<QString(const ComparisonPrintout &printout, QWidget *parent)> print;
    std::function<void(QWidget *parent)> printerSetup;
    // Tells the operator why there is nothing to print.
    Prompter *prompter = nullptr;
};

QToolButton *addComparisonButton(QToolBar *bar, const QString &objectName, const QString &text,
                                 const QString &hint, bool checkable = false);
// A status bar with one text, reachable as "statusText".
QStatusBar *comparisonStatusBar(QWidget *window, QLabel *&text);

// How a block writes its energy level and the standard potential.
struct DetailFormat {
    int energyWidth = 5;
    int energyDecimals = 2;
    QString standardPotential;
};

// "编号:", "姓名:", "体能:", "电位:", "日期:", "时间:" and their values; the values are
// labels named numberValue, nameValue, energyValue, potentialValue, dateValue, timeValue.
class RecordDetailBlock : public QWidget {
    Q_OBJECT
public:
    RecordDetailBlock(const QString &heading, const QString &objectName, DetailFormat format,
                      QWidget *parent = nullptr);

    // `caveats`: the record's unmeasured points and doubtful readings, shown under it.
    void showRecord(const QString &number, const QString &name, double energyLevel, bool highPotential,
                    double measuredAt, const QString &caveats = {});
    void clear();
    // Says on its value what the energy figure is.
    void setEnergyToolTip(const QString &text);

private:
    DetailFormat m_format;
    QLabel *m_number = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_energy = nullptr;
    QLabel *m_potential = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_caveats = nullptr;
};

} // namespace orlu
