#include "analysis/ui/analysisprintpage.h"

#include "analysis/ui/analysiswidgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct OptionCaption {
    PrintOption option;
    QString caption;
};

// The text sections, in the order of the report.
const QList<OptionCaption> &sectionOptions() {
    static const QList<OptionCaption> options{
        {PrintOption::MeasurementData, u"经络测量数据数据"_s},
        {PrintOption::BodyEnergyState, u"身体能量状态分析"_s},
        {PrintOption::SingleMeridianVerdict, u"单经络能量辨证"_s},
        {PrintOption::ConductanceVerdict, u"良导络辨证"_s},
        {PrintOption::PrescriptionPoints, u"医方建议-经络配穴"_s},
        {PrintOption::Remedies, u"单方/复方建议"_s},
        {PrintOption::DietAdvice, u"养生食疗建议"_s},
        {PrintOption::ExpertCourses, u"专家疗程建议"_s},
        {PrintOption::TreatmentRecord, u"处置记录"_s},
    };
    return options;
}

const QList<OptionCaption> &chartOptions() {
    static const QList<OptionCaption> options{
        {PrintOption::ExcessDeficiencyBars, u"经络虚实分析图-长条"_s},
        {PrintOption::ExcessDeficiencyCurve, u"经络虚实分析图-曲线"_s},
        {PrintOption::YinYangChart, u"经络阴阳分析图"_s},
        {PrintOption::QiBloodChart, u"经络气血分析图"_s},
        {PrintOption::GeneratingCycleChart, u"经络五行相生分析图"_s},
        {PrintOption::ControllingCycleChart, u"经络五行相克分析图"_s},
        {PrintOption::ConductanceChart, u"良导络分析图"_s},
        {PrintOption::AutonomicBalanceChart, u"自律神经平衡图"_s},
    };
    return options;
}

QGroupBox *radioPair(const QString &title, QRadioButton *&first, const QString &firstCaption,
                     const QString &firstName, QRadioButton *&second, const QString &secondCaption,
                     const QString &secondName, QWidget *parent) {
    auto *group = new QGroupBox(title, parent);
    auto *layout = new QHBoxLayout(group);
    first = new QRadioButton(firstCaption, group);
    first->setObjectName(firstName);
    second = new QRadioButton(secondCaption, group);
    second->setObjectName(secondName);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch();
    return group;
}

} // namespace

AnalysisPrintPage::AnalysisPrintPage(QWidget *parent)
    : QWidget(parent) {
    setObjectName(u"printPage"_s);

    auto *options = new QGroupBox(u"打印数据选项"_s, this);
    auto *optionColumns = new QHBoxLayout(options);
    auto *sections = new QVBoxLayout;
    for (const OptionCaption &o : sectionOptions()) {
        QCheckBox *box = addCheck(o.option, o.caption, options);
        // The two dependent boxes stand indented under the box that enables them.
        if (o.option == PrintOption::ConductanceVerdict || o.option == PrintOption::Remedies) {
            auto *indent = new QHBoxLayout;
            indent->addSpacing(20);
            indent->addWidget(box);
            sections->addLayout(indent);
        } else {
            sections->addWidget(box);
        }
    }
    sections->addStretch();
    auto *charts = new QGroupBox(u"能量分析图形"_s, options);
    auto *chartList = new QVBoxLayout(charts);
    for (const OptionCaption &o : chartOptions())
        chartList->addWidget(addCheck(o.option, o.caption, charts));
    chartList->addStretch();
    optionColumns->addLayout(sections, 1);
    optionColumns->addWidget(charts, 1);

    auto *side = new QVBoxLayout;
    side->addWidget(radioPair(u"数据打印型式"_s, m_detailed, u"详细数据打印"_s, u"detailedRadio"_s, m_brief,
                              u"精简数据打印"_s, u"briefRadio"_s, this));
    side->addWidget(radioPair(u"打印模式"_s, m_colour, u"彩色"_s, u"colourRadio"_s, m_mono, u"单色"_s,
                              u"monoRadio"_s, this));
    side->addWidget(radioPair(u"打印字形大小"_s, m_small, u"小型"_s, u"smallFontRadio"_s, m_normal, u"正常"_s,
                              u"normalFontRadio"_s, this));
    side->addStretch();
    auto *setup = new QPushButton(u"打印设定"_s, this);
    setup->setObjectName(u"printerSetupButton"_s);
    setup->setToolTip(u"打印机与格式设定"_s);
    auto *print = new QPushButton(u"打  印"_s, this);
    print->setObjectName(u"printButton"_s);
    print->setToolTip(u"开始数据打印"_s);
    auto *preview = new QPushButton(u"打印预览"_s, this);
    preview->setObjectName(u"printPreviewButton"_s);
    preview->setToolTip(u"在屏幕上预览打印的报表"_s);
    auto *savePdf = new QPushButton(u"存为 PDF"_s, this);
    savePdf->setObjectName(u"savePdfButton"_s);
    savePdf->setToolTip(u"将报表存为可存档的 PDF 文件"_s);
    for (QPushButton *b : {setup, preview, print, savePdf}) {
        b->setMinimumHeight(30);
        side->addWidget(b);
    }
    m_printStatus = new QLabel(this);
    m_printStatus->setObjectName(u"printStatus"_s);
    m_printStatus->setWordWrap(true);
    side->addWidget(m_printStatus);
    connect(setup, &QPushButton::clicked, this, &AnalysisPrintPage::printerSetupRequested);
    connect(print, &QPushButton::clicked, this, &AnalysisPrintPage::printRequested);
    connect(preview, &QPushButton::clicked, this, &AnalysisPrintPage::previewRequested);
    connect(savePdf, &QPushButton::clicked, this, &AnalysisPrintPage::savePdfRequested);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(10);
    layout->addWidget(options, 3);
    layout->addLayout(side, 1);

    connect(checkBox(PrintOption::SingleMeridianVerdict), &QCheckBox::clicked, this,
            &AnalysisPrintPage::applyEnablingRules);
    connect(checkBox(PrintOption::PrescriptionPoints), &QCheckBox::clicked, this,
            &AnalysisPrintPage::applyEnablingRules);
}

void AnalysisPrintPage::setPrintStatus(const QString &text) {
    m_printStatus->setText(text);
}

QCheckBox *AnalysisPrintPage::addCheck(PrintOption option, const QString &caption, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(indexedName("printOptionCheck", static_cast<int>(option)));
    m_checks[static_cast<std::size_t>(option) - 1] = box;
    return box;
}

void AnalysisPrintPage::setOptions(const PrintOptions &options) {
    (options.at(PrintOption::DetailedForm) ? m_detailed : m_brief)->setChecked(true);
    (options.at(PrintOption::Colour) ? m_colour : m_mono)->setChecked(true);
    (options.at(PrintOption::SmallType) ? m_small : m_normal)->setChecked(true);
    for (int p = 1; p <= PrintOptionCount; ++p) {
        if (QCheckBox *box = checkBox(printOptionAt(p)))
            box->setChecked(options.at(printOptionAt(p)));
    }
    applyEnablingRules();
}

PrintOptions AnalysisPrintPage::options() const {
    PrintOptions options;
    options.set(PrintOption::DetailedForm, m_detailed->isChecked());
    options.set(PrintOption::Colour, m_colour->isChecked());
    options.set(PrintOption::SmallType, m_small->isChecked());
    for (int p = 1; p <= PrintOptionCount; ++p) {
        if (const QCheckBox *box = checkBox(printOptionAt(p)))
            options.set(printOptionAt(p), box->isChecked());
    }
    return options;
}

void AnalysisPrintPage::applyEnablingRules() {
    checkBox(PrintOption::ConductanceVerdict)
        ->setEnabled(checkBox(PrintOption::SingleMeridianVerdict)->isChecked());
    checkBox(PrintOption::Remedies)->setEnabled(checkBox(PrintOption::PrescriptionPoints)->isChecked());
}

} // namespace orlu
