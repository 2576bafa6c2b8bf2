#include "app/ui/windowtour.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const int StepMs = 150;

QWidget *visibleWidget(const QString &name) {
    // The active modal window first: a name may be on a window beneath it too.
    QList<QWidget *> windows;
    if (QWidget *modal = QApplication::activeModalWidget())
        windows << modal;
    windows << QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->isVisible())
            continue;
        if (window->objectName() == name)
            return window;
        const QList<QWidget *> found = window->findChildren<QWidget *>(name);
        for (QWidget *w : found)
            if (w->isVisible())
                return w;
    }
    return nullptr;
}

QWidget *activeWindow() {
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

WindowTour *WindowTour::startFromEnvironment(QObject *parent) {
    const QString script = qEnvironmentVariable("ORLU_WINDOW_TOUR");
    if (script.isEmpty())
        return nullptr;
    QFile file(script);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "orlu: window tour %s cannot be read\n", qPrintable(script));
        std::exit(3);
    }
    const QString pictures = qEnvironmentVariable("ORLU_WINDOW_TOUR_PICTURES", QDir::currentPath());
    return new WindowTour(QString::fromUtf8(file.readAll()).split(u'\n'), pictures, parent);
}

WindowTour::WindowTour(QStringList lines, QString pictures, QObject *parent)
    : QObject(parent)
    , m_lines(std::move(lines))
    , m_pictures(std::move(pictures)) {
    // A timer runs in the event loop of whichever modal window is open.
    connect(&m_timer, &QTimer::timeout, this, &WindowTour::step);
    m_timer.start(StepMs);
}

void WindowTour::step() {
    while (m_next < m_lines.size()) {
        const QString line = m_lines[m_next].section(u'#', 0, 0).simplified();
        if (line.isEmpty()) {
            ++m_next;
            continue;
        }
        if (!run(line.split(u' ')))
            return;
        m_waitingSince = -1;
        ++m_next;
        return; // one step a tick, so what a step starts can happen
    }
    m_timer.stop();
}

bool WindowTour::run(const QStringList &words) {
    const QString &verb = words[0];
    const QString name = words.value(1);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_waitingSince < 0)
        m_waitingSince = now;
    const auto waited = [&](int defaultSeconds) {
        const int seconds = words.size() > 2 ? words[2].toInt() : defaultSeconds;
        if (now - m_waitingSince > seconds * 1000LL)
            fail(u"waited %1 s in vain"_s.arg(seconds));
        return false;
    };
    if (verb == u"wait-for") {
        QWidget *w = visibleWidget(name);
        return (w && w->isWindow()) || waited(20);
    }
    if (verb == u"wait-enabled") {
        QWidget *w = visibleWidget(name);
        return (w && w->isEnabled()) || waited(20);
    }
    if (verb == u"pause")
        return now - m_waitingSince >= name.toInt();
    if (verb == u"click") {
        auto *button = qobject_cast<QAbstractButton *>(visibleWidget(name));
        if (!button || !button->isEnabled())
            return waited(10);
        // Posted: a button that opens a modal window returns only when it closes.
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        return true;
    }
    if (verb == u"menu") {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            for (QAction *a : window->findChildren<QAction *>()) {
                if (window->isVisible() && a->text() == name && a->isEnabled()) {
                    QMetaObject::invokeMethod(a, &QAction::trigger, Qt::QueuedConnection);
                    return true;
                }
            }
        }
        return waited(10);
    }
    if (verb == u"set" && words.size() == 4) {
        QWidget *w = visibleWidget(name);
        if (!w)
            return waited(10);
        if (!w->setProperty(words[2].toUtf8().constData(), QVariant(words[3])))
            fail(u"%1 has no property %2"_s.arg(name, words[2]));
        return true;
    }
    if (verb == u"shot") {
        QWidget *w = words.size() > 2 ? visibleWidget(words[2]) : activeWindow();
        if (!w)
            return waited(10);
        const QString file = QDir(m_pictures).filePath(name + u".png"_s);
        if (!w->grab().save(file))
            fail(u"%1 cannot be written"_s.arg(file));
        return true;
    }
    if (verb == u"close") {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        return true;
    }
    if (verb == u"quit") {
        std::fflush(stdout);
        std::_Exit(0);
    }
    fail(u"unknown step"_s);
    return false;
}

void WindowTour::fail(const QString &why) {
    std::fprintf(stderr, "orlu: window tour line %d (%s): %s\n", m_next + 1, qPrintable(m_lines[m_next]),
                 qPrintable(why));
    std::_Exit(3);
}

} // namespace orlu
