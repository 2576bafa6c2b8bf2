#include "app/ui/messagedialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

MessageBoxHook &hook() {
    static MessageBoxHook h;
    return h;
}

enum Picture { QuestionPicture, CautionPicture, ImportantPicture, DonePicture };
constexpr int PictureCount = 4;

Picture pictureOf(MessageType type) {
    switch (type) {
    case MessageType::AskQuestion:
    case MessageType::NoteQuestion:
        return QuestionPicture;
    case MessageType::AskCaution:
    case MessageType::NoteCaution:
        return CautionPicture;
    case MessageType::AskImportant:
    case MessageType::NoteError:
        return ImportantPicture;
    case MessageType::NoteDone:
        return DonePicture;
    }
    return QuestionPicture;
}

// The 64 x 64 pictures: a blue question mark, a yellow caution sign, a red notice, a green tick.
QPixmap pictureFor(Picture which) {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = p.font();
    f.setPixelSize(38);
    f.setBold(true);
    p.setFont(f);
    QString glyph;
    switch (which) {
    case QuestionPicture:
        p.setPen(QPen(QColor(0, 0, 128), 2));
        p.setBrush(QColor(64, 128, 224));
        p.drawEllipse(QRectF(4, 4, 56, 56));
        glyph = u"?"_s;
        break;
    case CautionPicture: {
        p.setPen(QPen(QColor(96, 64, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(255, 208, 0));
        const QPointF triangle[] = {{32, 4}, {60, 58}, {4, 58}};
        p.drawPolygon(triangle, 3);
        glyph = u"!"_s;
        break;
    }
    case ImportantPicture:
        p.setPen(QPen(QColor(96, 0, 0), 2));
        p.setBrush(QColor(200, 32, 32));
        p.drawEllipse(QRectF(4, 4, 56, 56));
        glyph = u"i"_s;
        break;
    case DonePicture:
        p.setPen(QPen(QColor(0, 80, 0), 2));
        p.setBrush(QColor(0, 150, 60));
        p.drawEllipse(QRectF(4, 4, 56, 56));
        p.setPen(QPen(QColor(255, 255, 255), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QList<QPointF>{{18, 33}, {28, 43}, {46, 22}});
        return pm;
    }
    p.setPen(which == CautionPicture ? QColor(0, 0, 0) : QColor(255, 255, 255));
    p.drawText(QRect(0, which == CautionPicture ? 8 : 0, 64, 64), Qt::AlignCenter, glyph);
    return pm;
}

QPixmap logoPixmap() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(128, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 30, 30);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, u"ORLU"_s);
    return pm;
}

} // namespace

MessageDialog::MessageDialog(MessageType type, const QString &text, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_type(type)
    , m_text(text) {
    setObjectName(u"messageBox"_s);
    setModal(true);
    setFixedSize(385, 200);

    for (int i = 0; i < PictureCount; ++i) {
        m_picture[i] = new QLabel(this);
        m_picture[i]->setGeometry(16, 40, 64, 64);
        m_picture[i]->setPixmap(pictureFor(Picture(i)));
        m_picture[i]->hide();
    }
    m_picture[QuestionPicture]->setObjectName(u"questionPicture"_s);
    m_picture[CautionPicture]->setObjectName(u"cautionPicture"_s);
    m_picture[ImportantPicture]->setObjectName(u"importantPicture"_s);
    m_picture[DonePicture]->setObjectName(u"donePicture"_s);

    m_logo = new QLabel(this);
    m_logo->setObjectName(u"logoPicture"_s);
    m_logo->setGeometry(345, 8, 32, 32);
    m_logo->setPixmap(logoPixmap());

    m_textArea = new QTextEdit(this);
    m_textArea->setObjectName(u"messageText"_s);
    m_textArea->setGeometry(92, 32, 248, 110);
    m_textArea->setReadOnly(true);
    m_textArea->setFrameShape(QFrame::NoFrame);
    m_textArea->setFocusPolicy(Qt::NoFocus);
    m_textArea->viewport()->setAutoFillBackground(false);
    m_textArea->setStyleSheet(u"QTextEdit { background: transparent; color: rgb(128, 0, 0); }"_s);
    QFont f = m_textArea->font();
    f.setPointSize(11);
    m_textArea->setFont(f);

    // The buttons stand in one row; a type shows some of them.
    const auto button = [this](const QString &caption, const QString &name, int x) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(x, 156, 80, 28);
        return b;
    };
    m_yesButton = button(u"是"_s, u"yesButton"_s, 104);
    m_noButton = button(u"否"_s, u"noButton"_s, 200);
    m_okButton = button(u"确定"_s, u"okButton"_s, 152);
    m_saveButton = button(u"储存"_s, u"saveButton"_s, 56);
    m_discardButton = button(u"不储存"_s, u"discardButton"_s, 152);
    m_stayButton = button(u"取消"_s, u"stayButton"_s, 248);
    for (QPushButton *b : {m_yesButton, m_noButton, m_okButton, m_saveButton, m_discardButton, m_stayButton})
        b->hide();

    connect(m_saveButton, &QPushButton::clicked, this, [this] { saveChosen(SaveChoice::Save); });
    connect(m_discardButton, &QPushButton::clicked, this, [this] { saveChosen(SaveChoice::Discard); });
    connect(m_stayButton, &QPushButton::clicked, this, [this] { saveChosen(SaveChoice::Stay); });
    connect(m_yesButton, &QPushButton::clicked, this, &MessageDialog::yesClicked);
    connect(m_okButton, &QPushButton::clicked, this, &MessageDialog::yesClicked);
    connect(m_noButton, &QPushButton::clicked, this, &MessageDialog::noClicked);
}

QString MessageDialog::captionOf(MessageType type) {
    switch (type) {
    case MessageType::AskQuestion:
    case MessageType::NoteQuestion:
        return u"询问信息"_s;
    case MessageType::AskCaution:
    case MessageType::NoteCaution:
        return u"注意"_s;
    case MessageType::AskImportant:
    case MessageType::NoteError:
        return u"重要信息"_s;
    case MessageType::NoteDone:
        return u"完成信息"_s;
    }
    return u"重要信息"_s;
}

void MessageDialog::showEvent(QShowEvent *event) {
    m_result = false;
    m_saveChoice = SaveChoice::Stay;
    m_textArea->setPlainText(m_text);
    m_textArea->selectAll();
    m_textArea->setAlignment(Qt::AlignCenter);
    m_textArea->moveCursor(QTextCursor::Start);
    setWindowTitle(captionOf(m_type));
    m_picture[pictureOf(m_type)]->show();
    const bool asks = (m_type == MessageType::AskQuestion || m_type == MessageType::AskCaution ||
                       m_type == MessageType::AskImportant) &&
                      !m_offersSaving;
    m_yesButton->setVisible(asks);
    m_noButton->setVisible(asks);
    m_okButton->setVisible(!asks && !m_offersSaving);
    for (QPushButton *b : {m_saveButton, m_discardButton, m_stayButton})
        b->setVisible(m_offersSaving);
    (m_offersSaving ? m_saveButton : asks ? m_yesButton : m_okButton)->setDefault(true);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void MessageDialog::closeEvent(QCloseEvent *event) {
    // The next showing starts clean.
    for (QLabel *p : m_picture)
        p->hide();
    for (QPushButton *b : {m_yesButton, m_noButton, m_okButton, m_saveButton, m_discardButton, m_stayButton})
        b->hide();
    QDialog::closeEvent(event);
}

void MessageDialog::yesClicked() {
    m_result = true;
    close();
}

void MessageDialog::noClicked() {
    m_result = false;
    close();
}

void MessageDialog::saveChosen(SaveChoice choice) {
    m_saveChoice = choice;
    close();
}

bool showMessageBox(MessageType type, const QString &text) {
    if (hook())
        return hook()(type, text);
    MessageDialog box(type, text, QApplication::activeWindow());
    box.exec();
    return box.result();
}

SaveChoice showSaveQuestion(const QString &text) {
    if (hook())
        return hook()(MessageType::AskCaution, text) ? SaveChoice::Discard : SaveChoice::Stay;
    MessageDialog box(MessageType::AskCaution, text, QApplication::activeWindow());
    box.offerSaving();
    box.exec();
    return box.saveChoice();
}

void setMessageBoxHook(MessageBoxHook h) {
    hook() = std::move(h);
}

} // namespace orlu
