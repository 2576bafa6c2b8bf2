#include "charts/ui/printprogresswindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// A small printer: paper coming out of a grey body.
QPixmap printerPicture() {
    QPixmap picture(40, 36);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(10, 2, 20, 14);
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(2, 14, 36, 14, 3, 3);
    p.setBrush(Qt::white);
    p.drawRect(9, 24, 22, 10);
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.drawLine(12, 28, 28, 28);
    p.drawLine(12, 31, 24, 31);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 160, 0));
    p.drawEllipse(31, 17, 4, 4);
    return picture;
}

} // namespace

PrintProgressWindow::PrintProgressWindow(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(u"printProgressWindow"_s);
    setWindowTitle(u"打印"_s);
    setFixedSize(284, 104);

    auto *picture = new QLabel(this);
    picture->setObjectName(u"printerPicture"_s);
    picture->setPixmap(printerPicture());
    auto *text = new QLabel(u"分析数据打印中...."_s, this);
    text->setObjectName(u"progressLabel"_s);
    m_abortButton = new QPushButton(u"中断打印"_s, this);
    m_abortButton->setObjectName(u"abortButton"_s);
    connect(m_abortButton, &QPushButton::clicked, this, &PrintProgressWindow::abortClicked);

    auto *row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(8);
    row->addWidget(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_abortButton, 0, Qt::AlignHCenter);
}

void PrintProgressWindow::start() {
    m_aborted = false;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
}

void PrintProgressWindow::abortClicked() {
    m_aborted = true;
    emit abortRequested();
    hide();
}

} // namespace orlu
