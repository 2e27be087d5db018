// The profile finder as the window will use it: loaded from its module on first use, and its
// points drawn where the side photo box shows them, mirrored or not.
#include "photo.hpp"
#include "profile_finder_library.hpp"
#include "profile_search.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"

#include <QPainter>
#include <QtTest>

namespace {

using namespace veidora::facefit;

} // namespace

class TestProfileFinderLibrary : public QObject {
    Q_OBJECT
private slots:
    void loadsTheModuleAndFindsTheProfile() {
        const ModuleLibrary::Loaded module = ProfileFinderLibrary::load();
        const ProfileFinderEntry* entry = ProfileFinderLibrary::entry(module);
        QVERIFY2(entry, qPrintable(module.error));
        QCOMPARE(ProfileFinderLibrary::entry(ProfileFinderLibrary::load()), entry); // loaded once
        const QImage photo = QImage(QStringLiteral(VEIDORA_TEST_DATA "/profile-037.jpg"))
                                 .scaled(700, 700, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
        const ColourView view{photo.constBits(), photo.width(), photo.height(),
                              photo.bytesPerLine(), 4};
        SilhouetteError error = SilhouetteError::BadPicture;
        const std::optional<Outline> outline = entry->findSilhouette(view, &error);
        QCOMPARE(error, SilhouetteError::None);
        QVERIFY(outline);
        const ProfileResult r = analyseProfile(*outline, &view, sideDefaults());
        QVERIFY2(r.found, r.why.c_str());
        QCOMPARE(r.facing, Facing::Left);
    }

    // The module reports a picture it cannot read as a kind of error; the user reads it in
    // Lithuanian, with no English words of the library's.
    void aPictureTheCutCannotReadIsWordedInLithuanian() {
        const LandmarkSearch::Outcome out =
            ProfileSearch::search(ProfileFinderLibrary::candidates(), QImage());
        QCOMPARE(out.kind, LandmarkSearch::Outcome::Failed);
        QVERIFY2(out.message.startsWith(QStringLiteral("Profilio paieška nepavyko: nuotraukos")),
                 qPrintable(out.message));
        for (const char* english : {"OpenCV:", "picture", "memory", "empty"})
            QVERIFY2(!out.message.contains(QLatin1String(english)), qPrintable(out.message));
    }

    // A dot of a picture shown mirrored and turned lands where the mapping puts it.
    void aMirroredPictureShowsAPointWhereTheMappingSays() {
        QWidget rectangle;
        rectangle.resize(561, 377);
        auto* image = new TImage(&rectangle);
        image->setBox(QRect(8, 8, 257, 321));
        image->setRotationAngle(10);
        QImage picture(200, 300, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(QRect(30, 40, 6, 6), Qt::red);
        image->setBitmap(picture);
        image->mirror();
        const QImage shot = rectangle.grab().toImage().convertToFormat(QImage::Format_RGB32);

        double sx = 0, sy = 0, n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y);
                if (qRed(c) > 200 && qGreen(c) < 120 && qBlue(c) < 120) {
                    sx += x + 0.5;
                    sy += y + 0.5;
                    ++n;
                }
            }
        QVERIFY(n > 0);
        const PhotoView view{200, 300, 8, 8, 257, 321, 10, 561, 377};
        const Point want = imageToRectangle(Point{33, 43}, view, true); // the dot's centre
        QVERIFY2(std::hypot(sx / n - want.x, sy / n - want.y) < 1,
                 qPrintable(QStringLiteral("drawn at %1, %2; mapped to %3, %4")
                                .arg(sx / n)
                                .arg(sy / n)
                                .arg(want.x)
                                .arg(want.y)));
    }
};

QTEST_MAIN(TestProfileFinderLibrary)
#include "test_profile_finder_library.moc"
