// Opens one file as the front photo through the dialog's path, as a user would, and reports
// how long the event loop went without a turn meanwhile and how much the process's peak memory
// grew: one file per process, so each peak is its own (scripts/hostile-soak.sh).
#include "application.hpp"
#include "error_handler.hpp"
#include "face_page.hpp"
#include "photo.hpp"
#include "photo_loader.hpp"
#include "veidora_window.hpp"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

qint64 peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    veidora::ui::TApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_probe FILE\n");
        return 2;
    }
    QString error;
    veidora::ui::setErrorPresenter([&](QWidget*, const QString& message) { error = message; });
    TVeidora window;
    window.show();
    const QString path = QString::fromLocal8Bit(argv[1]);

    qint64 before = 0;
    qint64 longestGapMs = 0;
    QElapsedTimer sinceTurn, total;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { longestGapMs = std::max(longestGapMs, sinceTurn.restart()); });
    QObject::connect(window.photoLoader(), &PhotoLoader::finished, &app, [&] {
        longestGapMs = std::max(longestGapMs, sinceTurn.elapsed());
        // Let the picture reach the screen before leaving.
        QTimer::singleShot(50, &app, [&] { app.quit(); });
    });
    QTimer::singleShot(200, &app, [&] { // the window is up and idle
        before = peakKb();
        sinceTurn.start();
        total.start();
        tick.start();
        window.photoLoader()->load(window.front()->photo(), path,
                                   window.front()->photo()->decodeBound());
    });
    app.exec();
    std::printf("%-40s %8lld ms %6lld ms %6lld MB  %s\n", qPrintable(path.section('/', -1)),
                static_cast<long long>(total.elapsed()), static_cast<long long>(longestGapMs),
                static_cast<long long>((peakKb() - before) / 1024),
                error.isEmpty() ? "shown" : "refused");
    return 0;
}
