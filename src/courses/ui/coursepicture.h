#pragma once

#include <QByteArray>
#include <QFrame>
#include <QImage>

#include <functional>

// The picture of a course: the stored bytes of a picture file, shown either at
// its own size or stretched to the frame (keeping its proportions, so a
// portrait photo is not distorted).
namespace orlu {

class CoursePicture : public QFrame {
    Q_OBJECT
public:
    explicit CoursePicture(QWidget *parent = nullptr);

    // Bytes that are not a readable picture show an empty frame but are kept.
    void setPicture(const QByteArray &bytes);
    const QByteArray &picture() const { return m_bytes; }
    bool hasImage() const { return !m_image.isNull(); }
    QSize imageSize() const { return m_image.size(); }

    // True: shown at its own size ("1 : 1"); false: stretched to fit.
    void setOwnSize(bool ownSize);
    bool ownSize() const { return m_ownSize; }
    // The rectangle the image is drawn into, in widget coordinates.
    QRect imageRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QByteArray m_bytes;
    QImage m_image;
    bool m_ownSize = false;
};

// Reads a picture file for storing; false when it is not a picture.
bool readPictureFile(const QString &path, QByteArray *bytes);

class Prompter;

// Asks for a file: caption and a filter in the form "Name (*.a *.b);;Other (*)".
// Returns an empty text when the operator cancels.
using FileChooser = std::function<QString(const QString &caption, const QString &filter)>;
FileChooser dialogFileChooser(QWidget *parent);

// "异动" of a picture: asks for a picture file and shows it; a file that is no
// picture is refused with a note and the picture stays as it was.
void choosePicture(CoursePicture *picture, const FileChooser &chooser, Prompter &prompter);

// File filters of the browse buttons. Programs on this system usually carry no
// extension, so the program filter ends with all files.
QString programFileFilter();
QString parameterFileFilter();
QString pictureFileFilter();

} // namespace orlu
