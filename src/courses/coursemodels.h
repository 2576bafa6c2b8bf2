#pragma once

#include "courses/coursestore.h"

#include <QAbstractTableModel>

// The two read-only lists of the course window over the course store.
namespace orlu {

// "Index", "疗程编号", "疗程名称": the courses sorted by number.
class CourseListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CourseListModel(const CourseStore &store, QObject *parent = nullptr);

    void reload();
    const CourseSummary &courseAt(int row) const { return m_rows.at(row); }
    int count() const { return int(m_rows.size()); }
    // Row of the first course whose number equals `proNo`, letter case ignored; -1 if none.
    int rowOfNumber(const QString &proNo) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const CourseStore &m_store;
    QList<CourseSummary> m_rows;
};

// "Index", "必须", "条件名称", "说明": the conditions of one course. While a
// condition is being added it shows an empty row at the end for it.
class ConditionListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ConditionListModel(const CourseStore &store, QObject *parent = nullptr);

    void showCourse(const QString &proNo);
    void clear();
    void reload();
    const Condition &conditionAt(int row) const { return m_rows.at(row); }
    int count() const { return int(m_rows.size()); }
    int rowOfKey(qint64 key) const;
    void setPendingRow(bool pending);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const CourseStore &m_store;
    QString m_proNo;
    bool m_hasCourse = false;
    bool m_pending = false;
    QList<Condition> m_rows;
};

} // namespace orlu
