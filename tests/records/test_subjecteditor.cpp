#include "core/daycount.h"
#include "recordfixture.h"
#include "records/subjectrepository.h"
#include "records/ui/subjecteditor.h"
#include "support/windowdriver.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

class TestSubjectEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addModeOpens_data();
    void addModeOpens();
    void numberNeedsMoreThanBlanks_data();
    void numberNeedsMoreThanBlanks();
    void addsTrimmedSubject();
    void refusesNumberInAnotherLetterCase();
    void enterInNameThenDate();
    void enterAfterChangingTheDateKeepsIt();
    void fieldLimits_data();
    void fieldLimits();
    void leavingAddsNothing();
    void modifyModeOpens();
    void modifyKeepsNameAddressTelephoneAsTyped();
    void leavingModifyDiscardsMemoEdits();
    void modifyWithBirthDateEnterOnlyMovesOn();

private:
    std::unique_ptr<RecordFixture> f;
    SubjectRepository repo() { return SubjectRepository(f->db()); }
};

void TestSubjectEditor::init() {
    f = std::make_unique<RecordFixture>();
}

void TestSubjectEditor::cleanup() {
    f.reset();
}

void TestSubjectEditor::addModeOpens_data() {
    QTest::addColumn<bool>("currentMale");
    QTest::newRow("male subject") << true;
    QTest::newRow("female subject") << false;
}

void TestSubjectEditor::addModeOpens() {
    QFETCH(bool, currentMale);
    f->current.subject.male = currentMale;
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(w.windowTitle(), u"受测者资料新增"_s);
    QCOMPARE(child<QLabel>(&w, "numberNoteLabel")->text(), u"(请务必输入)"_s);
    QCOMPARE(child<QLabel>(&w, "statusLine")->text(),
             u"新增受测者数据，编号及性别部分务必输入，其它部分则不限定。确认后请将数据储存。"_s);
    QVERIFY(!child<QToolButton>(&w, "saveButton")->isEnabled());
    QCOMPARE(child<QRadioButton>(&w, "maleRadio")->isChecked(), currentMale);
    QVERIFY(!child<QCheckBox>(&w, "birthDateCheck")->isChecked());
    QVERIFY(!child<QDateEdit>(&w, "birthDateEdit")->isEnabled());
    QCOMPARE(child<QDateEdit>(&w, "birthDateEdit")->date(), f->time.now().date());
    QVERIFY(child<QPlainTextEdit>(&w, "memoEdit")->isVisible());
    QVERIFY(!child<QPlainTextEdit>(&w, "boundMemoEdit")->isVisible());
}

void TestSubjectEditor::numberNeedsMoreThanBlanks_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("blanks") << u"   "_s << false;
    QTest::newRow("number") << u"A1"_s << true;
    QTest::newRow("number in blanks") << u" A1 "_s << true;
}

void TestSubjectEditor::numberNeedsMoreThanBlanks() {
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    type(&w, "numberEdit", typed);
    QCOMPARE(child<QToolButton>(&w, "saveButton")->isEnabled(), enabled);
}

void TestSubjectEditor::addsTrimmedSubject() {
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    type(&w, "numberEdit", u"  N001  "_s);
    type(&w, "nameEdit", u" 王小明 "_s);
    type(&w, "addressEdit", u" 北京 "_s);
    type(&w, "mobileEdit", u" 139 "_s);
    clickCheck(child<QRadioButton>(&w, "femaleRadio"));
    child<QPlainTextEdit>(&w, "memoEdit")->setPlainText(u"一\n二"_s);
    click(&w, "saveButton");
    QVERIFY(!w.isVisible());
    QVERIFY(flag);
    const auto stored = repo().fetch(w.addedKey());
    QVERIFY(stored);
    QCOMPARE(stored->subject.number, u"N001"_s);
    QCOMPARE(stored->subject.name, u"王小明"_s);
    QCOMPARE(stored->subject.address, u"北京"_s);
    QCOMPARE(stored->subject.telephone2, u"139"_s);
    QCOMPARE(stored->subject.male, false);
    QCOMPARE(stored->subject.birthDate, 0.0);
    QCOMPARE(stored->memo, u"一\r\n二"_s);
}

void TestSubjectEditor::refusesNumberInAnotherLetterCase() {
    f->addSubject(u"abc7"_s, u" 张三 "_s);
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    type(&w, "numberEdit", u"ABC7"_s);
    type(&w, "nameEdit", u"李四"_s);
    click(&w, "saveButton");
    QVERIFY(w.isVisible());
    QCOMPARE(f->tones, QList<int>{1});
    QCOMPARE(f->prompter.asked().size(), 1);
    QCOMPARE(f->prompter.asked().at(0).type, MessageType::NoteCaution);
    QCOMPARE(f->prompter.asked().at(0).text,
             u"您所输入的受测者编号已经与姓名为 [ 张三 ] 重复!!请重新指定另一个编号。"_s);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, "numberEdit"));
    QCOMPARE(f->rows(u"KYCUST"_s), 1);
}

void TestSubjectEditor::enterInNameThenDate() {
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    type(&w, "numberEdit", u"N1"_s);
    QTest::keyClick(child<QWidget>(&w, "numberEdit"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, "nameEdit"));
    typeText(child<QWidget>(&w, "nameEdit"), u"王"_s);
    QTest::keyClick(child<QWidget>(&w, "nameEdit"), Qt::Key_Return);
    auto *date = child<QDateEdit>(&w, "birthDateEdit");
    QCOMPARE(QApplication::focusWidget(), date);
    QVERIFY(child<QCheckBox>(&w, "birthDateCheck")->isChecked());
    QVERIFY(date->isEnabled());
    // The date was left as it was: no birth date after all.
    QTest::keyClick(date, Qt::Key_Return);
    QVERIFY(!child<QCheckBox>(&w, "birthDateCheck")->isChecked());
    QVERIFY(!date->isEnabled());
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, "addressEdit"));
    click(&w, "saveButton");
    QCOMPARE(repo().fetch(w.addedKey())->subject.birthDate, 0.0);
}

void TestSubjectEditor::enterAfterChangingTheDateKeepsIt() {
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    type(&w, "numberEdit", u"N1"_s);
    type(&w, "nameEdit", u"王"_s);
    QTest::keyClick(child<QWidget>(&w, "nameEdit"), Qt::Key_Return);
    auto *date = child<QDateEdit>(&w, "birthDateEdit");
    date->setDate(QDate(1990, 12, 31));
    QTest::keyClick(date, Qt::Key_Return);
    QVERIFY(child<QCheckBox>(&w, "birthDateCheck")->isChecked());
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, "addressEdit"));
    click(&w, "saveButton");
    QCOMPARE(repo().fetch(w.addedKey())->subject.birthDate, toDayCount(QDate(1990, 12, 31)));
}

void TestSubjectEditor::fieldLimits_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("limit");
    QTest::newRow("number") << u"numberEdit"_s << 15;
    // The name box holds less than the column's 50 characters.
    QTest::newRow("name") << u"nameEdit"_s << 20;
    QTest::newRow("address") << u"addressEdit"_s << 50;
    QTest::newRow("e-mail") << u"emailEdit"_s << 50;
    QTest::newRow("telephone") << u"telephoneEdit"_s << 30;
    QTest::newRow("mobile") << u"mobileEdit"_s << 30;
    QTest::newRow("fax") << u"faxEdit"_s << 30;
}

void TestSubjectEditor::fieldLimits() {
    QFETCH(QString, box);
    QFETCH(int, limit);
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    auto *edit = test::control<QLineEdit>(&w, box);
    edit->setFocus();
    QTest::keyClicks(edit, QString(limit + 5, u'9'));
    QCOMPARE(edit->text().size(), limit);
}

void TestSubjectEditor::leavingAddsNothing() {
    bool flag = true;
    SubjectEditor w(f->context, flag);
    QVERIFY(showAndActivate(&w));
    type(&w, "numberEdit", u"N1"_s);
    click(&w, "leaveButton");
    QVERIFY(!w.isVisible());
    QVERIFY(!flag);
    QCOMPARE(w.addedKey(), 0);
    QCOMPARE(f->rows(u"KYCUST"_s), 0);
}

void TestSubjectEditor::modifyModeOpens() {
    const qint64 key = f->addSubject(u"M1"_s, u"王"_s, false, 0, u"addr"_s, u"tel"_s);
    bool flag = false;
    SubjectEditor w(f->context, flag, key);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(w.windowTitle(), u"受测者数据修改"_s);
    QCOMPARE(child<QLabel>(&w, "numberNoteLabel")->text(), u"(编号数据不得修改)"_s);
    QCOMPARE(child<QLabel>(&w, "statusLine")->text(), u"修改受测者基本数据，确认后请将数据储存。"_s);
    auto *number = child<QLineEdit>(&w, "numberEdit");
    QCOMPARE(number->text(), u"M1"_s);
    QVERIFY(!number->isEnabled());
    QCOMPARE(number->focusPolicy(), Qt::NoFocus);
    QCOMPARE(child<QLineEdit>(&w, "telephoneEdit")->text(), u"tel"_s);
    QVERIFY(child<QRadioButton>(&w, "femaleRadio")->isChecked());
    QVERIFY(child<QToolButton>(&w, "saveButton")->isEnabled());
    QVERIFY(!child<QCheckBox>(&w, "birthDateCheck")->isChecked());
    QVERIFY(child<QPlainTextEdit>(&w, "boundMemoEdit")->isVisible());
    // Tabbing through the whole window never lands in the number box.
    for (int i = 0; i < 15; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != number);
    }
}

void TestSubjectEditor::modifyKeepsNameAddressTelephoneAsTyped() {
    const qint64 key = f->addSubject(u"M1"_s, u"王"_s);
    bool flag = false;
    SubjectEditor w(f->context, flag, key);
    QVERIFY(showAndActivate(&w));
    type(&w, "nameEdit", u"王小明  "_s);
    type(&w, "addressEdit", u" 上海 "_s);
    type(&w, "telephoneEdit", u" 021 "_s);
    type(&w, "mobileEdit", u"139  "_s);
    type(&w, "faxEdit", u" 020"_s);
    type(&w, "emailEdit", u" a@b "_s);
    child<QPlainTextEdit>(&w, "boundMemoEdit")->setPlainText(u"备注"_s);
    click(&w, "saveButton");
    QVERIFY(!w.isVisible());
    QVERIFY(!flag);
    const Subject s = repo().fetch(key)->subject;
    QCOMPARE(s.name, u"王小明  "_s);
    QCOMPARE(s.address, u" 上海 "_s);
    QCOMPARE(s.telephone, u" 021 "_s);
    QCOMPARE(s.telephone2, u"139"_s);
    QCOMPARE(s.telephone3, u"020"_s);
    QCOMPARE(s.email, u"a@b"_s);
    QCOMPARE(s.number, u"M1"_s);
    QCOMPARE(repo().fetch(key)->memo, u"备注"_s);
}

void TestSubjectEditor::leavingModifyDiscardsMemoEdits() {
    const qint64 key = f->addSubject(u"M1"_s, u"王"_s);
    QSqlQuery(f->db()).exec(u"UPDATE KYCUST SET MEMO = 'old'"_s);
    bool flag = false;
    SubjectEditor w(f->context, flag, key);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(child<QPlainTextEdit>(&w, "boundMemoEdit")->toPlainText(), u"old"_s);
    child<QPlainTextEdit>(&w, "boundMemoEdit")->setPlainText(u"new"_s);
    type(&w, "nameEdit", u"changed"_s);
    click(&w, "leaveButton");
    QCOMPARE(repo().fetch(key)->memo, u"old"_s);
    QCOMPARE(repo().fetch(key)->subject.name, u"王"_s);
    QVERIFY(!flag);
}

void TestSubjectEditor::modifyWithBirthDateEnterOnlyMovesOn() {
    const qint64 key = f->addSubject(u"M1"_s, u"王"_s, true, toDayCount(QDate(1970, 2, 3)));
    bool flag = false;
    SubjectEditor w(f->context, flag, key);
    QVERIFY(showAndActivate(&w));
    auto *date = child<QDateEdit>(&w, "birthDateEdit");
    QVERIFY(child<QCheckBox>(&w, "birthDateCheck")->isChecked());
    QCOMPARE(date->date(), QDate(1970, 2, 3));
    date->setFocus();
    QTest::keyClick(date, Qt::Key_Return);
    QVERIFY(child<QCheckBox>(&w, "birthDateCheck")->isChecked());
    // Switching the birth date off stores 0.
    clickCheck(child<QCheckBox>(&w, "birthDateCheck"));
    QVERIFY(!date->isEnabled());
    click(&w, "saveButton");
    QCOMPARE(repo().fetch(key)->subject.birthDate, 0.0);
}

QTEST_MAIN(TestSubjectEditor)
#include "test_subjecteditor.moc"
