#include "courses/ui/courseeditwindow.h"

#include "widgets/toolbuttons.h"

#include "platform/launch.h"
#include "core/prompter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// Course number, name and the launch texts keep within their columns.
constexpr int NumberSize = 12;
constexpr int NameSize = 24;
constexpr int LaunchTextSize = 150;

QLineEdit *hintedEdit(const QString &name, int maxLength) {
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    // Each box shows its whole text as its hint: the boxes are narrower than a path.
    QObject::connect(edit, &QLineEdit::textChanged, edit, &QLineEdit::setToolTip);
    return edit;
}

QToolButton *toolButton(const QString &name, const QString &text, const QString &hint,
                        QStyle::StandardPixmap icon, QWidget *owner) {
    return makeToolButton(name, text, hint, owner->style()->standardIcon(icon));
}

} // namespace

CourseEditWindow::CourseEditWindow(CourseStore &store, Prompter &prompter, LaunchPort &launcher,
                                   AlertTonePlayer tone, Mode mode, const std::optional<Course> &current,
                                   QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_prompter(prompter)
    , m_launcher(launcher)
    , m_tone(std::move(tone))
    , m_mode(mode)
    , m_current(current)
    , m_chooser(dialogFileChooser(this)) {
    setWindowTitle(u"专家疗程异动"_s);
    setObjectName(u"courseEditWindow"_s);
    buildLayout();

    if (m_mode == Mode::Change && m_current) {
        fill(*m_current);
        m_number->setEnabled(false);
    } else {
        m_mode = Mode::Add;
        fill(Course{});
        m_number->setEnabled(true);
    }
    m_saveButton->setEnabled(!m_number->text().trimmed().isEmpty());
    connect(m_number, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_saveButton->setEnabled(!text.trimmed().isEmpty()); });
}

void CourseEditWindow::buildLayout() {
    auto *layout = new QVBoxLayout(this);

    auto *bar = new QToolBar;
    m_saveButton =
        toolButton(u"saveButton"_s, u"储存数据  "_s, u"储存疗程数据"_s, QStyle::SP_DialogSaveButton, this);
    m_exitButton = toolButton(u"exitButton"_s, u"   离  开   "_s, u"离开疗程异动系统"_s,
                              QStyle::SP_DialogCloseButton, this);
    bar->addWidget(m_saveButton);
    bar->addWidget(m_exitButton);
    layout->addWidget(bar);
    connect(m_saveButton, &QToolButton::clicked, this, &CourseEditWindow::saveClicked);
    connect(m_exitButton, &QToolButton::clicked, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    auto *fields = new QGridLayout;
    m_number = new QLineEdit;
    m_number->setObjectName(u"numberEdit"_s);
    m_number->setMaxLength(NumberSize);
    m_name = new QLineEdit;
    m_name->setObjectName(u"nameEdit"_s);
    m_name->setMaxLength(NameSize);
    fields->addWidget(new QLabel(u"疗程编号:"_s), 0, 0);
    fields->addWidget(m_number, 0, 1);
    fields->addWidget(new QLabel(u"（不得重复）"_s), 0, 2);
    fields->addWidget(new QLabel(u"疗程名称:"_s), 1, 0);
    fields->addWidget(m_name, 1, 1, 1, 2);
    fields->addWidget(new QLabel(u"疗程说明"_s), 2, 0, 1, 3);
    m_description = new QPlainTextEdit;
    m_description->setObjectName(u"descriptionEdit"_s);
    fields->addWidget(m_description, 3, 0, 1, 3);
    fields->setRowStretch(3, 1);
    top->addLayout(fields, 3);

    auto *pictureGroup = new QGroupBox(u"照片"_s);
    auto *pictureLayout = new QGridLayout(pictureGroup);
    m_picture = new CoursePicture;
    m_picture->setObjectName(u"picture"_s);
    m_picture->setMinimumSize(200, 150);
    auto *load = new QPushButton(u"异动"_s);
    load->setObjectName(u"loadPictureButton"_s);
    auto *clear = new QPushButton(u"X"_s);
    clear->setObjectName(u"clearPictureButton"_s);
    m_ownSize = new QCheckBox(u"原图大小( 1 : 1 )"_s);
    m_ownSize->setObjectName(u"ownSizeCheck"_s);
    pictureLayout->addWidget(m_picture, 0, 0, 1, 3);
    pictureLayout->addWidget(load, 1, 0);
    pictureLayout->addWidget(clear, 1, 1);
    pictureLayout->addWidget(m_ownSize, 1, 2);
    top->addWidget(pictureGroup, 2);
    layout->addLayout(top, 1);
    connect(load, &QPushButton::clicked, this, &CourseEditWindow::loadPictureClicked);
    connect(clear, &QPushButton::clicked, this, &CourseEditWindow::clearPictureClicked);
    connect(m_ownSize, &QCheckBox::toggled, m_picture, &CoursePicture::setOwnSize);

    layout->addWidget(buildLaunchRows());
    resize(820, 600);
}

QWidget *CourseEditWindow::buildLaunchRows() {
    auto *box = new QGroupBox;
    auto *grid = new QGridLayout(box);
    const QString heads[] = {u"说明"_s, u"执行功能程序"_s, u"参数与档案"_s, u"测试"_s};
    grid->addWidget(new QLabel(heads[0]), 0, 1);
    grid->addWidget(new QLabel(heads[1]), 0, 2, 1, 2);
    grid->addWidget(new QLabel(heads[2]), 0, 4, 1, 2);
    grid->addWidget(new QLabel(heads[3]), 0, 6);
    for (int k = 1; k <= LaunchButtonCount; ++k) {
        const QString n = QString::number(k);
        auto *check = new QCheckBox(u"程序 "_s + n);
        check->setObjectName(u"launchCheck"_s + n);
        m_launchChecks[k - 1] = check;
        m_hints[k - 1] = hintedEdit(u"hintEdit"_s + n, LaunchTextSize);
        m_programs[k - 1] = hintedEdit(u"programEdit"_s + n, LaunchTextSize);
        m_parameters[k - 1] = hintedEdit(u"parameterEdit"_s + n, LaunchTextSize);
        auto browse = [](const QString &name, const QString &hint) {
            return makeToolButton(name, u"..."_s, hint);
        };
        QToolButton *programBrowse = browse(u"programBrowseButton"_s + n, u"设定执行程序或功能"_s);
        QToolButton *parameterBrowse = browse(u"parameterBrowseButton"_s + n, u"设定参数或外部档案"_s);
        QToolButton *test = makeToolButton(u"testButton"_s + n, QString(), u"连结功能测试"_s);
        test->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
        grid->addWidget(check, k, 0);
        grid->addWidget(m_hints[k - 1], k, 1);
        grid->addWidget(m_programs[k - 1], k, 2);
        grid->addWidget(programBrowse, k, 3);
        grid->addWidget(m_parameters[k - 1], k, 4);
        grid->addWidget(parameterBrowse, k, 5);
        grid->addWidget(test, k, 6);
        QLineEdit *program = m_programs[k - 1];
        QLineEdit *parameter = m_parameters[k - 1];
        connect(programBrowse, &QToolButton::clicked, this,
                [this, program] { browseClicked(program, u"设定执行程序或功能"_s, programFileFilter()); });
        connect(parameterBrowse, &QToolButton::clicked, this, [this, parameter] {
            browseClicked(parameter, u"设定参数或外部档案"_s, parameterFileFilter());
        });
        connect(test, &QToolButton::clicked, this, [this, k] { testClicked(k); });
    }
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 3);
    grid->setColumnStretch(4, 3);
    return box;
}

void CourseEditWindow::fill(const Course &c) {
    m_number->setText(c.proNo);
    m_name->setText(c.name);
    m_description->setPlainText(c.description);
    m_picture->setPicture(c.picture);
    m_ownSize->setChecked(c.scaled);
    m_picture->setOwnSize(c.scaled);
    for (int k = 0; k < LaunchButtonCount; ++k) {
        m_launchChecks[k]->setChecked(c.launchEnabled(k + 1));
        m_hints[k]->setText(c.hints[k]);
        m_programs[k]->setText(c.programs[k]);
        m_parameters[k]->setText(c.parameters[k]);
    }
}

Course CourseEditWindow::course() const {
    Course c = m_current && m_mode == Mode::Change ? *m_current : Course{};
    if (m_mode == Mode::Add)
        c.proNo = m_number->text().trimmed();
    c.name = m_name->text();
    c.description = m_description->toPlainText();
    c.picture = m_picture->picture();
    c.scaled = m_ownSize->isChecked();
    c.launchFlags.clear();
    for (int k = 0; k < LaunchButtonCount; ++k) {
        c.launchFlags += m_launchChecks[k]->isChecked() ? u'1' : u'0';
        c.hints[k] = m_hints[k]->text();
        c.programs[k] = m_programs[k]->text();
        c.parameters[k] = m_parameters[k]->text();
    }
    return c;
}

void CourseEditWindow::saveClicked() {
    Course c = course();
    if (m_mode == Mode::Add) {
        if (const std::optional<CourseSummary> other = m_store.findByNumber(c.proNo)) {
            if (m_tone)
                m_tone(AlertTone::Notice);
            m_prompter.showMessageBox(MessageType::NoteCaution, u"您所输入的群组编号已经与另一群组 [ "_s +
                                                                    other->name.trimmed() +
                                                                    u" ] 重复!!请重新指定另一个编号。"_s);
            m_number->setFocus();
            return;
        }
        if (!m_store.addCourse(c)) {
            m_prompter.showMessageBox(MessageType::NoteError, u"疗程数据储存失败: "_s + m_store.lastError());
            return;
        }
        m_addedNumber = c.proNo;
    } else if (!m_store.updateCourse(c)) {
        m_prompter.showMessageBox(MessageType::NoteError, u"疗程数据储存失败: "_s + m_store.lastError());
        return;
    }
    accept();
}

void CourseEditWindow::loadPictureClicked() {
    choosePicture(m_picture, m_chooser, m_prompter);
}

void CourseEditWindow::clearPictureClicked() {
    m_picture->setPicture({});
}

void CourseEditWindow::browseClicked(QLineEdit *edit, const QString &caption, const QString &filter) {
    const QString path = m_chooser(caption, filter);
    if (!path.isEmpty())
        edit->setText(path);
}

void CourseEditWindow::testClicked(int k) {
    launch(m_launcher, m_programs[k - 1]->text().trimmed(), m_parameters[k - 1]->text().trimmed());
}

} // namespace orlu
