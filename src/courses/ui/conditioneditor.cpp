#include "courses/ui/conditioneditor.h"

#include "core/channels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int EnergyMax = 200;
constexpr int AgeMax = 100;

// Positions with a single "异常" box.
bool singleBox(int position) {
    return position == 3 || position == 5;
}

void setBox(QCheckBox *box, bool on) {
    if (box)
        box->setChecked(on);
}

bool ticked(const QCheckBox *box) {
    return box && box->isChecked();
}

} // namespace

ConditionEditor::ConditionEditor(QWidget *parent)
    : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildStateGroup());
    layout->addWidget(buildMeridianGroup());
    auto *right = new QVBoxLayout;
    right->addWidget(buildElementGroup());
    right->addWidget(buildAgeGroup());
    right->addStretch();
    layout->addLayout(right);
    showRule(ConditionRule{});
}

QCheckBox *ConditionEditor::mustBox(int position, const QString &caption) {
    auto *box = new QCheckBox(caption);
    box->setObjectName(u"mustCheck%1"_s.arg(position));
    m_must[position - 1] = box;
    return box;
}

QCheckBox *ConditionEditor::codeBox(const QString &name, int position, const QString &caption) {
    auto *box = new QCheckBox(caption);
    box->setObjectName(name + QString::number(position));
    return box;
}

QGroupBox *ConditionEditor::buildStateGroup() {
    auto *group = new QGroupBox(u"体能精神状态条件"_s);
    group->setObjectName(u"stateGroup"_s);
    auto *grid = new QGridLayout(group);
    struct Row {
        int position;
        const char16_t *caption;
        const char16_t *low;
        const char16_t *high;
    };
    const Row rows[] = {
        {1, u"体能状态", u"虚弱", u"亢奋"}, {2, u"精神状态", u"衰弱", u"亢奋"},
        {3, u"肌骨系统", u"异常", nullptr}, {4, u"新陈代谢", u"减弱", u"增强"},
        {5, u"自律神经", u"异常", nullptr},
    };
    int line = 0;
    for (const Row &r : rows) {
        grid->addWidget(mustBox(r.position, QString::fromUtf16(r.caption)), line, 0);
        if (singleBox(r.position)) {
            m_low[r.position - 1] = codeBox(u"abnormalCheck"_s, r.position, QString::fromUtf16(r.low));
        } else {
            m_low[r.position - 1] = codeBox(u"lowCheck"_s, r.position, QString::fromUtf16(r.low));
            m_high[r.position - 1] = codeBox(u"highCheck"_s, r.position, QString::fromUtf16(r.high));
            grid->addWidget(m_high[r.position - 1], line, 2);
        }
        grid->addWidget(m_low[r.position - 1], line, 1);
        ++line;
        if (r.position == 1) {
            // The threshold codes of position 1 sit on a line of their own under it.
            auto *range = new QHBoxLayout;
            m_range = new QCheckBox(u"范围"_s);
            m_range->setObjectName(u"rangeCheck"_s);
            m_comparison = new QComboBox;
            m_comparison->setObjectName(u"comparisonCombo"_s);
            m_comparison->addItems({u"等于 ="_s, u"大于 >"_s, u"小于 <"_s});
            m_energy = new QSpinBox;
            m_energy->setObjectName(u"energySpin"_s);
            m_energy->setRange(0, EnergyMax);
            range->addWidget(m_range);
            range->addWidget(m_comparison);
            range->addWidget(m_energy);
            range->addStretch();
            grid->addLayout(range, line, 1, 1, 3);
            ++line;
        }
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(line, 1);
    connect(m_range, &QCheckBox::toggled, this, &ConditionEditor::rangeToggled);
    m_groups << group;
    return group;
}

void ConditionEditor::addGradeRow(QGridLayout *grid, int position, const QString &caption, int line,
                                  int column) {
    grid->addWidget(mustBox(position, caption), line, column);
    m_low[position - 1] = codeBox(u"lowCheck"_s, position, u"虚证"_s);
    m_high[position - 1] = codeBox(u"highCheck"_s, position, u"实证"_s);
    grid->addWidget(m_low[position - 1], line, column + 1);
    grid->addWidget(m_high[position - 1], line, column + 2);
}

QGroupBox *ConditionEditor::buildMeridianGroup() {
    auto *group = new QGroupBox(u"个别经络条件"_s);
    group->setObjectName(u"meridianGroup"_s);
    auto *grid = new QGridLayout(group);
    // Each yin meridian beside its yang partner, as the condition columns are ordered.
    for (int i = 0; i < 12; ++i) {
        const ElementColumn &pair = standardOrderPairs()[static_cast<std::size_t>(i / 2)];
        const int p = 6 + i;
        const int line = i % 6;
        const int column = (i / 6) * 4;
        addGradeRow(grid, p, meridianCaption(i % 2 == 0 ? pair.yin : pair.yang, NameSpacing::FourBlanks),
                    line, column);
    }
    grid->setColumnMinimumWidth(3, 16);
    grid->setRowStretch(6, 1);
    m_groups << group;
    return group;
}

QGroupBox *ConditionEditor::buildElementGroup() {
    auto *group = new QGroupBox(u"五行条件"_s);
    group->setObjectName(u"elementGroup"_s);
    auto *grid = new QGridLayout(group);
    const char16_t *captions[] = {u"      木", u"      火", u"      土", u"      金", u"      水"};
    for (int i = 0; i < 5; ++i) {
        const int p = 18 + i;
        addGradeRow(grid, p, QString::fromUtf16(captions[i]), i, 0);
    }
    m_groups << group;
    return group;
}

QGroupBox *ConditionEditor::buildAgeGroup() {
    auto *group = new QGroupBox(u"年龄条件"_s);
    group->setObjectName(u"ageGroup"_s);
    auto *grid = new QGridLayout(group);
    auto spin = [](const QString &name) {
        auto *s = new QSpinBox;
        s->setObjectName(name);
        s->setRange(0, AgeMax);
        return s;
    };
    m_ageLowCheck = new QCheckBox(u"大于等于"_s);
    m_ageLowCheck->setObjectName(u"ageLowCheck"_s);
    m_ageLow = spin(u"ageLowSpin"_s);
    m_ageHighCheck = new QCheckBox(u"小于等于"_s);
    m_ageHighCheck->setObjectName(u"ageHighCheck"_s);
    m_ageHigh = spin(u"ageHighSpin"_s);
    m_sex = new QCheckBox(u"性别条件"_s);
    m_sex->setObjectName(u"sexCheck"_s);
    m_male = new QRadioButton(u"男性"_s);
    m_male->setObjectName(u"maleRadio"_s);
    m_female = new QRadioButton(u"女性"_s);
    m_female->setObjectName(u"femaleRadio"_s);
    auto *sexButtons = new QButtonGroup(group);
    sexButtons->addButton(m_male);
    sexButtons->addButton(m_female);
    m_male->setChecked(true);

    grid->addWidget(m_ageLowCheck, 0, 0);
    grid->addWidget(m_ageLow, 0, 1);
    grid->addWidget(m_ageHighCheck, 1, 0);
    grid->addWidget(m_ageHigh, 1, 1);
    grid->addWidget(m_sex, 2, 0);
    auto *radios = new QHBoxLayout;
    radios->addWidget(m_male);
    radios->addWidget(m_female);
    grid->addLayout(radios, 2, 1);

    connect(m_ageLowCheck, &QCheckBox::toggled, m_ageLow, &QWidget::setEnabled);
    connect(m_ageHighCheck, &QCheckBox::toggled, m_ageHigh, &QWidget::setEnabled);
    connect(m_sex, &QCheckBox::toggled, this, [this](bool on) {
        m_male->setEnabled(on);
        m_female->setEnabled(on);
    });
    connect(m_ageLow, &QSpinBox::valueChanged, this, &ConditionEditor::ageLowChanged);
    connect(m_ageHigh, &QSpinBox::valueChanged, this, &ConditionEditor::ageHighChanged);
    m_groups << group;
    return group;
}

void ConditionEditor::setRangeMode(bool range) {
    m_low[0]->setEnabled(!range);
    m_high[0]->setEnabled(!range);
    m_comparison->setEnabled(range);
    m_energy->setEnabled(range);
}

void ConditionEditor::rangeToggled(bool on) {
    setRangeMode(on);
    if (on && m_comparison->currentIndex() < 0)
        m_comparison->setCurrentIndex(0);
}

void ConditionEditor::ageLowChanged(int value) {
    // The bounds never cross: raising the lower one carries the upper one along.
    if (m_ageHigh->value() < value)
        m_ageHigh->setValue(value);
}

void ConditionEditor::ageHighChanged(int value) {
    if (value < m_ageLow->value())
        m_ageLow->setValue(value);
}

void ConditionEditor::setAgeBoxes(bool low, bool high) {
    m_ageLowCheck->setChecked(low);
    m_ageLow->setEnabled(low);
    m_ageHighCheck->setChecked(high);
    m_ageHigh->setEnabled(high);
}

void ConditionEditor::setSexBoxes(int code) {
    const bool on = code == 1 || code == 2;
    m_sex->setChecked(on);
    m_male->setEnabled(on);
    m_female->setEnabled(on);
    if (code == 1)
        m_male->setChecked(true);
    else if (code == 2)
        m_female->setChecked(true);
}

void ConditionEditor::showRule(const ConditionRule &rule) {
    const std::array<int, 24> codes = readCodes(rule.cond);
    const std::array<bool, 24> must = readMustFlags(rule.must);

    m_shownEnergy = rule.energy;
    m_shownAgeLow = rule.ageLow;
    m_shownAgeHigh = rule.ageHigh;
    {
        // Showing stored bounds is not the operator moving them: no coupling here.
        const QSignalBlocker b1(m_ageLow);
        const QSignalBlocker b2(m_ageHigh);
        m_energy->setValue(static_cast<int>(std::lround(std::clamp(rule.energy, 0.0, double(EnergyMax)))));
        m_ageLow->setValue(rule.ageLow);
        m_ageHigh->setValue(rule.ageHigh);
    }

    const int first = codes[0];
    if (first >= 4) {
        const QSignalBlocker block(m_range);
        m_comparison->setCurrentIndex(first - 4 < m_comparison->count() ? first - 4 : -1);
        m_range->setChecked(true);
        setRangeMode(true);
        m_low[0]->setChecked(false);
        m_high[0]->setChecked(false);
    } else {
        const QSignalBlocker block(m_range);
        m_range->setChecked(false);
        setRangeMode(false);
        m_low[0]->setChecked(first == 1 || first == 3);
        m_high[0]->setChecked(first == 2 || first == 3);
    }
    for (int p = 2; p <= FlaggedPositions; ++p) {
        const int c = codes[p - 1];
        if (singleBox(p)) {
            m_low[p - 1]->setChecked(c != 0);
        } else {
            setBox(m_low[p - 1], c == 1 || c == 3);
            setBox(m_high[p - 1], c == 2 || c == 3);
        }
    }
    const int age = codes[AgePosition - 1];
    setAgeBoxes(age == 1 || age == 3, age == 2 || age == 3);
    setSexBoxes(codes[SexPosition - 1]);
    for (int p = 1; p <= FlaggedPositions; ++p)
        m_must[p - 1]->setChecked(must[p - 1]);
}

ConditionRule ConditionEditor::rule() const {
    QString cond(ConditionPositions, u'0');
    QString must(ConditionPositions, u'0');
    auto put = [&cond](int position, int code) { cond[position - 1] = QChar(u'0' + code); };

    if (m_range->isChecked())
        put(1, 4 + std::max(0, m_comparison->currentIndex()));
    else
        put(1, 1 * ticked(m_low[0]) + 2 * ticked(m_high[0]));
    for (int p = 2; p <= FlaggedPositions; ++p)
        put(p,
            singleBox(p) ? int(ticked(m_low[p - 1])) : 1 * ticked(m_low[p - 1]) + 2 * ticked(m_high[p - 1]));
    put(AgePosition, 1 * m_ageLowCheck->isChecked() + 2 * m_ageHighCheck->isChecked());
    put(SexPosition, !m_sex->isChecked() ? 0 : m_male->isChecked() ? 1 : 2);
    for (int p = 1; p <= FlaggedPositions; ++p)
        must[p - 1] = m_must[p - 1]->isChecked() ? u'1' : u'0';

    ConditionRule r;
    r.cond = cond;
    r.must = must;
    // An untouched box keeps the stored number, even one the box cannot show.
    auto kept = [](const QSpinBox *box, double shown) {
        return box->value() == static_cast<int>(std::lround(
                                   std::clamp(shown, double(box->minimum()), double(box->maximum()))))
                   ? shown
                   : double(box->value());
    };
    r.energy = kept(m_energy, m_shownEnergy);
    r.ageLow = static_cast<int>(kept(m_ageLow, m_shownAgeLow));
    r.ageHigh = static_cast<int>(kept(m_ageHigh, m_shownAgeHigh));
    return r;
}

void setLockedReadable(QWidget *widget, bool locked) {
    widget->setEnabled(!locked);
    if (!locked) {
        widget->setPalette(QPalette());
        return;
    }
    QPalette p = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
    widget->setPalette(p);
}

void ConditionEditor::setEditable(bool editable) {
    for (QGroupBox *g : m_groups)
        setLockedReadable(g, !editable);
}

} // namespace orlu
