// Draws what the profile finder reads off a photo, for a look by eye:
//   profile_overlay <photo> <out.png> [longer side to decode at, default 1284]
// The silhouette's outline in yellow, read landmarks in red, estimated ones in blue.
#include "photo_reader.hpp"
#include "profile_finder.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

using namespace veidora::facefit;

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: profile_overlay photo out.png [longer side]\n");
        return 2;
    }
    const int longer = argc > 3 ? std::atoi(argv[3]) : 1284;
    const auto loaded = veidora::ui::loadPhoto(QString::fromLocal8Bit(argv[1]), {longer, longer});
    if (loaded.image.isNull())
        return 1;
    QImage picture = loaded.image.convertToFormat(QImage::Format_RGB888);
    const ColourView view{picture.constBits(), picture.width(), picture.height(),
                          picture.bytesPerLine(), 3};
    const SidePoints defaults = veidora::facefit::sideDefaults();
    SilhouetteError error = SilhouetteError::None;
    QElapsedTimer timer;
    timer.start();
    const auto outline = findSilhouette(view, &error);
    const double segmentMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    const ProfileResult r = findProfile(view, defaults, &error);
    std::printf("silhouette %.1f ms, all %.1f ms\n", segmentMs, timer.nsecsElapsed() / 1e6);
    std::printf("found %d facing %s why '%s' error %d\n", r.found,
                r.facing == Facing::Left ? "left" : "right", r.why.c_str(),
                static_cast<int>(error));
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    const double unit = std::max(out.width(), out.height()) / 400.0;
    if (outline) {
        QPainterPath path;
        path.moveTo(outline->points[0].x, outline->points[0].y);
        for (const Point& q : outline->points)
            path.lineTo(q.x, q.y);
        p.setPen(QPen(Qt::yellow, unit * 0.6));
        p.drawPath(path);
    }
    if (r.found) {
        QFont font = p.font();
        font.setPixelSize(static_cast<int>(unit * 7));
        p.setFont(font);
        for (std::size_t i = 0; i < r.points.size(); ++i) {
            const QPointF c(r.points[i].x, r.points[i].y);
            const QColor colour = r.measured[i] ? Qt::red : Qt::blue;
            p.setPen(QPen(colour, unit * 0.8));
            p.drawEllipse(c, unit * 2.5, unit * 2.5);
            p.drawText(c + QPointF(unit * 4, -unit * 2), QStringLiteral("S%1").arg(i + 1));
            std::printf("S%zu %.1f %.1f %s\n", i + 1, r.points[i].x, r.points[i].y,
                        r.measured[i] ? "read" : "estimated");
        }
    }
    p.end();
    return out.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
