#include "face_page.hpp"

#include "controls.hpp"
#include "default_ring.hpp"
#include "error_handler.hpp"
#include "front_labels.hpp"
#include "front_landmarks.hpp"
#include "grip_history.hpp"
#include "landmark_page.hpp"
#include "landmark_set.hpp"
#include "named.hpp"
#include "photo.hpp"
#include "selection_point.hpp"
#include "side_labels.hpp"
#include "side_landmarks.hpp"

#include <QEvent>
#include <QHash>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <utility>

#include <cmath>

using namespace veidora;
using veidora::ui::named;

namespace {

const char* const kHint = "Perkelkite  taškus nuo pavyzdžio. ";

template <class Figure>
std::vector<FacePage::FigureRow> rows(std::span<const FigureLabel<Figure>> table) {
    std::vector<FacePage::FigureRow> out;
    for (const auto& row : table)
        out.push_back({static_cast<std::size_t>(row.figure), row.label, row.caption});
    return out;
}

QRect place(const SampleBox& b) {
    return {b.x, b.y, b.width, b.height};
}

QRect at(const LabelPlace& l, int height = 17) {
    return {l.x, l.y, l.width, height};
}

} // namespace

FacePage::Design FacePage::frontDesign() {
    Design d;
    d.title = QStringLiteral("Priekis");
    d.letter = QLatin1Char('P');
    d.firstGrip = 1;
    d.defaults.assign(kFrontDefaults.begin(), kFrontDefaults.end());
    d.features.assign(kFrontFeatures.begin(), kFrontFeatures.end());
    d.reset = {"Button6", {344, 8, 80, 24}};
    d.hint = {"Label15", {344, 37, 177, 17}};
    d.tiltCaption = {"Label126", {24, 12, 145, 17}};
    d.tiltFigure = {"Label127", {168, 13, 33, 17}};
    d.tilt = {"TrackBar2", {24, 35, 185, 19}};
    d.rectangle = {"Rectangle1", {16, 62, 561, 377}};
    d.photo = {"Image1", {8, 8, 257, 321}};
    d.sample = {"Image2", place(kFrontSampleBox)};
    d.sampleDrawing = ":/faces/front.svg";
    d.ring = "DefaultRing1";
    d.tiltFrequency = 0;
    d.mirror = {nullptr, {}};
    d.captions = kFrontCaptions;
    d.figures = rows<FrontFigure>(kFrontFigureLabels);
    return d;
}

FacePage::Design FacePage::sideDesign() {
    Design d;
    d.title = QStringLiteral("Šonas");
    d.letter = QLatin1Char('S');
    d.firstGrip = 101;
    d.defaults.assign(kSideDefaults.begin(), kSideDefaults.end());
    d.features.assign(kSideFeatures.begin(), kSideFeatures.end());
    d.reset = {"Button7", {344, 8, 80, 24}};
    d.hint = {"Label123", {344, 37, 177, 17}};
    d.tiltCaption = {"Label125", {25, 11, 137, 17}};
    d.tiltFigure = {"Label124", {167, 12, 33, 17}};
    d.tilt = {"TrackBar1", {24, 32, 169, 19}};
    d.rectangle = {"Rectangle2", {24, 62, 561, 377}};
    d.photo = {"Image4", {8, 8, 257, 321}};
    d.sample = {"Image3", place(kSideSampleBox)};
    d.sampleDrawing = ":/faces/profile.svg";
    d.ring = "DefaultRing2";
    d.tiltFrequency = 1;
    d.mirror = {"Button5", {208, 16, 80, 32}};
    d.captions = kSideCaptions;
    d.figures = rows<SideFigure>(kSideFigureLabels);
    return d;
}

FacePage::FacePage(Design design, QWidget* tab, const Shared& shared, QObject* parent)
    : QObject(parent), m_d(std::move(design)), m_tab(tab), m_shared(shared),
      m_set(new LandmarkSet(m_d.defaults, this)), m_copies(m_d.defaults.size()) {
    m_tab->installEventFilter(this);
}

void FacePage::ensureBuilt() {
    if (m_built)
        return;
    m_built = true;
    build();
    applyTiltRange();
    // Controls made on a page already on screen are not shown with it.
    if (m_tab->isVisible())
        for (QWidget* child : m_tab->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isVisible() && !child->testAttribute(Qt::WA_WState_ExplicitShowHide))
                child->show();
    for (const auto& wire : std::exchange(m_whenBuilt, {}))
        wire();
}

void FacePage::whenBuilt(std::function<void()> wire) {
    if (m_built)
        wire();
    else
        m_whenBuilt.push_back(std::move(wire));
}

bool FacePage::eventFilter(QObject* watched, QEvent* event) {
    // The page appears: its controls come before anything is drawn.
    if (watched == m_tab && event->type() == QEvent::Show)
        ensureBuilt();
    return false;
}

void FacePage::build() {
    TextWidths widths;
    auto addLabel = [this, &widths](const char* name, const QString& text, const QRect& place) {
        auto* l = named(new TLabel(text, m_tab), name);
        l->setDesignedGeometry(place, &widths);
        m_labels.push_back(l);
        return l;
    };
    m_reset = named(new QPushButton(QStringLiteral("Atstatymas"), m_tab), m_d.reset.name);
    m_reset->setGeometry(m_d.reset.place);
    addLabel(m_d.hint.name, QString::fromUtf8(kHint), m_d.hint.place);
    addLabel(m_d.tiltCaption.name, QStringLiteral("Veido tiesumo korekcija"),
             m_d.tiltCaption.place);
    m_tiltFigure = addLabel(m_d.tiltFigure.name, QStringLiteral("0"), m_d.tiltFigure.place);
    m_tilt = named(new TTrackBar(m_tab), m_d.tilt.name);
    m_tilt->setGeometry(m_d.tilt.place);
    if (m_d.tiltFrequency > 0)
        m_tilt->setFrequency(m_d.tiltFrequency);
    if (m_d.mirror.name) {
        m_mirror = named(new QPushButton(QStringLiteral("&Apsukimas"), m_tab), m_d.mirror.name);
        m_mirror->setGeometry(m_d.mirror.place);
    }

    m_rectangle = named(new TRectangle(m_tab), m_d.rectangle.name);
    m_rectangle->setGeometry(m_d.rectangle.place);
    m_photo = named(new TImage(m_rectangle), m_d.photo.name);
    m_photo->setBox(m_d.photo.place);
    m_sample = named(new TImage(m_rectangle), m_d.sample.name);
    m_sample->setBox(m_d.sample.place);
    m_sample->setSvg(QLatin1String(m_d.sampleDrawing));
    for (std::size_t i = 0; i < m_set->size(); ++i)
        m_grips.push_back(named(new TSelectionPoint(m_set, i, m_rectangle, 3),
                                QStringLiteral("SelectionPoint%1").arg(m_d.firstGrip + int(i))));

    // Each figure label knows its row's caption, which a screen reader names it by.
    QHash<QLatin1String, TLabel*> captions;
    for (const LabelPlace& c : m_d.captions)
        captions.insert(QLatin1String(c.name), addLabel(c.name, QString::fromUtf8(c.text), at(c)));
    for (const FigureRow& f : m_d.figures)
        m_figureLabels.push_back(
            {addLabel(f.label.name, QString::fromUtf8(f.label.text), at(f.label)), f.figure,
             captions.value(QLatin1String(f.caption))});

    QStringList hints;
    for (std::size_t i = 0; i < m_d.defaults.size(); ++i) {
        const std::string_view feature = m_d.features[i];
        hints << QStringLiteral("%1%2 – %3")
                     .arg(m_d.letter)
                     .arg(i + 1)
                     .arg(QString::fromUtf8(feature.data(), qsizetype(feature.size())));
    }
    m_landmarks = new LandmarkPage({m_d.title, m_shared.tabs, m_tab, m_sample, m_set, m_grips,
                                    hints, m_shared.status, m_shared.loupe, m_shared.history},
                                   this);
    m_landmarks->ring()->setObjectName(QLatin1String(m_d.ring));
    connectControls();
}

void FacePage::connectControls() {
    // What a handler throws reaches the window's error box, never the event loop.
    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this,
                [this, handler] { veidora::ui::guarded(m_tab->window(), handler); });
    };
    m_rectangle->OnPaint = [this] {
        veidora::ui::guarded(m_tab->window(), [this] { copyGrips(); });
    };
    on(m_reset, &QPushButton::clicked, [this] { resetAsStep(); });
    on(m_tilt, &TTrackBar::OnChange, [this] { applyTilt(); });
    if (m_mirror)
        on(m_mirror, &QPushButton::clicked, [this] { mirrorPhoto(); });
    // Each drag step draws the rectangle again, so the copies follow the grip.
    for (TSelectionPoint* grip : m_grips)
        on(grip, &TSelectionPoint::OnTrack, [this] { m_rectangle->update(); });
}

TSelectionPoint* FacePage::grip(int number) const {
    const int i = number - m_d.firstGrip;
    return i >= 0 && i < int(m_set->size()) ? grips()[std::size_t(i)] : nullptr;
}

TLabel* FacePage::label(const QString& name) const {
    for (TLabel* l : labels())
        if (l->objectName() == name)
            return l;
    return nullptr;
}

QString FacePage::tiltCaption() const {
    return label(QLatin1String(m_d.tiltCaption.name))->text();
}

QString FacePage::captionOf(const TLabel* l) const {
    if (l == built().m_tiltFigure)
        return tiltCaption();
    for (const FigureLabelOf& f : m_figureLabels)
        if (f.label == l && f.caption)
            return f.caption->text();
    return {};
}

void FacePage::copyGrips() {
    m_copies = m_set->snapshot();
}

void FacePage::resetGrips() {
    m_set->reset();
}

void FacePage::resetAsStep() {
    m_shared.history->record(QStringLiteral("Atstatymas"), {m_set}, [this] { resetGrips(); });
}

void FacePage::applyTilt() {
    ensureBuilt();
    const int degrees = static_cast<int>(std::trunc(m_tilt->Value()));
    m_tiltFigure->setText(QString::number(degrees));
    m_photo->setRotationAngle(m_tiltFigure->text().toInt());
}

void FacePage::mirrorPhoto() {
    photo()->mirror();
}

void FacePage::showFigures(std::span<const std::string> texts) {
    ensureBuilt();
    for (const FigureLabelOf& f : m_figureLabels)
        if (f.figure < texts.size())
            f.label->setText(QString::fromStdString(texts[f.figure]));
}

void FacePage::setTiltRange(double min, double max, double value) {
    m_tiltRange = TiltRange{min, max, value};
    if (m_built)
        applyTiltRange();
}

void FacePage::applyTiltRange() {
    if (!m_tiltRange)
        return;
    m_tilt->setMin(m_tiltRange->min);
    m_tilt->setMax(m_tiltRange->max);
    m_tilt->setValue(m_tiltRange->value);
}

void FacePage::bringIntoView(QTabWidget* tabs, const std::vector<FacePage*>& pages) {
    const bool shown = std::any_of(pages.begin(), pages.end(), [tabs](const FacePage* p) {
        return p->tab() == tabs->currentWidget();
    });
    if (!pages.empty() && !shown)
        tabs->setCurrentWidget(pages.front()->tab());
    for (FacePage* p : pages)
        if (p->isBuilt())
            p->rectangle()->update();
}
