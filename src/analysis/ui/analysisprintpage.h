#pragma once

#include "analysis/printoptions.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QRadioButton;

namespace orlu {

// Page "数据打印": the print options of the analysis report, "打印设定", "打  印" and "存为 PDF".
// "良导络辨证" is enabled only while "单经络能量辨证" is checked, and
// "单方/复方建议" only while "医方建议-经络配穴" is; a disabled box keeps its check.
class AnalysisPrintPage : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisPrintPage(QWidget *parent = nullptr);

    void setOptions(const PrintOptions &options);
    PrintOptions options() const;

    // The check box of a print-option position, nullptr for the radio positions 1, 17 and 18.
    QCheckBox *checkBox(PrintOption option) const { return m_checks[static_cast<std::size_t>(option) - 1]; }
    // Where the last print job or saved PDF went, or why it did not, under the buttons.
    void setPrintStatus(const QString &text);

signals:
    void printerSetupRequested();
    void printRequested();
    void previewRequested();
    void savePdfRequested();

private:
    QCheckBox *addCheck(PrintOption option, const QString &caption, QWidget *parent);
    void applyEnablingRules();

    std::array<QCheckBox *, PrintOptionCount> m_checks{};
    QRadioButton *m_detailed = nullptr;
    QRadioButton *m_brief = nullptr;
    QRadioButton *m_colour = nullptr;
    QRadioButton *m_mono = nullptr;
    QRadioButton *m_small = nullptr;
    QRadioButton *m_normal = nullptr;
    QLabel *m_printStatus = nullptr;
};

} // namespace orlu
