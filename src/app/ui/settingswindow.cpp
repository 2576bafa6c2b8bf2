#include "app/ui/settingswindow.h"

#include "app/ui/registerpage.h"
#include "widgets/toolbuttons.h"

#include "platform/launch.h"
#include "core/prompter.h"
#include "widgets/windowsetup.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

QString nativeChooseFile(QWidget *parent, const QString &caption, const QString &startPath,
                         const QString &filter) {
    return QFileDialog::getOpenFileName(parent, caption, startPath, filter);
}

// The folder of what the edit names now, so browsing starts beside it.
QString startFolderOf(const QString &text) {
    const QFileInfo info(unquotedPath(text.trimmed()));
    return !text.trimmed().isEmpty() && info.dir().exists() ? info.absolutePath() : QString();
}

QLabel *headerLabel(const QString &text) {
    auto *label = new QLabel(text);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

QString qtFileFilter(const QString &pipeFilter) {
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        const qsizetype open = description.indexOf(u'(');
        if (open >= 0 && description.endsWith(u')'))
            description = description.left(open).trimmed();
        QStringList patterns;
        for (const QString &p : parts.at(i + 1).split(u';', Qt::SkipEmptyParts))
            patterns << (p.trimmed() == u"*.*"_s ? u"*"_s : p.trimmed());
        filters << description + u" ("_s + patterns.join(u' ') + u')';
    }
    return filters.join(u";;"_s);
}

QString SettingsWindow::programFilter() {
    QString filter =
        qtFileFilter(u"All (*.exe, *.com, *.bat)|*.exe;*.com;*.bat|Executable File (*.exe)|*.exe|"
                     u"Command File (*.com)|*.com|Batch File (*.bat)|*.bat"_s);
#ifndef Q_OS_WIN
    // Programs here carry no extension; without this they could not be picked.
    filter += u";;All Files (*)"_s;
#endif
    return filter;
}

QString SettingsWindow::parameterFilter() {
    return qtFileFilter(u"All Files|*.*"_s);
}

SettingsWindow::SettingsWindow(Settings &settings, QString settingsPath, LaunchPort &launcher,
                               Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_settingsPath(std::move(settingsPath))
    , m_launcher(launcher)
    , m_prompter(prompter)
    , m_chooseFile(nativeChooseFile) {
    setUpWindow(this, {.objectName = u"settingsWindow"_s, .title = u"用户基本数据设定"_s});

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(u"toolBar"_s);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *store = makeToolButton(u"storeButton"_s, u"储存数据  "_s, u"储存用户基本数据"_s);
    connect(store, &QToolButton::clicked, this, &SettingsWindow::storeClicked);
    toolBar->addWidget(store);
    auto *leave = makeToolButton(u"leaveButton"_s, u"   离  开   "_s, u"离开基本数据异动系统"_s);
    connect(leave, &QToolButton::clicked, this, &QDialog::reject);
    toolBar->addWidget(leave);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(u"pageTabs"_s);
    m_tabs->addTab(createUserPage(), u"用户数据"_s);
    m_tabs->setTabToolTip(0, u"用户基本数据设定"_s);
    m_tabs->addTab(createLaunchPage(), u"外挂功能"_s);
    m_tabs->setTabToolTip(1, u"系统外挂执行程序设定"_s);
    m_registerPage = new RegisterPage(ProgramFolder(QFileInfo(m_settingsPath).absolutePath() + u"/"_s));
    m_tabs->addTab(m_registerPage, u"数据库"_s);
    m_tabs->setTabToolTip(2, u"多台工作站共用的数据库服务器设定"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolBar);
    layout->addWidget(m_tabs);
    resize(780, 380);

    showSettings();
}

QWidget *SettingsWindow::createUserPage() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setVerticalSpacing(14);
    struct Field {
        QLineEdit **edit;
        const char *objectName;
        QString caption;
        QString note;
    };
    const Field fields[] = {
        {&m_title, "titleEdit", u"用户名称1:"_s, u"(本数据将显示在屏幕主画面底部)"_s},
        {&m_reportTitle, "reportTitleEdit", u"用户名称2:"_s, u"(本数据将打印在报表抬头的第一行)"_s},
        {&m_userData1, "userData1Edit", u"用户数据1:"_s, u"(本数据将在打印报表时显示在第二行) "_s},
        {&m_userData2, "userData2Edit", u"用户数据2:"_s, u"(本数据将在打印报表时显示在第三行)"_s},
    };
    int row = 0;
    for (const Field &f : fields) {
        *f.edit = new QLineEdit(page);
        (*f.edit)->setObjectName(QString::fromLatin1(f.objectName));
        auto *caption = new QLabel(f.caption, page);
        caption->setBuddy(*f.edit);
        auto *note = new QLabel(f.note, page);
        note->setObjectName(QString::fromLatin1(f.objectName).replace(u"Edit"_s, u"Note"_s));
        grid->addWidget(caption, row, 0);
        grid->addWidget(*f.edit, row, 1);
        grid->addWidget(note, row + 1, 1);
        row += 2;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget *SettingsWindow::createLaunchPage() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(12, 12, 12, 12);
    // Columns: check box, hint | program, browse | parameter, browse | test.
    grid->addWidget(headerLabel(u"说明"_s), 0, 0, 1, 2);
    grid->addWidget(headerLabel(u"执行功能程序"_s), 0, 2, 1, 2);
    grid->addWidget(headerLabel(u"参数与档案"_s), 0, 4, 1, 2);
    grid->addWidget(headerLabel(u"测试"_s), 0, 6);

    for (int k = 0; k < CustomButtonCount; ++k) {
        const QString n = QString::number(k + 1);
        LaunchRow &row = m_rows[k];
        row.enabled = new QCheckBox(u"程序 "_s + n, page);
        row.enabled->setObjectName(u"enabledCheck"_s + n);
        row.hint = createLaunchEdit(u"hintEdit"_s + n);
        row.program = createLaunchEdit(u"programEdit"_s + n);
        row.parameter = createLaunchEdit(u"parameterEdit"_s + n);
        auto *browseProgram = makeToolButton(u"programBrowseButton"_s + n, u"..."_s, u"设定执行程序或功能"_s);
        auto *browseParameter =
            makeToolButton(u"parameterBrowseButton"_s + n, u"..."_s, u"设定参数或外部档案"_s);
        auto *test = makeToolButton(u"testButton"_s + n, u"测试"_s, u"连结功能测试"_s);

        QLineEdit *program = row.program;
        QLineEdit *parameter = row.parameter;
        connect(browseProgram, &QToolButton::clicked, this,
                [this, program] { browse(program, u"设定执行程序或功能"_s, programFilter()); });
        connect(browseParameter, &QToolButton::clicked, this,
                [this, parameter] { browse(parameter, u"设定参数或外部档案"_s, parameterFilter()); });
        connect(test, &QToolButton::clicked, this, [this, k] { testClicked(k); });

        const int r = k + 1;
        grid->addWidget(row.enabled, r, 0);
        grid->addWidget(row.hint, r, 1);
        grid->addWidget(row.program, r, 2);
        grid->addWidget(browseProgram, r, 3);
        grid->addWidget(row.parameter, r, 4);
        grid->addWidget(browseParameter, r, 5);
        grid->addWidget(test, r, 6);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 3);
    grid->setColumnStretch(4, 3);
    grid->setRowStretch(CustomButtonCount + 1, 1);
    return page;
}

QLineEdit *SettingsWindow::createLaunchEdit(const QString &objectName) {
    auto *edit = new QLineEdit;
    edit->setObjectName(objectName);
    // Long paths and addresses do not fit the field; the tooltip shows them whole.
    connect(edit, &QLineEdit::textChanged, edit, &QLineEdit::setToolTip);
    return edit;
}

void SettingsWindow::showSettings() {
    m_tabs->setCurrentIndex(0);
    m_title->setText(m_settings.title);
    m_reportTitle->setText(m_settings.reportTitle);
    m_userData1->setText(m_settings.userData1);
    m_userData2->setText(m_settings.userData2);
    for (int k = 0; k < CustomButtonCount; ++k) {
        const CustomLaunch &c = m_settings.custom[k];
        LaunchRow &row = m_rows[k];
        row.enabled->setChecked(customButtonTicked(m_settings.customButtonFlags, k + 1));
        // The edits' tooltips follow through textChanged.
        row.hint->setText(c.hint);
        row.program->setText(c.program);
        row.parameter->setText(c.parameter);
        // Show the start of long paths and addresses, where the drive and host are.
        for (QLineEdit *e : {row.hint, row.program, row.parameter})
            e->setCursorPosition(0);
    }
}

void SettingsWindow::browse(QLineEdit *edit, const QString &caption, const QString &filter) {
    const QString chosen = m_chooseFile(this, caption, startFolderOf(edit->text()), filter);
    if (!chosen.isEmpty())
        edit->setText(QDir::toNativeSeparators(chosen));
}

void SettingsWindow::testClicked(int row) {
    launch(m_launcher, m_rows[row].program->text().trimmed(), m_rows[row].parameter->text().trimmed());
}

void SettingsWindow::storeClicked() {
    // Build the new settings apart, so a file that cannot be written leaves
    // both the file and the settings in use as they were.
    Settings s = m_settings;
    s.title = m_title->text();
    s.reportTitle = m_reportTitle->text();
    s.userData1 = m_userData1->text();
    s.userData2 = m_userData2->text();
    s.customButtonFlags.clear();
    for (int k = 0; k < CustomButtonCount; ++k) {
        const LaunchRow &row = m_rows[k];
        s.customButtonFlags += row.enabled->isChecked() ? u'1' : u'0';
        s.custom[k] = {row.hint->text().trimmed(), row.program->text().trimmed(),
                       row.parameter->text().trimmed()};
    }
    QString error;
    if (!m_registerPage->store(&error)) {
        m_tabs->setCurrentWidget(m_registerPage);
        m_prompter.showMessageBox(MessageType::NoteCaution, error);
        return;
    }
    if (!saveSettings(m_settingsPath, s, &error)) {
        m_prompter.showMessageBox(MessageType::NoteError, error);
        return;
    }
    m_settings = s;
    emit settingsStored();
    m_prompter.showMessageBox(MessageType::NoteDone, u"用户基本数据已储存。"_s);
    accept();
}

} // namespace orlu
