#include "records/ui/subjecteditor.h"

#include "core/daycount.h"
#include "core/displaycolumns.h"
#include "records/ui/recordlistwidgets.h"
#include "widgets/toolbuttons.h"
#include "widgets/windowsetup.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QLineEdit *lineEdit(QWidget *parent, const QString &name, int maxLength) {
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    return e;
}

// The short date form with a four-digit year: birth years span more than a century.
QString birthDateFormat() {
    QString f = dateTimeLocale().dateFormat(QLocale::ShortFormat);
    if (!f.contains(u"yyyy"_s))
        f.replace(u"yy"_s, u"yyyy"_s);
    return f;
}

} // namespace

SubjectEditor::SubjectEditor(const RecordContext &context, bool &addFlag, qint64 subjectKey, QWidget *parent)
    : FirstShowDialog(parent)
    , m_context(context)
    , m_addFlag(addFlag)
    , m_addMode(addFlag)
    , m_subjectKey(subjectKey)
    , m_subjects(context.records.subjects()) {
    whenFirstShown([this] { showMode(); });
    setUpWindow(this, {.objectName = u"subjectEditor"_s, .title = u"受测者资料异动"_s});

    auto *bar = new QToolBar(this);
    m_saveButton = addToolButton(bar, u"saveButton"_s, u"储存数据  "_s, u"储存受测者数据"_s);
    m_leaveButton = addToolButton(bar, u"leaveButton"_s, u"   离  开   "_s, u"离开数据储存系统"_s);

    m_numberEdit = lineEdit(this, u"numberEdit"_s, 15);
    m_numberNote = new QLabel(this);
    m_numberNote->setObjectName(u"numberNoteLabel"_s);
    m_nameEdit = lineEdit(this, u"nameEdit"_s, 20);
    m_birthDateCheck = new QCheckBox(this);
    m_birthDateCheck->setObjectName(u"birthDateCheck"_s);
    m_birthDateEdit = new QDateEdit(this);
    m_birthDateEdit->setObjectName(u"birthDateEdit"_s);
    m_birthDateEdit->setCalendarPopup(true);
    m_birthDateEdit->setDisplayFormat(birthDateFormat());
    m_birthDateEdit->setMinimumDate(QDate(1900, 1, 1));
    m_addressEdit = lineEdit(this, u"addressEdit"_s, 50);
    m_emailEdit = lineEdit(this, u"emailEdit"_s, 50);
    m_telephoneEdit = lineEdit(this, u"telephoneEdit"_s, 30);
    m_mobileEdit = lineEdit(this, u"mobileEdit"_s, 30);
    m_faxEdit = lineEdit(this, u"faxEdit"_s, 30);

    auto *fields = new QGridLayout;
    int row = 0;
    fields->addWidget(new QLabel(u"编号:"_s, this), row, 0);
    fields->addWidget(m_numberEdit, row, 1, 1, 2);
    fields->addWidget(m_numberNote, row++, 3);
    fields->addWidget(new QLabel(u"姓名:"_s, this), row, 0);
    fields->addWidget(m_nameEdit, row++, 1, 1, 3);
    fields->addWidget(new QLabel(u"生日:"_s, this), row, 0);
    fields->addWidget(m_birthDateCheck, row, 1);
    fields->addWidget(m_birthDateEdit, row++, 2, 1, 2);
    const std::pair<const char16_t *, QLineEdit *> rest[] = {{u"地址:", m_addressEdit},
                                                             {u"E-Mail:", m_emailEdit},
                                                             {u"电话:", m_telephoneEdit},
                                                             {u"行动:", m_mobileEdit},
                                                             {u"传真:", m_faxEdit}};
    for (const auto &[label, edit] : rest) {
        fields->addWidget(new QLabel(QString::fromUtf16(label), this), row, 0);
        fields->addWidget(edit, row++, 1, 1, 3);
    }
    fields->setColumnStretch(2, 1);

    auto *sexGroup = new QGroupBox(u"性别"_s, this);
    m_maleRadio = new QRadioButton(u"男  性"_s, sexGroup);
    m_maleRadio->setObjectName(u"maleRadio"_s);
    m_femaleRadio = new QRadioButton(u"女  性"_s, sexGroup);
    m_femaleRadio->setObjectName(u"femaleRadio"_s);
    m_maleRadio->setChecked(true);
    auto *sexRow = new QHBoxLayout(sexGroup);
    sexRow->addWidget(m_maleRadio);
    sexRow->addWidget(m_femaleRadio);

    auto *memoGroup = new QGroupBox(u"备注栏"_s, this);
    m_memoStack = new QStackedWidget(memoGroup);
    m_memoEdit = new QPlainTextEdit(m_memoStack);
    m_memoEdit->setObjectName(u"memoEdit"_s);
    m_boundMemoEdit = new QPlainTextEdit(m_memoStack);
    m_boundMemoEdit->setObjectName(u"boundMemoEdit"_s);
    for (QPlainTextEdit *memo : {m_memoEdit, m_boundMemoEdit}) {
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setTabChangesFocus(true);
        m_memoStack->addWidget(memo);
    }
    auto *memoLayout = new QVBoxLayout(memoGroup);
    memoLayout->addWidget(m_memoStack);

    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(u"statusLine"_s);
    m_statusLine->setWordWrap(true);
    m_statusLine->setFrameShape(QFrame::StyledPanel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addLayout(fields);
    layout->addWidget(sexGroup);
    layout->addWidget(memoGroup, 1);
    layout->addWidget(m_statusLine);
    resize(460, 520);

    QWidget::setTabOrder(m_numberEdit, m_nameEdit);
    QWidget::setTabOrder(m_nameEdit, m_birthDateCheck);
    QWidget::setTabOrder(m_birthDateCheck, m_birthDateEdit);
    QWidget::setTabOrder(m_birthDateEdit, m_addressEdit);
    QWidget::setTabOrder(m_addressEdit, m_emailEdit);
    QWidget::setTabOrder(m_emailEdit, m_telephoneEdit);
    QWidget::setTabOrder(m_telephoneEdit, m_mobileEdit);
    QWidget::setTabOrder(m_mobileEdit, m_faxEdit);
    QWidget::setTabOrder(m_faxEdit, m_maleRadio);
    QWidget::setTabOrder(m_maleRadio, m_femaleRadio);
    QWidget::setTabOrder(m_femaleRadio, m_memoEdit);
    QWidget::setTabOrder(m_memoEdit, m_boundMemoEdit);

    for (QWidget *w : std::initializer_list<QWidget *>{m_numberEdit, m_nameEdit, m_birthDateEdit,
                                                       m_addressEdit, m_emailEdit, m_telephoneEdit,
                                                       m_mobileEdit, m_faxEdit, m_maleRadio, m_femaleRadio})
        w->installEventFilter(this);

    connect(m_saveButton, &QToolButton::clicked, this, &SubjectEditor::saveClicked);
    connect(m_leaveButton, &QToolButton::clicked, this, &SubjectEditor::reject);
    connect(m_birthDateCheck, &QCheckBox::toggled, m_birthDateEdit, &QWidget::setEnabled);
    connect(m_numberEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_addMode)
            m_saveButton->setEnabled(!text.trimmed().isEmpty());
    });
}

void SubjectEditor::showMode() {
    if (m_addMode)
        showAddMode();
    else
        showModifyMode();
}

void SubjectEditor::showAddMode() {
    m_memoEdit->clear();
    m_memoStack->setCurrentWidget(m_memoEdit);
    m_boundMemoEdit->hide();
    m_memoEdit->show();
    setWindowTitle(u"受测者资料新增"_s);
    m_numberNote->setText(u"(请务必输入)"_s);
    m_numberEdit->setEnabled(true);
    m_statusLine->setText(
        u"新增受测者数据，编号及性别部分务必输入，其它部分则不限定。确认后请将数据储存。"_s);
    for (QLineEdit *e :
         {m_numberEdit, m_nameEdit, m_addressEdit, m_emailEdit, m_telephoneEdit, m_mobileEdit, m_faxEdit})
        e->clear();
    m_saveButton->setEnabled(false);
    (m_context.current.subject.male ? m_maleRadio : m_femaleRadio)->setChecked(true);
    rememberDate(m_context.clock.now());
    m_numberEdit->setFocus();
}

void SubjectEditor::showModifyMode() {
    m_memoStack->setCurrentWidget(m_boundMemoEdit);
    m_memoEdit->hide();
    m_boundMemoEdit->show();
    setWindowTitle(u"受测者数据修改"_s);
    m_numberNote->setText(u"(编号数据不得修改)"_s);
    m_numberEdit->setEnabled(false);
    m_numberEdit->setFocusPolicy(Qt::NoFocus);
    m_statusLine->setText(u"修改受测者基本数据，确认后请将数据储存。"_s);
    m_saveButton->setEnabled(true);

    m_record = m_subjects.fetch(m_subjectKey).value_or(SubjectRecord{});
    const Subject &s = m_record.subject;
    if (birthDateGiven(s.birthDate)) {
        m_remembered = QDateTime();
        m_birthDateEdit->setDate(dateOfDayCount(s.birthDate));
        setBirthDateOn(true);
    } else {
        rememberDate(m_context.clock.now());
    }
    m_emailEdit->setText(s.email);
    m_numberEdit->setText(s.number);
    m_nameEdit->setText(s.name);
    m_addressEdit->setText(s.address);
    m_telephoneEdit->setText(s.telephone);
    m_mobileEdit->setText(s.telephone2);
    m_faxEdit->setText(s.telephone3);
    (s.male ? m_maleRadio : m_femaleRadio)->setChecked(true);
    m_boundMemoEdit->setPlainText(memoToBoxText(m_record.memo));
    m_nameEdit->setFocus();
}

void SubjectEditor::rememberDate(const QDateTime &when) {
    m_remembered = when;
    m_birthDateEdit->setDate(when.date());
    setBirthDateOn(false);
}

void SubjectEditor::setBirthDateOn(bool on) {
    m_birthDateCheck->setChecked(on);
    m_birthDateEdit->setEnabled(on);
}

double SubjectEditor::birthDateValue() const {
    return m_birthDateCheck->isChecked() ? toDayCount(m_birthDateEdit->date()) : 0.0;
}

bool SubjectEditor::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return handleEnter(watched);
    }
    return QDialog::eventFilter(watched, event);
}

bool SubjectEditor::handleEnter(QObject *watched) {
    if (watched == m_nameEdit) {
        setBirthDateOn(true);
        m_birthDateEdit->setFocus();
        return true;
    }
    if (watched == m_birthDateEdit && m_remembered.isValid() &&
        m_birthDateEdit->date() == m_remembered.date()) {
        // The date was not touched: the operator does not know the birth date.
        setBirthDateOn(false);
        m_addressEdit->setFocus();
        return true;
    }
    focusNextChild();
    return true;
}

void SubjectEditor::saveClicked() {
    if (m_addMode)
        saveNew();
    else
        saveChanges();
}

void SubjectEditor::saveNew() {
    const QString number = m_numberEdit->text().trimmed();
    if (number.isEmpty())
        return;
    SubjectRecord row;
    row.subject.number = number;
    row.subject.name = m_nameEdit->text().trimmed();
    row.subject.male = m_maleRadio->isChecked();
    row.subject.birthDate = birthDateValue();
    row.subject.address = m_addressEdit->text().trimmed();
    row.subject.telephone = m_telephoneEdit->text().trimmed();
    row.subject.telephone2 = m_mobileEdit->text().trimmed();
    row.subject.telephone3 = m_faxEdit->text().trimmed();
    row.subject.email = m_emailEdit->text().trimmed();
    row.memo = memoFromBoxText(m_memoEdit->toPlainText());
    if (!m_context.records.reach(m_context.prompter))
        return;
    QString error;
    // The check for the number and the insert are one step: another seat may be adding it too.
    const SubjectRepository::AddResult added = m_subjects.appendNew(row, &error);
    if (added.existing) {
        refuseDuplicate(*added.existing);
        return;
    }
    const qint64 key = added.key;
    if (key == 0) {
        m_context.prompter.showMessageBox(MessageType::NoteError,
                                          u"受测者数据未能储存，数据库没有任何更改。\n"_s + error);
        return;
    }
    m_addedKey = key;
    m_addFlag = true;
    QDialog::accept();
}

void SubjectEditor::refuseDuplicate(const SubjectRecord &existing) {
    m_context.tone(AlertTone::Notice);
    m_context.prompter.showMessageBox(MessageType::NoteCaution, u"您所输入的受测者编号已经与姓名为 [ "_s +
                                                                    existing.subject.name.trimmed() +
                                                                    u" ] 重复!!请重新指定另一个编号。"_s);
    m_numberEdit->setFocus();
}

void SubjectEditor::saveChanges() {
    SubjectRecord row = m_record;
    row.key = m_subjectKey;
    // Name, address and telephone are kept as typed; the other boxes are trimmed.
    row.subject.name = m_nameEdit->text();
    row.subject.male = m_maleRadio->isChecked();
    row.subject.birthDate = birthDateValue();
    row.subject.address = m_addressEdit->text();
    row.subject.telephone = m_telephoneEdit->text();
    row.subject.telephone2 = m_mobileEdit->text().trimmed();
    row.subject.telephone3 = m_faxEdit->text().trimmed();
    row.subject.email = m_emailEdit->text().trimmed();
    row.memo = memoFromBoxText(m_boundMemoEdit->toPlainText());
    QString error;
    if (!m_subjects.update(row, &error, &m_record)) {
        m_context.prompter.showMessageBox(MessageType::NoteError,
                                          u"受测者数据未能储存，数据库没有任何更改。\n"_s + error);
        return;
    }
    m_addFlag = false;
    QDialog::accept();
}

void SubjectEditor::reject() {
    // Nothing is written before "储存数据": leaving drops every change, the memo's too.
    m_addFlag = false;
    QDialog::reject();
}

} // namespace orlu
