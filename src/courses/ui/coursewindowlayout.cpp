// The controls of the course window and where they sit.
#include "courses/coursemodels.h"

#include "courses/ui/conditioneditor.h"
#include "courses/ui/coursewindow.h"
#include "widgets/toolbuttons.h"
#include "widgets/screenfit.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int ConditionNameSize = 24;
constexpr int ConditionNoteSize = 50;

QTableView *listView(const QString &name, QAbstractItemModel *model) {
    auto *view = new QTableView;
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setHighlightSections(false);
    view->setAlternatingRowColors(true);
    return view;
}

} // namespace

void CourseWindow::buildLayout() {
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(buildToolBar());

    auto *body = new QHBoxLayout;
    body->addWidget(buildListColumn(), 5);

    auto *right = new QVBoxLayout;
    auto *top = new QHBoxLayout;
    top->addWidget(buildCourseData(), 3);
    top->addWidget(buildPictureBox(), 2);
    right->addLayout(top);
    m_editor = new ConditionEditor;
    m_editor->setObjectName(u"conditionEditor"_s);
    right->addWidget(m_editor);
    right->addWidget(new QLabel(u"疗程说明"_s));
    m_description = new QPlainTextEdit;
    m_description->setObjectName(u"descriptionEdit"_s);
    m_description->setMinimumHeight(70);
    right->addWidget(m_description, 1);
    body->addLayout(right, 9);
    layout->addLayout(body, 1);

    m_statusLabel = new QLabel;
    m_statusLabel->setObjectName(u"statusLabel"_s);
    m_statusLabel->setFrameShape(QFrame::Panel);
    m_statusLabel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(m_statusLabel);
    resizeWithinScreen(this, QSize(1280, 740));
}

QWidget *CourseWindow::buildToolBar() {
    auto *bar = new QToolBar;
    bar->setIconSize(QSize(20, 20));
    auto button = [this, bar](const QString &name, const QString &text, const QString &hint,
                              QStyle::StandardPixmap icon) {
        QToolButton *b = makeToolButton(name, text, hint, style()->standardIcon(icon));
        bar->addWidget(b);
        return b;
    };
    m_addCourse =
        button(u"addCourseButton"_s, u"新增疗程"_s, u"新增专家疗程"_s, QStyle::SP_FileDialogNewFolder);
    m_changeCourse =
        button(u"changeCourseButton"_s, u"修改疗程"_s, u"修改专家疗程"_s, QStyle::SP_FileDialogDetailedView);
    m_deleteCourse =
        button(u"deleteCourseButton"_s, u"删除疗程"_s, u"删除一笔专家疗程"_s, QStyle::SP_TrashIcon);
    bar->addSeparator();
    m_addCondition = button(u"addConditionButton"_s, u"新增条件"_s, u"新增一笔疗程判断条件判断条件"_s,
                            QStyle::SP_FileIcon);
    m_changeCondition = button(u"changeConditionButton"_s, u"修改条件"_s, u"修改疗程判断条件内容"_s,
                               QStyle::SP_FileDialogContentsView);
    m_deleteCondition = button(u"deleteConditionButton"_s, u"删除条件"_s, u"删除一笔疗程判断条件"_s,
                               QStyle::SP_DialogDiscardButton);
    bar->addSeparator();
    m_confirm = button(u"confirmButton"_s, u"确认异动"_s, u"确认异动数据"_s, QStyle::SP_DialogApplyButton);
    m_abandon = button(u"abandonButton"_s, u"放  弃"_s, u"放弃资料的异动"_s, QStyle::SP_DialogCancelButton);
    bar->addSeparator();
    m_exit = button(u"exitButton"_s, u"离  开"_s, u"离开本系统"_s, QStyle::SP_DialogCloseButton);

    connect(m_addCourse, &QToolButton::clicked, this, &CourseWindow::addCourseClicked);
    connect(m_changeCourse, &QToolButton::clicked, this, &CourseWindow::changeCourseClicked);
    connect(m_deleteCourse, &QToolButton::clicked, this, &CourseWindow::deleteCourseClicked);
    connect(m_addCondition, &QToolButton::clicked, this, &CourseWindow::addConditionClicked);
    connect(m_changeCondition, &QToolButton::clicked, this, &CourseWindow::changeConditionClicked);
    connect(m_deleteCondition, &QToolButton::clicked, this, &CourseWindow::deleteConditionClicked);
    connect(m_confirm, &QToolButton::clicked, this, &CourseWindow::confirmClicked);
    connect(m_abandon, &QToolButton::clicked, this, &CourseWindow::abandonClicked);
    connect(m_exit, &QToolButton::clicked, this, &QDialog::reject);
    return bar;
}

QWidget *CourseWindow::buildListColumn() {
    auto *column = new QWidget;
    column->setMinimumWidth(340);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(u"疗程总计:"_s));
    m_countLabel = new QLabel;
    m_countLabel->setObjectName(u"countLabel"_s);
    countRow->addWidget(m_countLabel, 1);
    layout->addLayout(countRow);

    m_courseList = listView(u"courseList"_s, m_courseModel);
    m_courseList->setColumnWidth(0, 44);
    m_courseList->setColumnWidth(1, 96);
    layout->addWidget(m_courseList, 3);

    layout->addWidget(new QLabel(u"疗程条件"_s));
    m_conditionList = listView(u"conditionList"_s, m_conditionModel);
    m_conditionList->setColumnWidth(0, 44);
    m_conditionList->setColumnWidth(1, 36);
    m_conditionList->setColumnWidth(2, 120);
    layout->addWidget(m_conditionList, 2);

    auto *launchRow = new QHBoxLayout;
    launchRow->addWidget(new QLabel(u"自订功能键："_s));
    for (int k = 1; k <= LaunchButtonCount; ++k) {
        QToolButton *b = makeToolButton(u"launchButton"_s + QString::number(k), {}, {});
        b->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
        b->setIconSize(QSize(22, 22));
        b->setAutoRaise(false);
        m_launchButtons[k - 1] = b;
        launchRow->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, k] { launchClicked(k); });
    }
    launchRow->addStretch();
    layout->addLayout(launchRow);

    m_courseList->installEventFilter(this);
    m_conditionList->installEventFilter(this);
    return column;
}

QWidget *CourseWindow::buildCourseData() {
    auto *group = new QGroupBox(u"疗程资料"_s);
    group->setObjectName(u"courseDataGroup"_s);
    auto *form = new QFormLayout(group);
    m_courseNo = new QLabel;
    m_courseNo->setObjectName(u"courseNoLabel"_s);
    m_courseName = new QLabel;
    m_courseName->setObjectName(u"courseNameLabel"_s);
    for (QLabel *l : {m_courseNo, m_courseName}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(160);
    }
    m_conditionName = new QLineEdit;
    m_conditionName->setObjectName(u"conditionNameEdit"_s);
    m_conditionName->setMaxLength(ConditionNameSize);
    m_conditionNote = new QLineEdit;
    m_conditionNote->setObjectName(u"conditionNoteEdit"_s);
    m_conditionNote->setMaxLength(ConditionNoteSize);
    m_required = new QCheckBox(u"必须条件"_s);
    m_required->setObjectName(u"requiredCheck"_s);
    form->addRow(u"疗程编号:"_s, m_courseNo);
    form->addRow(u"疗程名称:"_s, m_courseName);
    form->addRow(u"条件名称:"_s, m_conditionName);
    form->addRow(u"条件说明:"_s, m_conditionNote);
    form->addRow(QString(), m_required);
    m_courseData = group;
    return group;
}

QWidget *CourseWindow::buildPictureBox() {
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 6, 0, 0);
    m_picture = new CoursePicture;
    m_picture->setObjectName(u"picture"_s);
    m_picture->setMinimumSize(180, 130);
    layout->addWidget(m_picture, 1);
    auto *buttons = new QHBoxLayout;
    m_loadPicture = new QPushButton(u"异动"_s);
    m_loadPicture->setObjectName(u"loadPictureButton"_s);
    m_clearPicture = new QPushButton(u"X"_s);
    m_clearPicture->setObjectName(u"clearPictureButton"_s);
    m_clearPicture->setMaximumWidth(32);
    m_scale = new QCheckBox;
    m_scale->setObjectName(u"scaleCheck"_s);
    m_scale->setToolTip(u"Scaled  1 : 1"_s);
    buttons->addWidget(m_loadPicture);
    buttons->addWidget(m_clearPicture);
    buttons->addWidget(m_scale);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_loadPicture, &QPushButton::clicked, this, &CourseWindow::loadPictureClicked);
    connect(m_clearPicture, &QPushButton::clicked, this, &CourseWindow::clearPictureClicked);
    connect(m_scale, &QCheckBox::toggled, m_picture, &CoursePicture::setOwnSize);
    return box;
}

} // namespace orlu
