// The front and side pages: drawing rectangles with the photo, the sample face and the grips,
// the photo corrections and the value labels.
#include "controls.hpp"
#include "front_landmarks.hpp"
#include "photo.hpp"
#include "selection_point.hpp"
#include "side_landmarks.hpp"
#include "veidora_window.hpp"

#ifdef VEIDORA_AUTO_PLACE
#include "auto_placement.hpp"
#endif
#include "default_ring.hpp"
#include "error_handler.hpp"
#include "grip_history.hpp"
#include "landmark_page.hpp"
#include "loupe.hpp"

#include <QAction>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>

using namespace veidora;
using veidora::ui::guarded;

namespace {

struct LabelSpec {
    const char* name;
    const char* text;
    int x, y, width;
};

const char* const kHint = "Perkelkite  taškus nuo pavyzdžio. ";

// Captions and value labels under the front rectangle; "..." marks a word not yet measured.
const LabelSpec kFrontLabels[] = {
    {"Label32", "Galvos aukštis", 16, 462, 100},
    {"Label33", "0", 121, 462, 40},
    {"Label34", "Kaktos aukštis ", 16, 481, 100},
    {"Label35", "0", 121, 481, 40},
    {"Label36", "0", 160, 481, 50},
    {"Label41", "Kakta viršus plotis", 16, 499, 105},
    {"Label42", "0", 121, 501, 40},
    {"Label43", "0", 160, 501, 50},
    {"Label96", "Kakta apačia plotis", 16, 519, 105},
    {"Label97", "0", 121, 520, 40},
    {"Label98", "0", 160, 520, 50},
    {"Label37", "Skruostai", 16, 539, 100},
    {"Label39", "0", 122, 538, 40},
    {"Label47", "0", 160, 538, 50},
    {"Label151", "Skruostų ilgis % :", 16, 559, 105},
    {"Label152", "...", 121, 559, 60},
    {"Label45", "Antakių gal. ilgis", 216, 462, 100},
    {"Label46", "0", 315, 462, 40},
    {"Label48", "Nosikaulis d.", 216, 480, 100},
    {"Label51", "0", 315, 480, 40},
    {"Label49", "Nosikaulis K.", 216, 498, 100},
    {"Label52", "0", 315, 498, 40},
    {"Label50", "Nosikaulio pakrypimas:", 216, 515, 135},
    {"Label53", "...", 351, 515, 60},
    {"Label54", "Nosies ilgis:", 216, 534, 100},
    {"Label143", "0", 316, 535, 50},
    {"Label55", "0", 371, 535, 50},
    {"Label38", "Ap. žandikaulis:", 216, 552, 100},
    {"Label40", "0", 316, 552, 50},
    {"Label44", "0", 371, 552, 50},
    {"Label149", "Ap. žandikaulis % :", 216, 569, 112},
    {"Label150", "...", 328, 568, 60},
    {"Label94", "Ap. žangikaulio asimetrija:", 216, 586, 155},
    {"Label95", "0", 371, 586, 60},
    {"Label140", "Lūpos:", 472, 459, 50},
    {"Label141", "0", 522, 459, 40},
    {"Label142", "0", 565, 459, 50},
    {"Label144", "Šypsena: ", 472, 475, 50},
    {"Label145", "0", 522, 476, 40},
    {"Label146", "0", 565, 476, 50},
    {"Label147", "Fiksuojama šypsena:", 472, 493, 122},
    {"Label148", "0", 594, 494, 60},
};

// Captions and value labels under the side rectangle.
const LabelSpec kSideLabels[] = {
    {"Label56", "Galvos aukštis", 24, 456, 81},
    {"Label58", "Kaktos aukštis ", 24, 476, 81},
    {"Label61", "Nosies ilgis", 24, 496, 65},
    {"Label74", "Viršus nosikaulis", 24, 516, 97},
    {"Label63", "Nosikaulio gal.", 24, 536, 81},
    {"Label65", "Nosis statumas", 24, 555, 89},
    {"Label67", "Nosikaulio stat.", 24, 576, 89},
    {"Label69", "Šnervių ilgis", 24, 596, 81},
    {"Label71", "Kaktos palinkimas", 208, 456, 105},
    {"Label76", "Nosikaulio iškilimas", 208, 475, 105},
    {"Label78", "Nosies galiuko sm..", 208, 495, 105},
    {"Label80", "Apatinis žandikaulis", 208, 513, 105},
    {"Label82", "Pakaušis", 208, 534, 105},
    {"Label84", "Smakro atsikišimas", 208, 552, 105},
    {"Label89", "Smakras Nosikaulio p.", 208, 571, 120},
    {"Label99", "Nosies iškilimas", 208, 590, 120},
    {"Label133", "Nosikaulio plotis", 424, 456, 97},
    {"Label129", "Kakta:", 424, 478, 41},
    {"Label131", "Kaktos palinkimas:", 424, 499, 113},
    {"Label136", "Smakras:", 424, 521, 49},
    {"Label138", "Nosikaulis: ", 424, 543, 57},
    {"Label57", "0", 113, 456, 41},
    {"Label72", "0", 327, 456, 33},
    {"Label93", "0", 367, 456, 50},
    {"Label134", "0", 528, 456, 41},
    {"Label135", "0", 568, 456, 49},
    {"Label77", "0", 327, 476, 28},
    {"Label122", "0", 367, 476, 49},
    {"Label59", "0", 113, 477, 41},
    {"Label60", "0", 160, 477, 49},
    {"Label130", "0", 478, 478, 107},
    {"Label62", "0", 113, 496, 41},
    {"Label73", "0", 160, 496, 49},
    {"Label79", "0", 327, 496, 36},
    {"Label132", "0", 539, 499, 70},
    {"Label87", "0", 367, 512, 59},
    {"Label81", "0", 327, 513, 36},
    {"Label75", "0", 113, 516, 41},
    {"Label117", "0", 160, 516, 49},
    {"Label137", "0", 486, 522, 81},
    {"Label83", "0", 327, 533, 33},
    {"Label88", "0", 367, 533, 51},
    {"Label118", "0", 160, 536, 41},
    {"Label64", "0", 113, 537, 41},
    {"Label139", "0", 486, 544, 57},
    {"Label91", "0", 367, 552, 58},
    {"Label85", "0", 327, 553, 33},
    {"Label66", "0", 113, 556, 41},
    {"Label119", "0", 160, 556, 41},
    {"Label90", "0", 328, 571, 33},
    {"Label92", "0", 367, 571, 57},
    {"Label68", "0", 113, 576, 41},
    {"Label120", "0", 160, 576, 41},
    {"Label100", "0", 328, 590, 33},
    {"Label128", "0", 367, 590, 57},
    {"Label70", "0", 113, 596, 31},
    {"Label121", "0", 160, 596, 65},
};

template <class T> T* named(T* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

} // namespace

TLabel* TVeidora::addLabel(QWidget* page, const char* name, const QString& text, int x, int y,
                           int width, int height) {
    auto* l = named(new TLabel(text, page), QLatin1String(name));
    l->setDesignedGeometry(x, y, width, height);
    m_labels.insert(QLatin1String(name), l);
    return l;
}

void TVeidora::buildFrontPage() {
    QWidget* page = TabItem1;
    Button6 = named(new QPushButton(QStringLiteral("Atstatymas"), page), QStringLiteral("Button6"));
    Button6->setGeometry(344, 8, 80, 24);
    addLabel(page, "Label15", QString::fromUtf8(kHint), 344, 37, 177);
    addLabel(page, "Label126", QStringLiteral("Veido tiesumo korekcija"), 24, 12, 145);
    addLabel(page, "Label127", QStringLiteral("0"), 168, 13, 33);
    TrackBar2 = named(new TTrackBar(page), QStringLiteral("TrackBar2"));
    TrackBar2->setGeometry(24, 35, 185, 19);
    TrackBar2->setMin(-15);
    TrackBar2->setMax(15);

    Rectangle1 = named(new TRectangle(page), QStringLiteral("Rectangle1"));
    Rectangle1->setGeometry(16, 62, 561, 377);
    Image1 = named(new TImage(Rectangle1), QStringLiteral("Image1"));
    Image1->setBox(QRect(8, 8, 257, 321));
    Image2 = named(new TImage(Rectangle1), QStringLiteral("Image2"));
    Image2->setBox(QRect(288, 7, 265, 321));
    Image2->setSvg(QStringLiteral(":/faces/front.svg"));
    for (std::size_t i = 0; i < m_front.size(); ++i) {
        auto* grip = named(new TSelectionPoint(Rectangle1, 3),
                           QStringLiteral("SelectionPoint%1").arg(i + 1));
        grip->setPosition({kFrontDefaults[i].X, kFrontDefaults[i].Y});
        m_front[i] = grip;
    }
    for (int n : {3, 4})
        on(SelectionPoint(n), &TSelectionPoint::OnTrack,
           [this](TSelectionPoint* s, qreal X, qreal Y) { SelectionPoint2Track(s, X, Y); });
    Rectangle1->OnPaint = [this] { guarded(this, [&] { Rectangle1Paint(); }); };

    for (const auto& l : kFrontLabels)
        addLabel(page, l.name, QString::fromUtf8(l.text), l.x, l.y, l.width);

    on(Button6, &QPushButton::clicked, [this] { Button6Click(); });
    on(TrackBar2, &TTrackBar::OnChange, [this] { TrackBar2Change(); });
}

void TVeidora::buildSidePage() {
    QWidget* page = TabItem2;
    Button7 = named(new QPushButton(QStringLiteral("Atstatymas"), page), QStringLiteral("Button7"));
    Button7->setGeometry(344, 8, 80, 24);
    addLabel(page, "Label123", QString::fromUtf8(kHint), 344, 37, 177);
    addLabel(page, "Label125", QStringLiteral("Veido tiesumo korekcija"), 25, 11, 137);
    addLabel(page, "Label124", QStringLiteral("0"), 167, 12, 33);
    TrackBar1 = named(new TTrackBar(page), QStringLiteral("TrackBar1"));
    TrackBar1->setGeometry(24, 32, 169, 19);
    TrackBar1->setFrequency(1);
    TrackBar1->setMin(-15);
    TrackBar1->setMax(15);
    Button5 = named(new QPushButton(QStringLiteral("&Apsukimas"), page), QStringLiteral("Button5"));
    Button5->setGeometry(208, 16, 80, 32);

    Rectangle2 = named(new TRectangle(page), QStringLiteral("Rectangle2"));
    Rectangle2->setGeometry(24, 62, 561, 377);
    Image4 = named(new TImage(Rectangle2), QStringLiteral("Image4"));
    Image4->setBox(QRect(8, 8, 257, 321));
    Image3 = named(new TImage(Rectangle2), QStringLiteral("Image3"));
    Image3->setBox(QRect(288, 9, 265, 321));
    Image3->setSvg(QStringLiteral(":/faces/profile.svg"));
    for (std::size_t i = 0; i < m_side.size(); ++i) {
        auto* grip = named(new TSelectionPoint(Rectangle2, 3),
                           QStringLiteral("SelectionPoint%1").arg(i + 101));
        grip->setPosition({kSideDefaults[i].X, kSideDefaults[i].Y});
        m_side[i] = grip;
    }
    Rectangle2->OnPaint = [this] { guarded(this, [&] { Rectangle2Paint(); }); };

    for (const auto& l : kSideLabels)
        addLabel(page, l.name, QString::fromUtf8(l.text), l.x, l.y, l.width);

    on(Button7, &QPushButton::clicked, [this] { Button7Click(); });
    on(Button5, &QPushButton::clicked, [this] { Button5Click(); });
    on(TrackBar1, &TTrackBar::OnChange, [this] { TrackBar1Change(); });
}

namespace {

QStringList hints(QChar letter, const auto& features) {
    QStringList out;
    for (std::size_t i = 0; i < features.size(); ++i)
        out << QStringLiteral("%1%2 – %3")
                   .arg(letter)
                   .arg(i + 1)
                   .arg(QString::fromUtf8(features[i].data(), qsizetype(features[i].size())));
    return out;
}

std::vector<QPointF> places(const auto& defaults) {
    std::vector<QPointF> out;
    for (const TPointF& p : defaults)
        out.emplace_back(p.X, p.Y);
    return out;
}

} // namespace

void TVeidora::buildPlacementAids() {
    Loupe = new TLoupe(this);
    m_history = new GripHistory(this);
    m_history->setShowGrips([this](const std::vector<TSelectionPoint*>& grips) {
        QSet<QWidget*> rectangles;
        for (TSelectionPoint* g : grips)
            rectangles.insert(g->parentWidget());
        QWidget* shown = TabControl1->currentWidget() == TabItem1 ? Rectangle1 : Rectangle2;
        if (!grips.empty() && !rectangles.contains(shown))
            TabControl1->setCurrentWidget(grips.front()->parentWidget()->parentWidget());
        for (QWidget* r : rectangles)
            r->update();
    });
    m_history->setBusy([this] { return m_frontPage->dragged() || m_sidePage->dragged(); });

    const auto page = [this](const QString& title, QWidget* tab, TImage* sample, const auto& grips,
                             const auto& defaults, QChar letter, const auto& features) {
        return new LandmarkPage({title,
                                 TabControl1,
                                 tab,
                                 sample,
                                 {grips.begin(), grips.end()},
                                 places(defaults),
                                 hints(letter, features),
                                 StatusBar1,
                                 Loupe,
                                 m_history},
                                this);
    };
    m_frontPage = page(QStringLiteral("Priekis"), TabItem1, Image2, m_front, kFrontDefaults,
                       QLatin1Char('P'), kFrontFeatures);
    m_sidePage = page(QStringLiteral("Šonas"), TabItem2, Image3, m_side, kSideDefaults,
                      QLatin1Char('S'), kSideFeatures);
    m_frontPage->ring()->setObjectName(QStringLiteral("DefaultRing1"));
    m_sidePage->ring()->setObjectName(QStringLiteral("DefaultRing2"));

    ActionUndo = new QAction(QStringLiteral("Atšaukti"), this);
    ActionUndo->setObjectName(QStringLiteral("ActionUndo"));
    ActionUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    ActionRedo = new QAction(QStringLiteral("Grąžinti"), this);
    ActionRedo->setObjectName(QStringLiteral("ActionRedo"));
    ActionRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addAction(ActionUndo);
    addAction(ActionRedo);
    on(ActionUndo, &QAction::triggered, [this] { m_history->undo(); });
    on(ActionRedo, &QAction::triggered, [this] { m_history->redo(); });

#ifdef VEIDORA_AUTO_PLACE
    ButtonAuto = named(new QPushButton(QStringLiteral("Rasti taškus"), TabItem1),
                       QStringLiteral("ButtonAuto"));
    ButtonAuto->setGeometry(432, 8, 110, 24);
    m_autoPlacement = new AutoPlacement(
        {ButtonAuto, TabItem1, Image1, {m_front.begin(), m_front.end()}, m_frontPage, m_history},
        this);
    on(ButtonAuto, &QPushButton::clicked, [this] { ButtonAutoClick(); });
#endif
    m_frontPage->refresh();
}

void TVeidora::ButtonAutoClick() {
#ifdef VEIDORA_AUTO_PLACE
    m_autoPlacement->start();
#endif
}
