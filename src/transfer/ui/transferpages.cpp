#include "transfer/ui/transferpages.h"

#include "storage/databasefiles.h"
#include "records/ui/recordlistwidgets.h"
#include "transfer/transferfolders.h"
#include "transfer/transferpreviewmodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

#include <tuple>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QLabel *pathLabel(QWidget *parent, const QString &name) {
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QCheckBox *kindBox(const QString &text, const QString &name, QWidget *parent) {
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QTableView *previewList(const QString &name, TransferPreviewModel &model, QWidget *parent) {
    auto *view = new QTableView(parent);
    setUpListView(view, name);
    view->setModel(&model);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setVisible(false);
    return view;
}

} // namespace

FolderChooser::FolderChooser(const QString &title, const QString &objectPrefix, QWidget *parent)
    : QWidget(parent) {
    auto *group = new QGroupBox(title, this);
    m_driveBox = new QComboBox(group);
    m_driveBox->setObjectName(objectPrefix + u"DriveBox"_s);
    m_driveBox->addItems(transferFolderChoices());
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(u"/"_s);
    m_tree = new QTreeView(group);
    m_tree->setObjectName(objectPrefix + u"FolderTree"_s);
    m_tree->setModel(m_folders);
    for (int c = 1; c < m_folders->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->setHeaderHidden(true);
    auto *box = new QVBoxLayout(group);
    box->addWidget(m_driveBox);
    box->addWidget(m_tree, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);

    connect(m_driveBox, &QComboBox::activated, this, &FolderChooser::driveChosen);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderChooser::treeFolderChosen);
    driveChosen(0);
}

void FolderChooser::driveChosen(int index) {
    const QString drive = m_driveBox->itemText(index);
    m_tree->setRootIndex(m_folders->index(drive));
    m_tree->setCurrentIndex({});
    m_folder = drive;
    emit folderChanged(m_folder);
}

void FolderChooser::treeFolderChosen() {
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid())
        return;
    m_folder = m_folders->filePath(current);
    emit folderChanged(m_folder);
}

void FolderChooser::setFolder(const QString &folder) {
    const QString path = QDir(folder).absolutePath();
    // The drive is the longest offered place the folder lies in (the root holds them all).
    int drive = m_driveBox->count() - 1;
    for (int i = 0; i < m_driveBox->count(); ++i) {
        const QString d = m_driveBox->itemText(i);
        if ((path == d || path.startsWith(d.endsWith(u'/') ? d : d + u'/')) &&
            d.size() > m_driveBox->itemText(drive).size())
            drive = i;
    }
    m_driveBox->setCurrentIndex(drive);
    m_tree->setRootIndex(m_folders->index(m_driveBox->itemText(drive)));
    const QModelIndex at = m_folders->index(path);
    m_tree->setCurrentIndex(at);
    m_tree->scrollTo(at);
    m_folder = path;
    emit folderChanged(m_folder);
}

ExportPage::ExportPage(TransferPreviewModel &courses, TransferPreviewModel &subjects, QWidget *parent)
    : QWidget(parent)
    , m_courses(courses)
    , m_subjects(subjects) {
    auto *source = new QGroupBox(u"汇出的来源资料"_s, this);
    m_coursesBox = kindBox(u"专家疗程数据"_s, u"exportCoursesBox"_s, source);
    m_recordsBox = kindBox(u"病历检测资料"_s, u"exportRecordsBox"_s, source);
    m_courseCount = pathLabel(source, u"courseCountLabel"_s);
    m_subjectCount = pathLabel(source, u"subjectCountLabel"_s);
    m_courseCount->setVisible(false);
    m_subjectCount->setVisible(false);
    m_courseList = previewList(u"coursePreviewList"_s, courses, source);
    m_subjectList = previewList(u"subjectPreviewList"_s, subjects, source);
    // A list takes the room while its box is ticked; unticked, the boxes stay together at the top.
    auto *column = new QVBoxLayout(source);
    for (const auto &[box, count, list] : {std::tuple{m_coursesBox, m_courseCount, m_courseList},
                                           std::tuple{m_recordsBox, m_subjectCount, m_subjectList}}) {
        auto *row = new QHBoxLayout;
        row->addWidget(box);
        row->addStretch(1);
        row->addWidget(count);
        column->addLayout(row);
        column->addWidget(list, 4);
    }
    column->addStretch(1);

    m_chooser = new FolderChooser(u"汇出到下列路径"_s, u"export"_s, this);
    m_destination = pathLabel(this, u"exportDestinationLabel"_s);
    auto *right = new QVBoxLayout;
    right->addWidget(m_chooser, 1);
    right->addWidget(new QLabel(u"文件名称： KyTran.mdb"_s, this));
    auto *target = new QHBoxLayout;
    target->addWidget(new QLabel(u"汇出目的地:"_s, this));
    target->addWidget(m_destination, 1);
    right->addLayout(target);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(source, 1);
    layout->addLayout(right, 1);

    connect(m_coursesBox, &QCheckBox::toggled, this, &ExportPage::showChoices);
    connect(m_recordsBox, &QCheckBox::toggled, this, &ExportPage::showChoices);
    connect(m_chooser, &FolderChooser::folderChanged, m_destination, &QLabel::setText);
    m_destination->setText(m_chooser->folder());
}

bool ExportPage::coursesChosen() const {
    return m_coursesBox->isChecked();
}

bool ExportPage::recordsChosen() const {
    return m_recordsBox->isChecked();
}

void ExportPage::showCounts() {
    m_courseCount->setText(transferCountText(m_courses.rowCount()));
    m_subjectCount->setText(transferCountText(m_subjects.rowCount()));
}

void ExportPage::showChoices() {
    m_courseList->setVisible(coursesChosen());
    m_courseCount->setVisible(coursesChosen());
    m_subjectList->setVisible(recordsChosen());
    m_subjectCount->setVisible(recordsChosen());
    emit choiceChanged();
}

ImportPage::ImportPage(QWidget *parent)
    : QWidget(parent) {
    auto *kinds = new QGroupBox(u"汇入的数据选项"_s, this);
    m_coursesBox = kindBox(u"专家疗程数据"_s, u"importCoursesBox"_s, kinds);
    m_recordsBox = kindBox(u"病历检测资料"_s, u"importRecordsBox"_s, kinds);
    auto *kindLayout = new QVBoxLayout(kinds);
    kindLayout->addWidget(m_coursesBox);
    kindLayout->addWidget(m_recordsBox);

    auto *mode = new QGroupBox(u"汇入方式"_s, this);
    m_appendButton = new QRadioButton(u"附加至数据中"_s, mode);
    m_appendButton->setObjectName(u"appendButton"_s);
    m_appendButton->setChecked(true);
    m_replaceButton = new QRadioButton(u"取代原有数据"_s, mode);
    m_replaceButton->setObjectName(u"replaceButton"_s);
    auto *modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(m_appendButton);
    modeLayout->addWidget(m_replaceButton);

    auto *left = new QVBoxLayout;
    left->addWidget(kinds);
    left->addWidget(mode);
    left->addStretch(1);

    m_chooser = new FolderChooser(u"由下列路径汇入"_s, u"import"_s, this);
    m_files = new QFileSystemModel(this);
    m_files->setFilter(QDir::Files);
    m_files->setNameFilters({dbfile::Transfer});
    m_files->setNameFilterDisables(false);
    m_fileList = new QListView(this);
    m_fileList->setObjectName(u"transferFileList"_s);
    m_fileList->setModel(m_files);
    m_fileList->setMaximumHeight(60);
    m_source = pathLabel(this, u"importSourceLabel"_s);
    auto *right = new QVBoxLayout;
    right->addWidget(m_chooser, 1);
    right->addWidget(m_fileList);
    auto *from = new QHBoxLayout;
    from->addWidget(new QLabel(u"由此处汇入:"_s, this));
    from->addWidget(m_source, 1);
    right->addLayout(from);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    connect(m_coursesBox, &QCheckBox::clicked, this, &ImportPage::choiceChanged);
    connect(m_recordsBox, &QCheckBox::clicked, this, &ImportPage::choiceChanged);
    connect(m_chooser, &FolderChooser::folderChanged, this, &ImportPage::showFolder);
    showFolder(m_chooser->folder());
}

bool ImportPage::coursesChosen() const {
    return m_coursesBox->isChecked();
}

bool ImportPage::recordsChosen() const {
    return m_recordsBox->isChecked();
}

bool ImportPage::replaceChosen() const {
    return m_replaceButton->isChecked();
}

void ImportPage::showFolder(const QString &folder) {
    m_source->setText(folder);
    m_fileList->setRootIndex(m_files->setRootPath(folder));
    emit folderChanged();
}

} // namespace orlu
