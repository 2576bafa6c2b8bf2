#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QListWidget;
class QPlainTextEdit;
class QToolButton;
class QVBoxLayout;

namespace orlu {

class SelectionPaste;

// What one of the three reference text pages holds.
struct TextPageLayout {
    int page = 3; // the page index, part of the object names of its buttons
    QString listName;
    struct Box {
        QString caption;
        QString objectName;
    };
    QList<Box> boxes; // one or two read-only text boxes, top to bottom
    struct Tool {
        QString text;
        QString objectName;
        bool visible = true;
    };
    QList<Tool> tools; // the text tool bar above the boxes, may be empty
};

// Pages "经络分析", "医方资料" and "养生建议": a list of abnormal meridians
// ("单经络分析") over the slot of the multi-meridian list ("多经络分析") on the
// left, the reference texts on the right, "全选" and "贴上" below them.
class AnalysisTextPage : public QWidget {
    Q_OBJECT
public:
    AnalysisTextPage(const TextPageLayout &layout, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QPlainTextEdit *box(int i) const { return m_boxes.at(i); }
    int boxCount() const { return static_cast<int>(m_boxes.size()); }
    QToolButton *tool(int i) const { return m_tools.at(i); }
    int toolCount() const { return static_cast<int>(m_tools.size()); }
    SelectionPaste &selection() const { return *m_selection; }

    // Puts the multi-meridian list in this page's slot.
    void holdMultiList(QListWidget *list);
    // Presses tool i and releases the others.
    void pressTool(int i);
    void setToolsEnabled(bool enabled);
    void clearBoxes();

    // Rows of the list by key: the row whose key is `key`, or -1.
    int rowOfKey(int key) const;
    int keyOfRow(int row) const;

signals:
    void toolClicked(int i);

private:
    QListWidget *m_list = nullptr;
    QList<QPlainTextEdit *> m_boxes;
    QList<QToolButton *> m_tools;
    QVBoxLayout *m_multiSlot = nullptr;
    SelectionPaste *m_selection = nullptr;
};

// The row keys are kept in this item data role.
inline constexpr int RowKeyRole = Qt::UserRole + 1;

} // namespace orlu
