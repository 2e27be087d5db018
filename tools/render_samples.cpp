// Build step: renders a drawing at the sizes the window shows at start, so that start-up need
// not parse the SVG; one file per size, "<out folder>/<drawing>_<name>",
// listed with their sizes in "<drawing>_index".
//   render_samples <drawing.svg> <out folder> <box WxH> <pixel ratios: 1,2> <icon sides: 16,32>
// (a list may start with "-,", and be only that when empty)
#include "sample_art.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <iostream>

namespace {

std::vector<int> numbers(const QString& list) {
    std::vector<int> out;
    for (const QString& n : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (const int v = n.toInt(); v > 0) // "-" and anything else not a count is skipped
            out.push_back(v);
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::cerr << "usage: render_samples drawing.svg out-folder WxH ratios icon-sides\n";
        return 2;
    }
    const QString svg = args[1];
    const QStringList box = args[3].split(QLatin1Char('x'));
    const QSize drawing = SampleArt::defaultSize(svg);
    if (box.size() != 2 || drawing.isEmpty()) {
        std::cerr << "cannot read " << svg.toStdString() << " or the box\n";
        return 1;
    }
    const QDir folder(args[2]);
    const QString base = QFileInfo(svg).completeBaseName() + QLatin1Char('_');
    QByteArray index =
        QByteArray::number(drawing.width()) + ' ' + QByteArray::number(drawing.height()) + '\n';
    for (const auto& r : SampleArt::buildSizes(drawing, QSize(box[0].toInt(), box[1].toInt()),
                                               numbers(args[4]), numbers(args[5]))) {
        QFile out(folder.filePath(base + r.name));
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(SampleArt::pack(SampleArt::render(svg, r.size), drawing)) < 0) {
            std::cerr << "cannot write " << out.fileName().toStdString() << '\n';
            return 1;
        }
        index += r.name.toLatin1() + ' ' + QByteArray::number(r.size.width()) + ' ' +
                 QByteArray::number(r.size.height()) + '\n';
    }
    // Every stored size is a multiple of 4, so the pictures after this one stay aligned.
    while (index.size() % 4)
        index += '\n';
    QFile out(folder.filePath(base + QStringLiteral("index")));
    if (!out.open(QIODevice::WriteOnly) || out.write(index) < 0) {
        std::cerr << "cannot write " << out.fileName().toStdString() << '\n';
        return 1;
    }
    return 0;
}
