#pragma once

#include "support/controls.h"
#include "widgets/screenfit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

// Drives record windows through their widgets.
namespace orlu::test {

template <typename T = QWidget> T *child(QWidget *window, const char *name) {
    return control<T>(window, QString::fromLatin1(name));
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

// The window's layout asks for no more than a 1366 x 768 laptop screen leaves it, so
// nothing of it (a status line at the foot) is out of sight there.
inline bool fitsSmallScreen(const QWidget *w) {
    const QSize needed = w->minimumSizeHint().expandedTo(w->minimumSize());
    return needed.boundedTo(SmallScreenRoom) == needed;
}

} // namespace orlu::test
