#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

// Drives record windows through their widgets.
namespace orlu::test {

// Runs `act` on the next modal window that opens above `outer` (a window that
// runs exec() blocks the test until `act` closes it).
inline void onNextModal(QWidget *outer, std::function<void(QWidget *)> act, int triesLeft = 200) {
    QTimer::singleShot(5, [outer, act = std::move(act), triesLeft]() mutable {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w != outer) {
            act(w);
            return;
        }
        if (triesLeft > 0)
            onNextModal(outer, std::move(act), triesLeft - 1);
        else
            qWarning("no modal window opened");
    });
}

template <typename T = QWidget> T *child(QWidget *window, const char *name) {
    T *w = window->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

inline void click(QWidget *window, const char *button) {
    QTest::mouseClick(child<QToolButton>(window, button), Qt::LeftButton);
}

// Check boxes and radio buttons react only on their indicator and caption, at the left.
inline void clickCheck(QWidget *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

inline void clickCell(QAbstractItemView *view, int row, int column) {
    const QModelIndex i = view->model()->index(row, column);
    view->scrollTo(i);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(i).center());
}

inline void doubleClickCell(QAbstractItemView *view, int row, int column) {
    const QModelIndex i = view->model()->index(row, column);
    view->scrollTo(i);
    const QPoint at = view->visualRect(i).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Types text key by key; QTest's own key clicks know only Latin-1.
inline void typeText(QWidget *w, const QString &text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

inline void type(QWidget *window, const char *edit, const QString &text) {
    auto *e = child<QLineEdit>(window, edit);
    e->setFocus();
    e->clear();
    typeText(e, text);
}

inline bool showAndActivate(QWidget *w) {
    w->show();
    return QTest::qWaitForWindowActive(w);
}

} // namespace orlu::test
