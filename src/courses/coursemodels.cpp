#include "courses/coursemodels.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QVariant headerOf(const QStringList &captions, int section, Qt::Orientation orientation, int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= captions.size())
        return {};
    return captions.at(section);
}

} // namespace

CourseListModel::CourseListModel(const CourseStore &store, QObject *parent)
    : QAbstractTableModel(parent)
    , m_store(store) {}

void CourseListModel::reload() {
    beginResetModel();
    m_rows = m_store.courses();
    endResetModel();
}

int CourseListModel::rowOfNumber(const QString &proNo) const {
    for (int i = 0; i < m_rows.size(); ++i) {
        if (sameCourseNumber(m_rows[i].proNo, proNo))
            return i;
    }
    return -1;
}

int CourseListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CourseListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant CourseListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const CourseSummary &c = m_rows[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return index.row() + 1;
        case 1:
            return c.proNo;
        case 2:
            return c.name;
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CourseListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList captions{u"Index"_s, u"疗程编号"_s, u"疗程名称"_s};
    return headerOf(captions, section, orientation, role);
}

ConditionListModel::ConditionListModel(const CourseStore &store, QObject *parent)
    : QAbstractTableModel(parent)
    , m_store(store) {}

void ConditionListModel::showCourse(const QString &proNo) {
    m_proNo = proNo;
    m_hasCourse = true;
    reload();
}

void ConditionListModel::clear() {
    beginResetModel();
    m_hasCourse = false;
    m_pending = false;
    m_rows.clear();
    endResetModel();
}

void ConditionListModel::reload() {
    beginResetModel();
    m_pending = false;
    m_rows = m_hasCourse ? m_store.conditions(m_proNo) : QList<Condition>{};
    endResetModel();
}

int ConditionListModel::rowOfKey(qint64 key) const {
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].key == key)
            return i;
    }
    return -1;
}

void ConditionListModel::setPendingRow(bool pending) {
    if (pending == m_pending)
        return;
    const int row = int(m_rows.size());
    if (pending) {
        beginInsertRows({}, row, row);
        m_pending = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, row, row);
        m_pending = false;
        endRemoveRows();
    }
}

int ConditionListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size()) + (m_pending ? 1 : 0);
}

int ConditionListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ConditionListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() <= 1 ? QVariant(int(Qt::AlignCenter)) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == 0)
        return index.row() + 1;
    if (index.row() >= m_rows.size())
        return {};
    const Condition &c = m_rows[index.row()];
    switch (index.column()) {
    case 1:
        return c.rule.required ? u"X"_s : QString();
    case 2:
        return c.name;
    case 3:
        return c.note;
    }
    return {};
}

QVariant ConditionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList captions{u"Index"_s, u"必须"_s, u"条件名称"_s, u"说明"_s};
    return headerOf(captions, section, orientation, role);
}

} // namespace orlu
