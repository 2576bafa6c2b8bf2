#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QListView;
class QRadioButton;
class QTableView;
class QTreeView;

namespace orlu {

class TransferPreviewModel;

// A drive box over the folder tree below the chosen drive; the chosen folder is the
// tree's current folder, or the drive itself while none is chosen.
class FolderChooser : public QWidget {
    Q_OBJECT
public:
    FolderChooser(const QString &title, const QString &objectPrefix, QWidget *parent = nullptr);

    QString folder() const { return m_folder; }
    // Chooses a folder (and the drive it lies on).
    void setFolder(const QString &folder);

signals:
    void folderChanged(const QString &folder);

private:
    void driveChosen(int index);
    void treeFolderChosen();

    QComboBox *m_driveBox = nullptr;
    QTreeView *m_tree = nullptr;
    QFileSystemModel *m_folders = nullptr;
    QString m_folder;
};

// The "汇出" page: what to export with its previews and where to.
class ExportPage : public QWidget {
    Q_OBJECT
public:
    ExportPage(TransferPreviewModel &courses, TransferPreviewModel &subjects, QWidget *parent = nullptr);

    bool coursesChosen() const;
    bool recordsChosen() const;
    QString folder() const { return m_chooser->folder(); }
    FolderChooser *chooser() const { return m_chooser; }
    // Fills the count labels from the previews' lists.
    void showCounts();

signals:
    void choiceChanged();

private:
    void showChoices();

    TransferPreviewModel &m_courses;
    TransferPreviewModel &m_subjects;
    QCheckBox *m_coursesBox = nullptr;
    QCheckBox *m_recordsBox = nullptr;
    QLabel *m_courseCount = nullptr;
    QLabel *m_subjectCount = nullptr;
    QTableView *m_courseList = nullptr;
    QTableView *m_subjectList = nullptr;
    FolderChooser *m_chooser = nullptr;
    QLabel *m_destination = nullptr;
};

// The "汇入" page: what to import, how, and from where.
class ImportPage : public QWidget {
    Q_OBJECT
public:
    explicit ImportPage(QWidget *parent = nullptr);

    bool coursesChosen() const;
    bool recordsChosen() const;
    bool replaceChosen() const;
    QString folder() const { return m_chooser->folder(); }
    FolderChooser *chooser() const { return m_chooser; }

signals:
    void choiceChanged();
    void folderChanged();

private:
    void showFolder(const QString &folder);

    QCheckBox *m_coursesBox = nullptr;
    QCheckBox *m_recordsBox = nullptr;
    QRadioButton *m_appendButton = nullptr;
    QRadioButton *m_replaceButton = nullptr;
    FolderChooser *m_chooser = nullptr;
    QListView *m_fileList = nullptr;
    QFileSystemModel *m_files = nullptr;
    QLabel *m_source = nullptr;
};

} // namespace orlu
