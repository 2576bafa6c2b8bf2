#include "courses/ui/coursepicture.h"

#include "core/prompter.h"

#include <QFile>
#include <QFileDialog>
#include <QPainter>

namespace orlu {

using namespace Qt::StringLiterals;

CoursePicture::CoursePicture(QWidget *parent)
    : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setMinimumSize(120, 90);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void CoursePicture::setPicture(const QByteArray &bytes) {
    m_bytes = bytes;
    m_image = QImage::fromData(bytes);
    update();
}

void CoursePicture::setOwnSize(bool ownSize) {
    m_ownSize = ownSize;
    update();
}

QRect CoursePicture::imageRect() const {
    if (m_image.isNull())
        return {};
    const QRect area = contentsRect();
    QSize size = m_image.size();
    if (!m_ownSize)
        size.scale(area.size(), Qt::KeepAspectRatio);
    QRect r(QPoint(0, 0), size);
    // Centred; a picture larger than the frame shows its middle at 1:1.
    r.moveCenter(area.center());
    return r;
}

void CoursePicture::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.setClipRect(contentsRect());
    p.setRenderHint(QPainter::SmoothPixmapTransform, !m_ownSize);
    p.drawImage(imageRect(), m_image);
}

bool readPictureFile(const QString &path, QByteArray *bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    if (QImage::fromData(data).isNull())
        return false;
    *bytes = data;
    return true;
}

void choosePicture(CoursePicture *picture, const FileChooser &chooser, Prompter &prompter) {
    const QString path = chooser(u"照片"_s, pictureFileFilter());
    if (path.isEmpty())
        return;
    QByteArray bytes;
    if (!readPictureFile(path, &bytes)) {
        prompter.showMessageBox(MessageType::NoteCaution, u"无法读取图片文件: "_s + path);
        return;
    }
    picture->setPicture(bytes);
}

FileChooser dialogFileChooser(QWidget *parent) {
    return [parent](const QString &caption, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    };
}

QString programFileFilter() {
    return u"All (*.exe *.com *.bat);;Executable File (*.exe);;Command File (*.com);;Batch File (*.bat);;"
           "All Files (*)"_s;
}

QString parameterFileFilter() {
    return u"All Files (*)"_s;
}

QString pictureFileFilter() {
    return u"Pictures (*.bmp *.png *.jpg *.jpeg *.gif);;All Files (*)"_s;
}

} // namespace orlu
