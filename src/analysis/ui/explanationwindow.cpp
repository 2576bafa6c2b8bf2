#include "analysis/ui/explanationwindow.h"

#include "analysis/textblocks.h"
#include "analysis/textstore.h"
#include "analysis/ui/analysiswidgets.h"
#include "core/channels.h"
#include "widgets/statusbars.h"
#include "widgets/windowsetup.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int LeftColumnWidth = 232;
constexpr QSize DiagramFrame{400, 500}; // the proportions the diagrams are drawn in

// The box indexes of m_boxes.
enum Box : std::size_t {
    MainText,
    ExcessText,
    DeficiencyText,
    RyodorakuExcess,
    RyodorakuDeficiency,
    PrescriptionExcess,
    PrescriptionDeficiency,
    DietExcess,
    DietDeficiency,
};

// What the lines and dots of a diagram mean, drawn in the diagram's own colours.
class DiagramLegend : public QWidget {
public:
    explicit DiagramLegend(QWidget *parent)
        : QWidget(parent) {
        setObjectName(u"diagramLegend"_s);
        setFixedHeight(26);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), Qt::white);
        p.setPen(QColor(200, 200, 200));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const int y = height() / 2;
        int x = 10;
        auto caption = [&](const QString &text) {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(QRect(x, 0, 80, height()), Qt::AlignLeft | Qt::AlignVCenter, text);
            x += p.fontMetrics().horizontalAdvance(text) + 22;
        };
        for (const auto &[colour, text] :
             {std::pair{QColor(30, 80, 200), u"阴经循行"_s}, std::pair{QColor(200, 60, 30), u"阳经循行"_s}}) {
            p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(x, y, x + 26, y);
            x += 32;
            caption(text);
        }
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(QColor(230, 0, 0));
        p.drawEllipse(QPointF(x + 5, y), 5, 5);
        x += 16;
        caption(u"测定点"_s);
    }
};

// The point texts carry their location and run over several lines.
QLabel *fieldLabel(const QString &objectName, QWidget *parent) {
    QLabel *label = makeValueLabel(objectName, parent);
    label->setMinimumWidth(40);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

const std::array<QString, 12> &ExplanationWindow::meridianRows() {
    static const std::array<QString, 12> rows = [] {
        std::array<QString, 12> r;
        for (int m = 1; m <= MeridianCount; ++m) {
            const QString number = m < 10 ? u" %1. "_s.arg(m) : u"%1."_s.arg(m);
            r[static_cast<std::size_t>(m - 1)] = number + meridianFullCaption(m, NameSpacing::FullWidth);
        }
        return r;
    }();
    return rows;
}

ExplanationWindow::ExplanationWindow(ReferenceTextStore texts, QWidget *parent)
    : FirstShowDialog(parent)
    , m_store(std::move(texts)) {
    whenFirstShown([this] { fillMeridianList(); });
    setUpWindow(this, {.objectName = u"explanationWindow"_s,
                       .title = u"经络图示解说"_s,
                       .modal = false,
                       .fixedSize = QSize(783, 570)});

    auto *tools = new QToolBar(this);
    tools->setObjectName(u"toolBar"_s);
    auto *close = new QPushButton(u"  离  开  "_s, tools);
    close->setObjectName(u"closeButton"_s);
    close->setToolTip(u"离开本系统"_s);
    close->setAutoDefault(false);
    tools->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"pageTabs"_s);
    m_pages->addTab(createDiagramPage(), u"经络图例"_s);
    m_pages->addTab(createTextPage(MainText, {u"mainText"_s, u"excessText"_s, u"deficiencyText"_s}),
                    u"经络资料"_s);
    m_pages->addTab(createTextPage(RyodorakuExcess, {u"ryodorakuExcessText"_s, u"ryodorakuDeficiencyText"_s}),
                    u"良导络资料"_s);
    m_pages->addTab(
        createTextPage(PrescriptionExcess, {u"prescriptionExcessText"_s, u"prescriptionDeficiencyText"_s}),
        u"医方资料"_s);
    m_pages->addTab(createTextPage(DietExcess, {u"dietExcessText"_s, u"dietDeficiencyText"_s}),
                    u"养生资料"_s);
    const std::array<QString, 5> hints{u"经络循行图解"_s, u"单经络分析参考数据"_s, u"良导络辩证参考数据"_s,
                                       u"经络医方与针灸参考数据"_s, u"养生食疗总表参考"_s};
    for (int i = 0; i < 5; ++i)
        m_pages->setTabToolTip(i, hints[static_cast<std::size_t>(i)]);

    auto *columns = new QHBoxLayout;
    columns->setContentsMargins(4, 0, 4, 0);
    columns->setSpacing(6);
    columns->addWidget(createLeftColumn());
    columns->addWidget(m_pages, 1);

    QStatusBar *bar = makeStatusBar(this);
    bar->addWidget(makeLabel(u"请至 [经络名称] 栏中,点选需要查询的经络数据"_s, bar, u"statusText"_s), 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(tools);
    layout->addLayout(columns, 1);
    layout->addWidget(bar);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &ExplanationWindow::meridianClicked);
}

ExplanationWindow::~ExplanationWindow() = default;

QWidget *ExplanationWindow::createLeftColumn() {
    auto *column = new QWidget(this);
    column->setFixedWidth(LeftColumnWidth);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(makeLabel(u"经络名称"_s, column));
    m_list = new QListWidget(column);
    m_list->setObjectName(u"meridianList"_s);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_list);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(4);
    fields->setVerticalSpacing(3);
    const std::array<QString, 5> attributeNames{u"interiorExteriorLabel"_s, u"partnerLabel"_s, u"stemLabel"_s,
                                                u"elementLabel"_s, u"flowTimeLabel"_s};
    for (int i = 0; i < 5; ++i)
        m_attributes[static_cast<std::size_t>(i)] =
            fieldLabel(attributeNames[static_cast<std::size_t>(i)], column);
    auto caption = [&](TextColumn c) { return makeLabel(columnLabel(c), column); };
    fields->addWidget(caption(TextColumn::DtEA1), 0, 0);
    fields->addWidget(m_attributes[0], 0, 1, 1, 3);
    fields->addWidget(caption(TextColumn::DtEA2), 1, 0);
    fields->addWidget(m_attributes[1], 1, 1, 1, 3);
    // The stem and the element share one line.
    fields->addWidget(caption(TextColumn::DtEA3), 2, 0);
    fields->addWidget(m_attributes[2], 2, 1);
    fields->addWidget(caption(TextColumn::DtEA4), 2, 2);
    fields->addWidget(m_attributes[3], 2, 3);
    fields->addWidget(caption(TextColumn::DtEA5), 3, 0);
    fields->addWidget(m_attributes[4], 3, 1, 1, 3);
    const std::array<QString, 3> pointNames{u"measuringPointLabel"_s, u"sedatingPointLabel"_s,
                                            u"tonifyingPointLabel"_s};
    const std::array<TextColumn, 3> pointColumns{TextColumn::DtPot1, TextColumn::DtPot2, TextColumn::DtPot3};
    for (int i = 0; i < 3; ++i) {
        QLabel *value = fieldLabel(pointNames[static_cast<std::size_t>(i)], column);
        m_points[static_cast<std::size_t>(i)] = value;
        fields->addWidget(caption(pointColumns[static_cast<std::size_t>(i)]), 5 + i, 0);
        fields->addWidget(value, 5 + i, 1, 1, 3);
    }
    fields->setRowMinimumHeight(4, 6);
    // The stem is one character; the element may carry its kind of fire.
    fields->setColumnStretch(3, 1);
    layout->addLayout(fields);
    // Point texts of different lengths take up the slack below, so the list
    // stays where it is from meridian to meridian.
    layout->addStretch(1);
    return column;
}

QWidget *ExplanationWindow::createDiagramPage() {
    auto *page = new QWidget(this);
    auto *scroll = new QScrollArea(page);
    scroll->setObjectName(u"diagramScroll"_s);
    scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll->setBackgroundRole(QPalette::Base);
    m_diagram = new QLabel(scroll);
    m_diagram->setObjectName(u"diagramPicture"_s);
    m_diagram->setFixedSize(DiagramFrame);
    m_diagram->setScaledContents(true);
    scroll->setWidget(m_diagram);
    // The frame follows the view, so the feet, where half the measuring points
    // lie, are never scrolled out of sight.
    m_diagramView = scroll->viewport();
    m_diagramView->installEventFilter(this);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(scroll, 1);
    layout->addWidget(new DiagramLegend(page));
    return page;
}

QWidget *ExplanationWindow::createTextPage(std::size_t first, const QStringList &names) {
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    for (qsizetype i = 0; i < names.size(); ++i) {
        QPlainTextEdit *box = makeTextBox(names.at(i), page);
        m_boxes[first + static_cast<std::size_t>(i)] = box;
        layout->addWidget(box, 1);
    }
    return page;
}

bool ExplanationWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_diagramView && event->type() == QEvent::Resize)
        m_diagram->setFixedSize(DiagramFrame.scaled(m_diagramView->size(), Qt::KeepAspectRatio));
    return QDialog::eventFilter(watched, event);
}

void ExplanationWindow::done(int result) {
    m_texts = nullptr;
    QDialog::done(result);
}

void ExplanationWindow::fillMeridianList() {
    m_texts = &m_store;
    m_pages->setCurrentIndex(0);
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const QString &row : meridianRows())
            m_list->addItem(row);
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
    }
    m_list->setFixedHeight(m_list->sizeHintForRow(0) * m_list->count() + 2 * m_list->frameWidth());
    showMeridian(1);
}

void ExplanationWindow::meridianClicked() {
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (!selected.isEmpty())
        showMeridian(m_list->row(selected.first()) + 1);
}

void ExplanationWindow::showMeridian(int key) {
    if (!m_texts)
        return;
    m_key = key;
    const MeridianExplanation e = meridianExplanation(*m_texts, key);
    for (std::size_t i = 0; i < m_attributes.size(); ++i)
        m_attributes[i]->setText(e.attributes[i]);
    for (std::size_t i = 0; i < m_points.size(); ++i)
        m_points[i]->setText(e.points[i]);
    const std::array<QString, 9> texts{e.mainText,
                                       e.excessText,
                                       e.deficiencyText,
                                       e.ryodorakuExcess,
                                       e.ryodorakuDeficiency,
                                       e.prescriptionExcess,
                                       e.prescriptionDeficiency,
                                       e.dietExcess,
                                       e.dietDeficiency};
    for (std::size_t i = 0; i < texts.size(); ++i)
        showText(m_boxes[i], texts[i]);
    QPixmap diagram;
    diagram.loadFromData(e.picture);
    m_diagram->setPixmap(diagram);
}

} // namespace orlu
