#include "analysis/ui/analysiscoursepage.h"

#include "analysis/ui/analysiswidgets.h"
#include "analysis/ui/selectionpaste.h"
#include "platform/launch.h"
#include "courses/ui/coursepicture.h"
#include "widgets/toolbuttons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

AnalysisCoursePage::AnalysisCoursePage(LaunchPort &launcher, QWidget *parent)
    : QWidget(parent)
    , m_launcher(launcher) {
    setObjectName(u"coursePage"_s);

    auto *left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(makeLabel(u"疗程项目"_s, this));
    m_list = new QListWidget(this);
    m_list->setObjectName(u"courseList"_s);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    left->addWidget(m_list, 2);
    m_picture = new CoursePicture(this);
    m_picture->setObjectName(u"coursePicture"_s);
    left->addWidget(m_picture, 3);

    auto *right = new QVBoxLayout;
    right->setSpacing(2);
    right->addWidget(makeLabel(u"疗程说明"_s, this));
    m_text = makeTextBox(u"courseText"_s, this);
    right->addWidget(m_text, 1);

    auto *bottom = new QHBoxLayout;
    m_scale = makeLabel({}, this, u"scaleLabel"_s);
    QFont small = m_scale->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_scale->setFont(small);
    setTextColour(m_scale, QColor(255, 0, 0));
    m_scale->setMinimumWidth(34);
    bottom->addWidget(m_scale);
    bottom->addSpacing(8);
    bottom->addWidget(makeLabel(u"说明:"_s, this));
    const std::array<QStyle::StandardPixmap, LaunchButtonCount> icons{
        QStyle::SP_MediaPlay, QStyle::SP_FileIcon, QStyle::SP_DirOpenIcon, QStyle::SP_ComputerIcon};
    for (int k = 1; k <= LaunchButtonCount; ++k) {
        QToolButton *b = makeToolButton(indexedName("launchButton", k), {}, {}, this);
        b->setIcon(style()->standardIcon(icons[static_cast<std::size_t>(k - 1)]));
        b->setIconSize(QSize(20, 20));
        b->setEnabled(false);
        connect(b, &QToolButton::clicked, this, [this, k] { launchButtonClick(k); });
        m_launch[static_cast<std::size_t>(k - 1)] = b;
        bottom->addWidget(b);
    }
    bottom->addStretch();
    m_selection = addSelectionButtons({m_text}, 6, bottom, this);
    right->addLayout(bottom);

    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(4, 4, 4, 4);
    columns->setSpacing(8);
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &AnalysisCoursePage::courseSelected);
}

void AnalysisCoursePage::setCourses(const QStringList &names) {
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        m_list->addItems(names);
    }
    if (names.isEmpty()) {
        showCourse({});
        m_text->setPlainText(u"没有符合的疗程"_s);
        return;
    }
    m_list->setCurrentRow(0);
}

void AnalysisCoursePage::courseSelected() {
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (!selected.isEmpty())
        showCourse(selected.first()->text());
}

void AnalysisCoursePage::showCourse(const QString &name) {
    m_course.reset();
    if (!name.isNull() && m_store) {
        if (const std::optional<qint64> key = m_store->keyByName(name))
            m_course = m_store->course(*key);
    }
    if (!m_course) {
        m_text->clear();
        m_picture->setPicture({});
        m_picture->hide();
        m_scale->clear();
        for (QToolButton *b : m_launch) {
            b->setEnabled(false);
            b->setToolTip({});
        }
        return;
    }
    const Course &c = *m_course;
    showText(m_text, c.description);
    m_picture->setPicture(c.picture);
    m_picture->setOwnSize(c.scaled);
    m_picture->show();
    m_scale->setText(c.scaled ? u"Scale"_s : u"Fit"_s);
    for (int k = 1; k <= LaunchButtonCount; ++k) {
        QToolButton *b = m_launch[static_cast<std::size_t>(k - 1)];
        b->setEnabled(c.launchEnabled(k));
        b->setToolTip(c.hints[static_cast<std::size_t>(k - 1)]);
    }
}

void AnalysisCoursePage::launchButtonClick(int k) {
    if (!m_course)
        return;
    const auto i = static_cast<std::size_t>(k - 1);
    launch(m_launcher, m_course->programs[i].trimmed(), m_course->parameters[i].trimmed());
}

} // namespace orlu
