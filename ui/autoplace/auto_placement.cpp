#include "auto_placement.hpp"

#include "controls.hpp"
#include "error_handler.hpp"
#include "face_fit.hpp"
#include "face_page.hpp"
#include "grip_history.hpp"
#include "landmark_page.hpp"
#include "landmark_set.hpp"
#include "levelling.hpp"
#include "photo.hpp"
#include "profile_fit.hpp"
#include "selection_point.hpp"

#include <QMessageBox>
#include <QPushButton>

#include <cmath>

using namespace veidora;

namespace {

// "taškas", "taškai" or "taškų", as Lithuanian counts them.
QString points(int n) {
    const int last = n % 10, lastTwo = n % 100;
    if (last == 1 && lastTwo != 11)
        return QStringLiteral("taškas");
    if (last >= 2 && (lastTwo < 12 || lastTwo > 19))
        return QStringLiteral("taškai");
    return QStringLiteral("taškų");
}

} // namespace

AutoPlacement::Texts AutoPlacement::frontTexts() {
    return {QStringLiteral("Suranda veidą priekio nuotraukoje ir sudeda ant jo 28 taškus. Po to "
                           "patikrinkite ir pataisykite juos rankomis; Ctrl+Z grąžina taškus "
                           "atgal."),
            QStringLiteral("Ieškoma veido…"),
            QStringLiteral("Nuotraukoje veido nerasta. Perkelkite taškus rankomis."),
            QStringLiteral("NoFaceBox"),
            {}};
}

AutoPlacement::Texts AutoPlacement::sideTexts() {
    return {QStringLiteral("Suranda profilį šono nuotraukoje ir sudeda ant jo 17 taškų. Po to "
                           "patikrinkite ir pataisykite juos rankomis; Ctrl+Z grąžina taškus "
                           "atgal."),
            QStringLiteral("Ieškoma profilio…"),
            QStringLiteral("Nuotraukoje profilio nerasta. Perkelkite taškus rankomis."),
            QStringLiteral("NoProfileBox"),
            QStringLiteral("Ausies ar akies nerasta – nuotraukos pasvirimas nepakeistas.")};
}

QString AutoPlacement::resultText(int found, int estimated, bool mirrored) {
    QString text =
        mirrored ? QStringLiteral("Profilis žiūri į dešinę – nuotrauka apsukta. ") : QString();
    text += QStringLiteral("Rasta %1 %2").arg(found).arg(points(found));
    if (estimated > 0)
        text += QStringLiteral(", %1 apytiksliai – patikrinkite pažymėtus.").arg(estimated);
    else
        text += QLatin1Char('.');
    return text;
}

QString AutoPlacement::turnText(int tilt, int before, int wanted) {
    if (wanted != tilt)
        return QStringLiteral("Veidas pakreiptas %1°, o nuotrauką galima pasukti tik %2°.")
            .arg(-wanted)
            .arg(tilt);
    if (tilt != 0)
        return QStringLiteral("Nuotrauka pasukta %1°.").arg(tilt);
    if (before != 0)
        return QStringLiteral("Nuotrauka atsukta tiesiai.");
    return {};
}

AutoPlacement::AutoPlacement(Setup setup, QObject* parent)
    : QObject(parent), m_s(std::move(setup)) {
    m_s.search->setParent(this);
    m_s.button->setToolTip(m_s.texts.tooltip);
    m_s.button->setEnabled(false); // a page not built yet has no photo
    m_s.page->whenBuilt([this] {
        connect(m_s.page->photo(), &TImage::BitmapChanged, this, &AutoPlacement::photoChanged);
        updateButton();
    });
    connect(m_s.search, &LandmarkSearch::runningChanged, this, [this](bool running) {
        if (running)
            m_s.page->tab()->setCursor(Qt::BusyCursor);
        else
            m_s.page->tab()->unsetCursor();
        m_s.page->landmarks()->setActivity(running ? m_s.texts.searching : QString());
        updateButton();
    });
    connect(m_s.search, &LandmarkSearch::finished, this, &AutoPlacement::searchFinished);
}

void AutoPlacement::updateButton() {
    m_s.button->setEnabled(m_s.page->photo()->BitmapWidth() > 0 && !m_s.search->isRunning());
}

void AutoPlacement::photoChanged() {
    if (m_s.search->isRunning()) {
        m_s.search->drop(); // what it finds belongs to the photo that was there before
        emit done();
    }
    if (m_s.page->photo()->BitmapWidth() > 0)
        m_s.search->preload(); // so the first click need not wait
    updateButton();
}

void AutoPlacement::start() {
    TImage* photo = m_s.page->photo();
    if (photo->BitmapWidth() == 0 || m_s.search->isRunning())
        return;
    m_s.search->start(photo->Bitmap());
}

void AutoPlacement::searchFinished(const LandmarkSearch::Outcome& outcome, const QImage& searched) {
    struct Done {
        AutoPlacement* self;
        ~Done() { emit self->done(); }
    } done{this};
    if (searched.cacheKey() != m_s.page->photo()->Bitmap().cacheKey())
        return;
    switch (outcome.kind) {
    case LandmarkSearch::Outcome::Found:
        place(outcome, searched.size());
        break;
    case LandmarkSearch::Outcome::NotFound: {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Rasti taškus"),
                        m_s.texts.notFound, QMessageBox::Ok, m_s.page->tab()->window());
        box.setObjectName(m_s.texts.notFoundBox);
        box.exec();
        break;
    }
    case LandmarkSearch::Outcome::Failed:
        ui::showError(m_s.page->tab()->window(), outcome.message);
        break;
    }
}

QPointF AutoPlacement::toRectangle(const FacePage& page, QSize picture, facefit::Point point,
                                   bool mirror) {
    const TImage* photo = page.photo();
    const QWidget* rectangle = page.rectangle();
    const QRect box = photo->Box();
    const facefit::PhotoView view{
        double(picture.width()), double(picture.height()),   double(box.x()),
        double(box.y()),         double(box.width()),        double(box.height()),
        photo->RotationAngle(),  double(rectangle->width()), double(rectangle->height())};
    const facefit::Point p = facefit::imageToRectangle(point, view, mirror);
    return {p.x, p.y};
}

void AutoPlacement::place(const LandmarkSearch::Outcome& outcome, QSize picture) {
    // Mirrored exactly as the page's own button does it, so the measurements see a profile
    // facing left; the points were found on the picture as it was.
    const bool mirror = outcome.mirror && m_s.page->mirrorButton();
    if (mirror)
        m_s.page->mirrorButton()->click();
    LandmarkSet* set = m_s.page->landmarkSet();
    int found = 0, estimated = 0;
    QString turned;
    m_s.history->record(
        QStringLiteral("Rasti taškus"), {set},
        [&] {
            // Levelled first: the grips go onto the picture as it is then shown.
            turned = level(outcome, mirror);
            for (std::size_t i = 0; i < set->size() && i < outcome.points.size(); ++i) {
                set->setPosition(i, toRectangle(*m_s.page, picture, outcome.points[i], mirror));
                const bool read = i < outcome.found.size() && outcome.found[i];
                set->setEstimated(i, !read);
                ++(read ? found : estimated);
            }
        },
        m_s.page->tilt());
    m_s.page->rectangle()->update();
    QString text = resultText(found, estimated, mirror);
    if (!turned.isEmpty())
        text += QLatin1Char(' ') + turned;
    m_s.page->landmarks()->announce(text);
}

QString AutoPlacement::level(const LandmarkSearch::Outcome& outcome, bool mirrored) {
    if (!outcome.levels)
        return {};
    if (!outcome.slope)
        return m_s.texts.noLevel;
    TTrackBar* tilt = m_s.page->tilt();
    // A mirrored picture slopes the other way.
    const double slope = mirrored ? -*outcome.slope : *outcome.slope;
    const facefit::Levelling l = facefit::levellingTilt(
        slope, static_cast<int>(std::ceil(tilt->Min())), static_cast<int>(std::floor(tilt->Max())));
    const int before = static_cast<int>(std::trunc(tilt->Value()));
    tilt->setValue(l.tilt); // as the user's hand would: the figure and the photo follow
    return turnText(l.tilt, before, l.limited ? static_cast<int>(std::lround(-slope)) : l.tilt);
}
