#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

// The built-in drawings as pixels. Parsing and rendering the sample faces' SVG cost more than
// everything else at start-up, so the sizes shown at start are rendered at build time, by this
// same code, and stored uncompressed in the resources, where they are used in place. Any other
// size, and any other drawing, is rendered from the SVG, which is then parsed once per run.
// Icons made here need no icon plugin.
class SampleArt {
public:
    // The drawing's own size in pixels.
    static QSize defaultSize(const QString& svg);

    // The drawing rendered to fill `device` pixels, as QSvgRenderer renders it onto a
    // transparent ARGB32 premultiplied picture of that size (a stored rendering with no
    // transparent pixel comes as RGB32: the same pixels).
    static QImage image(const QString& svg, QSize device);
    // The same, always rendered from the SVG now.
    static QImage render(const QString& svg, QSize device);
    // The build-time rendering of exactly this size, or a null picture.
    static QImage prerendered(const QString& svg, QSize device);

    // An icon drawn from the drawing at whatever size it is asked for, with the aspect ratio
    // kept, as Qt's SVG icons are.
    static QIcon icon(const QString& svg);

    // Build time: the sizes to render, named: the drawing fitted into `box` at each pixel ratio
    // ("sample1", ...), as the picture control fits it, and into squares of each icon side
    // ("icon16", ...), as icons are.
    struct Rendering {
        QString name;
        QSize size;
    };
    static std::vector<Rendering> buildSizes(QSize drawing, QSize box,
                                             const std::vector<int>& ratios,
                                             const std::vector<int>& iconSides);
    // The stored form of one rendering: a short header, then the rows of pixels.
    static QByteArray pack(const QImage& image, QSize drawing);
    // Where the renderings of a drawing are stored: this folder, names "<drawing>_<name>",
    // listed with their sizes in "<drawing>_index".
    static QString storeFolder() { return QStringLiteral(":/rendered"); }
};
