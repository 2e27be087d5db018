// Figures for scripts/bench.sh, each printed as plain numbers on one line:
//   figures make-jpeg <path>          a 4000 x 6000 portrait stored as JPEG (24 megapixels)
//   figures open <path> <runs>        median ms to read that photo for display, as the window does
//   figures drag <runs>               median ms of one grip drag step, then of one repaint of the
//                                     same rectangle with nothing moved, taken turn about
//   figures memory <photo> <count>    peak resident kB after opening the photo on 0, 1 or 2 pages
#include "application.hpp"
#include "controls.hpp"
#include "error_handler.hpp"
#include "face_page.hpp"
#include "photo.hpp"
#include "selection_point.hpp"
#include "veidora_window.hpp"

#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Paints what is pending now, as the event loop would on its next turn.
void paintPending() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int makeJpeg(const QString& path) {
    const QImage portrait(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png"));
    const QImage photo = portrait.copy(86, 0, 340, 510)
                             .scaled(4000, 6000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return photo.save(path, "JPEG", 90) ? 0 : 1;
}

int open(const QString& path, int runs) {
    TVeidora w; // for the size the window decodes photos at
    const QSize bound = w.front()->photo()->decodeBound();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const auto loaded = veidora::ui::loadPhoto(path, bound);
        ms.push_back(t.nsecsElapsed() / 1e6);
        if (loaded.image.isNull())
            return 1;
    }
    std::printf("%.3f\n", median(ms));
    return 0;
}

int drag(int runs) {
    TVeidora w;
    w.show();
    paintPending();
    // SelectionPoint3 asks for a full redraw of its rectangle at every step, the most a step does.
    TSelectionPoint* grip = w.SelectionPoint(3);
    const QPointF start = grip->Position();
    const auto send = [&](QEvent::Type type, QPointF inRectangle, Qt::MouseButtons buttons) {
        const QPointF local = inRectangle - QPointF(grip->pos());
        QMouseEvent e(type, local, grip->mapToGlobal(local), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(grip, &e);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    paintPending();
    std::vector<double> step, still;
    for (int i = 0; i < runs; ++i) {
        const QPointF to = start + QPointF(i % 2 ? 3 : -3, 1);
        QElapsedTimer t;
        t.start();
        send(QEvent::MouseMove, to, Qt::LeftButton);
        paintPending();
        step.push_back(t.nsecsElapsed() / 1e6);

        t.start();
        w.front()->rectangle()->update();
        paintPending();
        still.push_back(t.nsecsElapsed() / 1e6);
    }
    send(QEvent::MouseButtonRelease, start, Qt::NoButton);
    std::printf("%.4f %.4f\n", median(step), median(still));
    return 0;
}

long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

int memory(const QString& path, int count) {
    TVeidora w;
    w.show();
    paintPending();
    for (int page = 0; page < count; ++page) {
        w.TabControl1->setCurrentIndex(page);
        w.loadPhotoIntoCurrentPage(path);
        paintPending();
    }
    w.TabControl1->setCurrentIndex(0);
    paintPending();
    std::printf("%ld\n", peakKb());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    veidora::ui::TApplication app(argc, argv);
    veidora::ui::installTranslations(app);
    const QStringList args = app.arguments();
    const QString what = args.value(1);
    if (what == QLatin1String("make-jpeg") && args.size() == 3)
        return makeJpeg(args[2]);
    if (what == QLatin1String("open") && args.size() == 4)
        return open(args[2], args[3].toInt());
    if (what == QLatin1String("drag") && args.size() == 3)
        return drag(args[2].toInt());
    if (what == QLatin1String("memory") && args.size() == 4)
        return memory(args[2], args[3].toInt());
    std::fprintf(stderr, "usage: figures make-jpeg|open|drag|memory ...\n");
    return 2;
}
