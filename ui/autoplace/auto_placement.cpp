#include "auto_placement.hpp"

#include "error_handler.hpp"
#include "face_finder_library.hpp"
#include "face_fit.hpp"
#include "grip_history.hpp"
#include "landmark_page.hpp"
#include "photo.hpp"
#include "selection_point.hpp"

#include <QMessageBox>
#include <QPushButton>

using namespace veidora;

const char* const AutoPlacement::kNoFaceText =
    "Nuotraukoje veido nerasta. Perkelkite taškus rankomis.";
const char* const AutoPlacement::kSearchingText = "Ieškoma veido…";
const char* const AutoPlacement::kModelPackage = "libdlib-data";

QString AutoPlacement::moduleErrorText(const QString& module, const QString& why) {
    return QStringLiteral("Nepavyko įkelti veido paieškos modulio „%1“ (%2). Jį įdiegia Debian "
                          "paketas „%3“ (komanda: apt-get install --reinstall %3).")
        .arg(module, why, QLatin1String(FaceFinderLibrary::kPackage));
}

QString AutoPlacement::modelErrorText(const QString& path) {
    return QStringLiteral("Nepavyko perskaityti veido taškų modelio failo „%1“. Jį įdiegia "
                          "Debian paketas „%2“ (komanda: apt-get install %2).")
        .arg(path, QLatin1String(kModelPackage));
}

AutoPlacement::AutoPlacement(Setup setup, QObject* parent)
    : QObject(parent), m_s(std::move(setup)), m_search(new FaceSearch(this)) {
    m_s.button->setToolTip(QStringLiteral(
        "Suranda veidą priekio nuotraukoje ir sudeda ant jo 28 taškus. Po to patikrinkite "
        "ir pataisykite juos rankomis; Ctrl+Z grąžina taškus atgal."));
    connect(m_s.photo, &TImage::BitmapChanged, this, &AutoPlacement::photoChanged);
    connect(m_search, &FaceSearch::runningChanged, this, [this](bool running) {
        if (running)
            m_s.page->setCursor(Qt::BusyCursor);
        else
            m_s.page->unsetCursor();
        m_s.landmarks->setActivity(running ? QString::fromUtf8(kSearchingText) : QString());
        updateButton();
    });
    connect(m_search, &FaceSearch::finished, this, &AutoPlacement::searchFinished);
    updateButton();
}

void AutoPlacement::updateButton() {
    m_s.button->setEnabled(m_s.photo->BitmapWidth() > 0 && !m_search->isRunning());
}

void AutoPlacement::photoChanged() {
    if (m_search->isRunning()) {
        m_search->drop(); // its face belongs to the photo that was there before
        emit done();
    }
    if (m_s.photo->BitmapWidth() > 0)
        m_search->preload(); // so the first click need not wait for the model
    updateButton();
}

void AutoPlacement::start() {
    if (m_s.photo->BitmapWidth() == 0 || m_search->isRunning())
        return;
    m_search->start(m_s.photo->Bitmap());
}

void AutoPlacement::searchFinished(const FaceSearch::Outcome& outcome, const QImage& searched) {
    struct Done {
        AutoPlacement* self;
        ~Done() { emit self->done(); }
    } done{this};
    if (searched.cacheKey() != m_s.photo->Bitmap().cacheKey())
        return;
    switch (outcome.kind) {
    case FaceSearch::Outcome::Found:
        place(outcome.landmarks.points, searched.size());
        break;
    case FaceSearch::Outcome::NoFace: {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Rasti taškus"),
                        QString::fromUtf8(kNoFaceText), QMessageBox::Ok, m_s.page->window());
        box.setObjectName(QStringLiteral("NoFaceBox"));
        box.exec();
        break;
    }
    case FaceSearch::Outcome::NoModule:
        ui::showError(m_s.page->window(),
                      moduleErrorText(m_search->moduleCandidates().value(0), outcome.message));
        break;
    case FaceSearch::Outcome::NoModel:
        ui::showError(m_s.page->window(), modelErrorText(m_search->modelPath()));
        break;
    case FaceSearch::Outcome::Failed:
        ui::showError(m_s.page->window(),
                      QStringLiteral("Veido paieška nepavyko: %1").arg(outcome.message));
        break;
    }
}

void AutoPlacement::place(const facefit::FrontPoints& found, QSize picture) {
    QWidget* rectangle = m_s.grips.front()->parentWidget();
    const QRect box = m_s.photo->Box();
    const facefit::PhotoView view{double(picture.width()),
                                  double(picture.height()),
                                  double(box.x()),
                                  double(box.y()),
                                  double(box.width()),
                                  double(box.height()),
                                  m_s.photo->RotationAngle(),
                                  double(rectangle->width()),
                                  double(rectangle->height())};
    m_s.history->record(QStringLiteral("Rasti taškus"), m_s.grips, [&] {
        for (std::size_t i = 0; i < m_s.grips.size() && i < found.size(); ++i) {
            const facefit::Point p = facefit::imageToRectangle(found[i], view);
            // Single precision, as the copies hold it, so a copy equals its grip.
            m_s.grips[i]->setPosition({double(float(p.x)), double(float(p.y))});
        }
    });
    rectangle->update();
}
