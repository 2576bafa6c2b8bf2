#include "app/ui/placeholderwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

PlaceholderWindow::PlaceholderWindow(const QString &caption, QWidget *parent)
    : QDialog(parent) {
    setObjectName(u"placeholderWindow"_s);
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(u"此功能尚未提供。"_s, this);
    text->setObjectName(u"placeholderText"_s);
    layout->addWidget(text);
    auto *close = new QPushButton(u"离  开"_s, this);
    close->setObjectName(u"closeButton"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignHCenter);
    resize(320, 120);
}

} // namespace orlu
