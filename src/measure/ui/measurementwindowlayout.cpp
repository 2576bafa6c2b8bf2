// The controls of the measurement window and where they sit.
#include "measure/ui/measurementwindow.h"

#include "measure/livedisplay.h"
#include "measure/ui/windowparts.h"
#include "widgets/ledlamp.h"
#include "widgets/pointprogressbar.h"
#include "widgets/segmentedbarmeter.h"
#include "widgets/tracearea.h"
#include "widgets/valuegrid.h"
#include "widgets/toolbuttons.h"
#include "widgets/valuelabel.h"

#include <QAction>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The figures stand in white sunken fields.
ValueLabelLook fieldLook(int minimumWidth) {
    return {.minimumWidth = minimumWidth, .whiteField = true};
}

QFont monospaced(QFont f, int pointSize = 0) {
    f.setFamily(u"monospace"_s);
    f.setStyleHint(QFont::Monospace);
    if (pointSize > 0)
        f.setPointSize(pointSize);
    return f;
}

LedLamp *lamp(const QString &objectName, QWidget *parent) {
    auto *l = new LedLamp(parent);
    l->setObjectName(objectName);
    l->setFixedSize(18, 18);
    return l;
}

} // namespace

void MeasurementWindow::buildToolBar() {
    m_toolBar = makeIconToolBar(this);
    auto add = [this](const QString &name, const QString &caption, const QString &hint,
                      QStyle::StandardPixmap icon, void (MeasurementWindow::*handler)()) {
        QAction *a = addIconTool(m_toolBar, name, caption, hint, icon);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    m_measureAction = add(u"measure"_s, u"经络测量"_s, u"经络能量数据测量"_s, QStyle::SP_MediaPlay,
                          &MeasurementWindow::measureClicked);
    m_stopAction = add(u"stop"_s, u"停止测量"_s, u"停止经络能量测量"_s, QStyle::SP_MediaStop,
                       &MeasurementWindow::stopClicked);
    m_remeasureAction = add(u"remeasure"_s, u"重测可疑点"_s, u"只重新测量读数不稳定的测定点"_s,
                            QStyle::SP_BrowserReload, &MeasurementWindow::remeasureClicked);
    m_repeatAction = add(u"repeat"_s, u"重复测量"_s, u"为同一受测者立即再测一次，作为重复测量"_s,
                         QStyle::SP_ArrowForward, &MeasurementWindow::repeatClicked);
    m_toolBar->addSeparator();
    m_analysisAction = add(u"analysis"_s, u"能量分析"_s, u"经络能量分析"_s, QStyle::SP_FileDialogContentsView,
                           &MeasurementWindow::analysisClicked);
    m_saveAction = add(u"save"_s, u"储存数据"_s, u"储存表格中的能量数据"_s, QStyle::SP_DialogSaveButton,
                       &MeasurementWindow::saveClicked);
    m_readAction = add(u"read"_s, u"读取数据"_s, u"读取数据库中的数据"_s, QStyle::SP_DialogOpenButton,
                       &MeasurementWindow::readClicked);
    m_clearAction = add(u"clear"_s, u"清除数据"_s, u"清除表格中的能量数据"_s, QStyle::SP_TrashIcon,
                        &MeasurementWindow::clearClicked);
    m_manualEntryAction = add(u"manualEntry"_s, u"数据输入"_s, u"人工输入数据"_s,
                              QStyle::SP_FileDialogDetailedView, &MeasurementWindow::manualEntryClicked);
    m_compareAction = add(u"compare"_s, u"能量比对"_s, u"能量比对系统"_s, QStyle::SP_FileDialogListView,
                          &MeasurementWindow::compareClicked);
    m_toolBar->addSeparator();
    m_leaveAction = add(u"leave"_s, u"离  开"_s, u"离开经络量测系统"_s, QStyle::SP_DialogCloseButton,
                        &MeasurementWindow::leaveClicked);
}

QWidget *MeasurementWindow::buildValuePanel() {
    auto *panel = new QGroupBox(this);
    panel->setObjectName(u"valuePanel"_s);
    auto *v = new QVBoxLayout(panel);
    windowparts::addValueHeadings(v, panel, u"经络能量测定值"_s);

    m_grid = new ValueGrid(panel);
    m_grid->setObjectName(u"valueGrid"_s);
    connect(m_grid, &ValueGrid::channelClicked, this, &MeasurementWindow::valueCellClicked);
    v->addWidget(m_grid, 0, Qt::AlignHCenter);

    auto *figures = new QHBoxLayout;
    const QFont mono = monospaced(font(), font().pointSize() + 2);
    auto addFigure = [&](const QString &caption, QLabel *value) {
        figures->addWidget(new QLabel(caption, panel));
        figures->addWidget(value);
        figures->addSpacing(12);
    };
    m_measuredValue = makeValueLabel(u"measuredValueLabel"_s, panel, fieldLook(70));
    m_measuredValue->setFont(mono);
    m_measuredValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_compensatedValue = makeValueLabel(u"compensatedValueLabel"_s, panel, fieldLook(70));
    m_compensatedValue->setFont(mono);
    m_compensatedValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_dateValue = makeValueLabel(u"dateLabel"_s, panel, fieldLook(96));
    m_timeValue = makeValueLabel(u"timeLabel"_s, panel, fieldLook(70));
    addFigure(u"经络测量值:"_s, m_measuredValue);
    addFigure(u"经络补偿值:"_s, m_compensatedValue);
    addFigure(u"测量日期:"_s, m_dateValue);
    addFigure(u"测量时间:"_s, m_timeValue);
    figures->addStretch();
    m_potentialMark = new QLabel(panel);
    m_potentialMark->setObjectName(u"potentialMarkLabel"_s);
    QFont pf = monospaced(font(), font().pointSize() + 2);
    pf.setBold(true);
    m_potentialMark->setFont(pf);
    figures->addWidget(m_potentialMark);
    v->addLayout(figures);
    return panel;
}

QWidget *MeasurementWindow::buildStatusGroup() {
    auto *group = new QGroupBox(u"测量状态"_s, this);
    group->setObjectName(u"statusGroup"_s);
    auto *form = new QFormLayout(group);
    m_positionValue = makeValueLabel(u"positionLabel"_s, group, fieldLook(150));
    m_meridianNameValue = makeValueLabel(u"meridianNameLabel"_s, group, fieldLook(150));
    m_pointNameValue = makeValueLabel(u"pointNameLabel"_s, group, fieldLook(150));
    QFont big = m_positionValue->font();
    big.setPointSize(big.pointSize() + 2);
    big.setBold(true);
    for (QLabel *l : {m_positionValue, m_meridianNameValue, m_pointNameValue}) {
        l->setFont(big);
        l->setStyleSheet(u"color: rgb(0, 0, 160)"_s);
    }
    form->addRow(u"测量位置:"_s, m_positionValue);
    form->addRow(u"经络名称:"_s, m_meridianNameValue);
    form->addRow(u"测定点名称:"_s, m_pointNameValue);
    return group;
}

QWidget *MeasurementWindow::buildPictureGroup() {
    m_pictureGroup = new QGroupBox(u"代表测定点图示"_s, this);
    m_pictureGroup->setObjectName(u"pictureGroup"_s);
    auto *v = new QVBoxLayout(m_pictureGroup);
    m_picture = new QLabel(m_pictureGroup);
    m_picture->setObjectName(u"pictureLabel"_s);
    m_picture->setFixedSize(180, 180);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setWordWrap(true);
    m_picture->setFrameStyle(QFrame::Box | QFrame::Plain);
    QSizePolicy keep = m_picture->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_picture->setSizePolicy(keep);
    v->addWidget(m_picture, 0, Qt::AlignHCenter);
    m_englishName = new QLabel(m_pictureGroup);
    m_englishName->setObjectName(u"englishNameLabel"_s);
    m_englishName->setAlignment(Qt::AlignCenter);
    m_pictureSourcePoint = new QLabel(m_pictureGroup);
    m_pictureSourcePoint->setObjectName(u"pictureSourcePointLabel"_s);
    m_pictureSourcePoint->setAlignment(Qt::AlignCenter);
    QFont f = m_pictureSourcePoint->font();
    f.setBold(true);
    m_pictureSourcePoint->setFont(f);
    v->addWidget(m_englishName);
    v->addWidget(m_pictureSourcePoint);
    v->addStretch();
    return m_pictureGroup;
}

QWidget *MeasurementWindow::buildSettingsPanel() {
    auto *panel = new QWidget(this);
    auto *v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);

    const windowparts::PotentialChoice potential = windowparts::potentialChoice(panel);
    m_highRadio = potential.high;
    m_standardRadio = potential.standard;
    connect(m_highRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            potentialClicked(true);
    });
    connect(m_standardRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            potentialClicked(false);
    });
    v->addWidget(potential.group);

    auto *threshold = new QGroupBox(u"最低测量反应值"_s, panel);
    threshold->setObjectName(u"thresholdGroup"_s);
    auto *tv = new QGridLayout(threshold);
    m_thresholdDisplay = new QLineEdit(threshold);
    m_thresholdDisplay->setObjectName(u"thresholdDisplay"_s);
    m_thresholdDisplay->setReadOnly(true);
    m_thresholdDisplay->setFocusPolicy(Qt::NoFocus);
    m_thresholdDisplay->setFont(monospaced(font()));
    m_thresholdDisplay->setAlignment(Qt::AlignRight);
    m_thresholdDisplay->setMaximumWidth(80);
    m_thresholdSpin = new QSpinBox(threshold);
    m_thresholdSpin->setObjectName(u"thresholdSpin"_s);
    m_thresholdSpin->setRange(1, 50);
    m_thresholdSlider = new QSlider(Qt::Horizontal, threshold);
    m_thresholdSlider->setObjectName(u"thresholdSlider"_s);
    m_thresholdSlider->setRange(1, 50);
    m_thresholdSlider->setTickPosition(QSlider::TicksBelow);
    m_thresholdSlider->setTickInterval(10);
    tv->addWidget(m_thresholdDisplay, 0, 0);
    tv->addWidget(new QLabel(u"uA"_s, threshold), 0, 1);
    tv->addWidget(m_thresholdSpin, 0, 2);
    tv->addWidget(m_thresholdSlider, 1, 0, 1, 2);
    tv->addWidget(new QLabel(u"(1.0)"_s, threshold), 1, 2);
    connect(m_thresholdSpin, &QSpinBox::valueChanged, this, &MeasurementWindow::thresholdChanged);
    connect(m_thresholdSlider, &QSlider::valueChanged, this, &MeasurementWindow::thresholdChanged);
    v->addWidget(threshold);

    auto *styles = new QGroupBox(u"图示样式"_s, panel);
    styles->setObjectName(u"pictureStyleGroup"_s);
    auto *sh = new QHBoxLayout(styles);
    m_styleGroup = new QButtonGroup(this);
    const QString names[3] = {u"photoStyleRadio"_s, u"drawingStyleRadio"_s, u"compositeStyleRadio"_s};
    for (PointPictureStyle style : PointPictureStyles) {
        const int number = static_cast<int>(style);
        auto *r = new QRadioButton(pointPictureStyleCaption(style), styles);
        r->setObjectName(names[number - 1]);
        m_styleGroup->addButton(r, number);
        sh->addWidget(r);
    }
    connect(m_styleGroup, &QButtonGroup::idClicked, this, &MeasurementWindow::styleClicked);
    v->addWidget(styles);
    v->addStretch();
    return panel;
}

QWidget *MeasurementWindow::buildMeterPanel() {
    auto *panel = new QGroupBox(this);
    panel->setObjectName(u"meterPanel"_s);
    auto *g = new QGridLayout(panel);
    m_valueBar = new SegmentedBarMeter(panel);
    m_valueBar->setObjectName(u"valueBar"_s);
    m_valueBar->setRange(0, ValueBarMaximum);
    m_valueBar->setSegmentCount(40);
    m_valueBar->setZonePercents(60, 25);
    m_valueLamp = lamp(u"valueLamp"_s, panel);
    m_valueDisplay = new QLabel(panel);
    m_valueDisplay->setObjectName(u"valueDisplayLabel"_s);
    QFont vf = monospaced(font(), font().pointSize() + 3);
    vf.setBold(true);
    m_valueDisplay->setFont(vf);
    m_valueDisplay->setStyleSheet(u"color: rgb(0, 96, 0)"_s);
    g->addWidget(new QLabel(u"测量值"_s, panel), 0, 0);
    g->addWidget(m_valueBar, 0, 1);
    g->addWidget(m_valueLamp, 0, 2);
    g->addWidget(m_valueDisplay, 0, 3);
    m_pointProgress = new PointProgressBar(panel);
    m_pointProgress->setObjectName(u"pointProgressBar"_s);
    m_pointLamp = lamp(u"pointLamp"_s, panel);
    g->addWidget(new QLabel(u"完成比率"_s, panel), 1, 0);
    g->addWidget(m_pointProgress, 1, 1);
    g->addWidget(m_pointLamp, 1, 2);
    g->setColumnStretch(1, 1);
    return panel;
}

QWidget *MeasurementWindow::buildTracePanel() {
    m_tracePanel = new QGroupBox(u"测量平衡图"_s, this);
    m_tracePanel->setObjectName(u"tracePanel"_s);
    auto *h = new QHBoxLayout(m_tracePanel);
    m_traceArea = new TraceArea(m_tracePanel);
    m_traceArea->setObjectName(u"traceArea"_s);
    m_traceArea->setMinimumHeight(100);
    h->addWidget(m_traceArea, 1);
    auto *side = new QVBoxLayout;
    m_traceLamp = lamp(u"traceLamp"_s, m_tracePanel);
    side->addWidget(m_traceLamp, 0, Qt::AlignHCenter);
    side->addStretch();
    side->addWidget(new QLabel(u"Scale: 10uA"_s, m_tracePanel));
    h->addLayout(side);
    return m_tracePanel;
}

QWidget *MeasurementWindow::buildSubjectGroup() {
    m_subjectGroup = new QGroupBox(u"受测者资料"_s, this);
    m_subjectGroup->setObjectName(u"subjectGroup"_s);
    auto *g = new QGridLayout(m_subjectGroup);
    m_subjectNumber = makeValueLabel(u"subjectNumberLabel"_s, m_subjectGroup, fieldLook(140));
    m_subjectName = makeValueLabel(u"subjectNameLabel"_s, m_subjectGroup, fieldLook(140));
    m_birthDate = makeValueLabel(u"birthDateLabel"_s, m_subjectGroup, fieldLook(110));
    m_telephone = makeValueLabel(u"telephoneLabel"_s, m_subjectGroup, fieldLook(140));
    m_age = makeValueLabel(u"ageLabel"_s, m_subjectGroup, fieldLook(50));
    g->addWidget(new QLabel(u"编号:"_s, m_subjectGroup), 1, 0);
    g->addWidget(m_subjectNumber, 1, 1);
    g->addWidget(new QLabel(u"姓名:"_s, m_subjectGroup), 1, 2);
    g->addWidget(m_subjectName, 1, 3);
    g->addWidget(new QLabel(u"生日:"_s, m_subjectGroup), 1, 4);
    g->addWidget(m_birthDate, 1, 5);
    g->addWidget(new QLabel(u"电话:"_s, m_subjectGroup), 2, 0);
    g->addWidget(m_telephone, 2, 1);
    g->addWidget(new QLabel(u"年龄:"_s, m_subjectGroup), 2, 2);
    g->addWidget(m_age, 2, 3, Qt::AlignLeft);
    g->addWidget(new QLabel(u"性别:"_s, m_subjectGroup), 2, 4);
    auto *sex = new QHBoxLayout;
    m_maleRadio = new QRadioButton(u"男性"_s, m_subjectGroup);
    m_maleRadio->setObjectName(u"maleRadio"_s);
    m_femaleRadio = new QRadioButton(u"女性"_s, m_subjectGroup);
    m_femaleRadio->setObjectName(u"femaleRadio"_s);
    // They show the subject's sex; it is changed in the subject editor.
    for (QRadioButton *r : {m_maleRadio, m_femaleRadio}) {
        r->setAttribute(Qt::WA_TransparentForMouseEvents);
        r->setFocusPolicy(Qt::NoFocus);
        sex->addWidget(r);
    }
    sex->addStretch();
    g->addLayout(sex, 2, 5);
    g->setColumnStretch(6, 1);
    // The group stands in the trace panel's place, which is taller; the fields keep to its middle.
    g->setRowStretch(0, 1);
    g->setRowStretch(3, 1);
    return m_subjectGroup;
}

} // namespace orlu
