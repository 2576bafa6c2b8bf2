#include "app/ui/messagedialog.h"
#include "support/controls.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestMessageDialog : public QObject {
    Q_OBJECT
private slots:
    void typeDecidesCaptionPictureButtons_data();
    void typeDecidesCaptionPictureButtons();
    void answers_data();
    void answers();
    void saveQuestionAnswers_data();
    void saveQuestionAnswers();
    void hookAnswersInsteadOfAWindow();
    void nextShowingStartsClean();
};

void TestMessageDialog::typeDecidesCaptionPictureButtons_data() {
    QTest::addColumn<MessageType>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<bool>("asks");
    QTest::newRow("AskQuestion") << MessageType::AskQuestion << u"询问信息"_s << u"questionPicture"_s << true;
    QTest::newRow("AskCaution") << MessageType::AskCaution << u"注意"_s << u"cautionPicture"_s << true;
    QTest::newRow("AskImportant") << MessageType::AskImportant << u"重要信息"_s << u"importantPicture"_s
                                  << true;
    QTest::newRow("NoteQuestion") << MessageType::NoteQuestion << u"询问信息"_s << u"questionPicture"_s
                                  << false;
    QTest::newRow("NoteCaution") << MessageType::NoteCaution << u"注意"_s << u"cautionPicture"_s << false;
    QTest::newRow("NoteError") << MessageType::NoteError << u"重要信息"_s << u"importantPicture"_s << false;
    QTest::newRow("NoteDone") << MessageType::NoteDone << u"完成信息"_s << u"donePicture"_s << false;
}

void TestMessageDialog::typeDecidesCaptionPictureButtons() {
    QFETCH(MessageType, type);
    QFETCH(QString, caption);
    QFETCH(QString, picture);
    QFETCH(bool, asks);
    MessageDialog box(type, u"第一行\n第二行"_s);
    box.show();
    QCOMPARE(box.windowTitle(), caption);
    QCOMPARE(box.size(), QSize(385, 200));
    QVERIFY(test::control<QLabel>(&box, picture)->isVisible());
    int visiblePictures = 0;
    for (const char *p : {"questionPicture", "cautionPicture", "importantPicture", "donePicture"})
        visiblePictures += test::control<QLabel>(&box, QString::fromLatin1(p))->isVisible();
    QCOMPARE(visiblePictures, 1);
    QCOMPARE(test::control<QPushButton>(&box, u"yesButton"_s)->isVisible(), asks);
    QCOMPARE(test::control<QPushButton>(&box, u"noButton"_s)->isVisible(), asks);
    QCOMPARE(test::control<QPushButton>(&box, u"okButton"_s)->isVisible(), !asks);
    QCOMPARE(test::control<QTextEdit>(&box, u"messageText"_s)->toPlainText(), u"第一行\n第二行"_s);
    box.close();
}

void TestMessageDialog::answers_data() {
    QTest::addColumn<MessageType>("type");
    QTest::addColumn<QString>("button"); // empty: the close box
    QTest::addColumn<bool>("result");
    QTest::newRow("yes") << MessageType::AskQuestion << u"yesButton"_s << true;
    QTest::newRow("no") << MessageType::AskCaution << u"noButton"_s << false;
    QTest::newRow("closed question") << MessageType::AskImportant << QString() << false;
    QTest::newRow("ok") << MessageType::NoteCaution << u"okButton"_s << true;
    QTest::newRow("closed notice") << MessageType::NoteCaution << QString() << false;
}

void TestMessageDialog::answers() {
    QFETCH(MessageType, type);
    QFETCH(QString, button);
    QFETCH(bool, result);
    MessageDialog box(type, u"?"_s);
    QTimer::singleShot(0, &box, [&] {
        if (button.isEmpty())
            box.close();
        else
            test::control<QPushButton>(&box, button)->click();
    });
    box.exec();
    QCOMPARE(box.result(), result);
}

void TestMessageDialog::saveQuestionAnswers_data() {
    QTest::addColumn<QString>("button"); // empty: the close box
    QTest::addColumn<int>("choice");
    QTest::newRow("储存") << u"saveButton"_s << int(SaveChoice::Save);
    QTest::newRow("不储存") << u"discardButton"_s << int(SaveChoice::Discard);
    QTest::newRow("取消") << u"stayButton"_s << int(SaveChoice::Stay);
    QTest::newRow("closed") << QString() << int(SaveChoice::Stay);
}

void TestMessageDialog::saveQuestionAnswers() {
    QFETCH(QString, button);
    MessageDialog box(MessageType::AskCaution, u"测量数据尚未储存。"_s);
    box.offerSaving();
    bool yesShown = true;
    QTimer::singleShot(0, &box, [&] {
        yesShown = test::control<QPushButton>(&box, u"yesButton"_s)->isVisible();
        if (button.isEmpty())
            box.close();
        else
            test::control<QPushButton>(&box, button)->click();
    });
    box.exec();
    QVERIFY(!yesShown);
    QTEST(int(box.saveChoice()), "choice");
}

void TestMessageDialog::hookAnswersInsteadOfAWindow() {
    QList<QPair<MessageType, QString>> seen;
    setMessageBoxHook([&](MessageType type, const QString &text) {
        seen.append({type, text});
        return type == MessageType::AskCaution;
    });
    QCOMPARE(showMessageBox(MessageType::AskCaution, u"您确定要结束本系统吗?"_s), true);
    QCOMPARE(MessageBoxPrompter().showMessageBox(MessageType::NoteError, u"x"_s), false);
    setMessageBoxHook({});
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].second, u"您确定要结束本系统吗?"_s);
    QCOMPARE(seen[1].first, MessageType::NoteError);
}

void TestMessageDialog::nextShowingStartsClean() {
    MessageDialog box(MessageType::AskQuestion, u"x"_s);
    box.show();
    test::control<QPushButton>(&box, u"yesButton"_s)->click();
    QVERIFY(!test::control<QPushButton>(&box, u"yesButton"_s)->isVisibleTo(&box));
    QVERIFY(!test::control<QLabel>(&box, u"questionPicture"_s)->isVisibleTo(&box));
}

QTEST_MAIN(TestMessageDialog)
#include "test_messagedialog.moc"
