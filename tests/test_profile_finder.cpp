// The OpenCV profile finder on the sample profile made into photos and on a real one. QImage and
// QSvgRenderer only make and read the test pictures.
#include "profile_finder.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

using namespace veidora::facefit;

namespace {

ColourView view(const QImage& img) {
    return {img.constBits(), img.width(), img.height(), img.bytesPerLine(),
            img.format() == QImage::Format_RGB888 ? 3 : 4};
}

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The photo box on the side page and the drawing rectangle, as the window lays them out.
PhotoView photoView(QSize picture, double angle) {
    return {static_cast<double>(picture.width()),
            static_cast<double>(picture.height()),
            8,
            8,
            257,
            321,
            angle,
            561,
            377};
}

// The sample profile as the side page shows it beside the photo: fitted into its box.
constexpr double kSampleWidth = 663, kSampleHeight = 681;
constexpr veidora::SampleBox kBox = veidora::kSideSampleBox;
const PhotoView kSampleBox{kSampleWidth,
                           kSampleHeight,
                           double(kBox.x),
                           double(kBox.y),
                           double(kBox.width),
                           double(kBox.height),
                           0,
                           561,
                           377};

// A default place (drawing-rectangle units over the sample) in the sample picture's pixels.
Point samplePixel(Point rect) {
    const double scale =
        std::min(kSampleBox.boxWidth / kSampleWidth, kSampleBox.boxHeight / kSampleHeight);
    const double left = kSampleBox.boxX + (kSampleBox.boxWidth - kSampleWidth * scale) / 2;
    const double top = kSampleBox.boxY + (kSampleBox.boxHeight - kSampleHeight * scale) / 2;
    return {(rect.x - left) / scale, (rect.y - top) / scale};
}

// The sample's person alone, without its own background.
QImage samplePerson(double scale) {
    QFile file(QStringLiteral(VEIDORA_SAMPLE_PROFILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray svg = file.readAll();
    for (const char* background :
         {R"svg(<path d="M0 0 H663 V681 H0 Z" fill="url(#bg)"/>)svg",
          R"svg(<ellipse cx="330" cy="330" rx="330" ry="330" fill="url(#soft1)"/>)svg"})
        svg.replace(background, "");
    QSvgRenderer renderer(svg);
    QImage person(
        QSize(static_cast<int>(kSampleWidth * scale), static_cast<int>(kSampleHeight * scale)),
        QImage::Format_ARGB32_Premultiplied);
    person.fill(Qt::transparent);
    QPainter p(&person);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p);
    return person;
}

enum class Ground { Plain, Gradient, Textured, DarkHalo, Blurred, SkinTone };

void paintGround(QPainter& p, QSize size, Ground ground) {
    const QRect all(QPoint(0, 0), size);
    switch (ground) {
    case Ground::Plain:
        p.fillRect(all, QColor(0xd4, 0xd8, 0xdc));
        break;
    case Ground::Gradient: {
        QLinearGradient g(0, 0, size.width(), size.height());
        g.setColorAt(0, QColor(0x9d, 0xb9, 0xd6));
        g.setColorAt(1, QColor(0xee, 0xf0, 0xe8));
        p.fillRect(all, g);
        break;
    }
    case Ground::SkinTone:
        // A warm beige backdrop a little darker than the face's skin.
        p.fillRect(all, QColor(0xd8, 0xb8, 0x9c));
        break;
    case Ground::DarkHalo: {
        // A studio's dark backdrop lit softly behind the head.
        p.fillRect(all, QColor(0x26, 0x28, 0x2c));
        QRadialGradient g(size.width() * 0.55, size.height() * 0.4, size.width() * 0.45);
        g.setColorAt(0, QColor(0x70, 0x74, 0x7a));
        g.setColorAt(1, QColor(0x26, 0x28, 0x2c));
        p.fillRect(all, g);
        break;
    }
    case Ground::Blurred: {
        // A busy scene out of focus: large soft blobs of many colours.
        QRandomGenerator random(11);
        p.fillRect(all, QColor(0x8a, 0x94, 0x80));
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 40; ++k) {
            const QPointF c(random.bounded(size.width()), random.bounded(size.height()));
            const double r = size.width() * (0.05 + random.bounded(0.12));
            QRadialGradient g(c, r);
            const QColor colour(random.bounded(40, 230), random.bounded(40, 230),
                                random.bounded(40, 230));
            g.setColorAt(0, colour);
            g.setColorAt(1, QColor(colour.red(), colour.green(), colour.blue(), 0));
            p.setBrush(g);
            p.drawEllipse(c, r, r);
        }
        break;
    }
    case Ground::Textured: {
        // Cloth-like: blocks and streaks of several blue-grey shades, the same every run. (A
        // background as dark as the hair hides the head's top from any colour-based cut.)
        QRandomGenerator random(7);
        p.fillRect(all, QColor(0xb4, 0xc0, 0xc8));
        const int cell = std::max(4, size.width() / 90);
        for (int y = 0; y < size.height(); y += cell)
            for (int x = 0; x < size.width(); x += cell) {
                const int v = random.bounded(-22, 23);
                p.fillRect(QRect(x, y, cell, cell), QColor(0xb4 + v, 0xc0 + v, 0xc8 + v));
            }
        p.setPen(QPen(QColor(0x8c, 0x9c, 0xa8), std::max(1, cell / 3)));
        for (int k = 0; k < 60; ++k) {
            const int y = random.bounded(size.height());
            p.drawLine(0, y, size.width(), y + random.bounded(-40, 41));
        }
        break;
    }
    }
}

// What is drawn on the sample's head, in its own pixels.
enum class Addition { None, Bun, Beard };

// Hair: a fill of the sample's hair colour with strands of darker and lighter shades.
void paintHair(QPainter& p, const QPainterPath& shape) {
    p.save();
    p.setClipPath(shape);
    p.fillPath(shape, QColor(0x4d, 0x34, 0x27));
    QRandomGenerator random(3);
    const QRectF box = shape.boundingRect();
    for (int k = 0; k < 400; ++k) {
        const int v = random.bounded(-30, 31);
        p.setPen(QPen(QColor(0x4d + v, 0x34 + v, std::max(0, 0x27 + v)), 1.5));
        const QPointF a(box.left() + random.bounded(box.width()),
                        box.top() + random.bounded(box.height()));
        p.drawLine(a, a + QPointF(random.bounded(-12, 13), random.bounded(-12, 13)));
    }
    p.restore();
}

void paintAddition(QPainter& p, Addition addition) {
    QPainterPath shape;
    switch (addition) {
    case Addition::None:
        return;
    case Addition::Bun: // high on the back of the head
        shape.addEllipse(QPointF(560, 250), 55, 50);
        break;
    case Addition::Beard: // over the chin and along the jaw to the ear, a little ahead of the chin
        shape.addPolygon(QPolygonF({{80, 525},
                                    {82, 585},
                                    {150, 602},
                                    {230, 602},
                                    {320, 470},
                                    {260, 440},
                                    {130, 480},
                                    {100, 515}}));
        shape.closeSubpath();
        break;
    }
    paintHair(p, shape);
}

struct Photo {
    QImage image;
    QTransform samplePixelToPhoto; // where a sample picture pixel lands
};

// The person `scale` times the sample's size on `ground`, turned by `tilt` degrees (clockwise)
// about the face, mirrored when asked; the neck leaves the picture at the bottom as in a photo.
Photo makePhoto(double scale, double tilt, bool mirror, Ground ground,
                Addition addition = Addition::None) {
    const QSize size(static_cast<int>(800 * scale), static_cast<int>(850 * scale));
    QTransform t;
    if (mirror)
        t = QTransform(-1, 0, 0, 1, size.width(), 0);
    t.translate(size.width() / 2.0, size.height() - 330 * scale);
    t.rotate(tilt);
    t.scale(scale, scale);
    t.translate(-330, -340);
    QImage photo(size, QImage::Format_RGB32);
    QPainter p(&photo);
    paintGround(p, size, ground);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(t);
    const QImage person = samplePerson(scale);
    p.drawImage(QRectF(0, 0, kSampleWidth, kSampleHeight), person);
    paintAddition(p, addition);
    p.end();
    return {photo, t};
}

// The landmarks the outline gives, by index (0 = S1).
constexpr std::size_t kOutline[] = {0, 2, 3, 6, 7, 8, 13, 14};
constexpr std::size_t kBack = 5;

TEST(ProfileFinder, FindsTheSampleProfileOnAnyBackgroundSizeTiltAndSide) {
    const SidePoints defaults = sideDefaults();
    std::vector<double> all;
    int cases = 0;
    for (const Ground ground : {Ground::Plain, Ground::Gradient, Ground::Textured})
        for (const double scale : {1.0, 1.6})
            for (const double tilt : {0.0, 10.0, -10.0})
                for (const bool mirror : {false, true}) {
                    const char* groundName = ground == Ground::Plain      ? "plain"
                                             : ground == Ground::Gradient ? "gradient"
                                                                          : "textured";
                    SCOPED_TRACE(testing::Message() << groundName << " x" << scale << " tilt "
                                                    << tilt << (mirror ? " mirrored" : ""));
                    const Photo photo = makePhoto(scale, tilt, mirror, ground);
                    const ProfileResult r = findProfile(view(photo.image), defaults);
                    ASSERT_TRUE(r.found) << r.why;
                    EXPECT_EQ(r.facing, mirror ? Facing::Right : Facing::Left);
                    // The window shows the photo mirrored for a face looking right, and the
                    // user turns the head upright; the sample's defaults go the same way.
                    const PhotoView shown = photoView(photo.image.size(), mirror ? tilt : -tilt);
                    const bool shownMirrored = r.facing == Facing::Right;
                    SidePoints got{};
                    for (std::size_t i = 0; i < kSidePointCount; ++i)
                        got[i] = imageToRectangle(r.points[i], shown, shownMirrored);
                    std::vector<double> off(kSidePointCount);
                    for (std::size_t i = 0; i < kSidePointCount; ++i) {
                        const QPointF px = photo.samplePixelToPhoto.map(
                            QPointF(samplePixel(defaults[i]).x, samplePixel(defaults[i]).y));
                        const Point want = imageToRectangle({px.x(), px.y()}, shown, mirror);
                        off[i] = distance(got[i], want);
                    }
                    std::vector<double> outline;
                    std::printf("%-8s x%.1f %+4.0f %s", groundName, scale, tilt,
                                mirror ? "M" : "-");
                    for (const std::size_t i : kOutline) {
                        // The brow's most forward point is read in the photo's own frame, where
                        // the measurements read it: on a photo not levelled yet it slides along
                        // the brow's curve, but stays on the brow.
                        const bool slides = i == 2 && tilt != 0;
                        EXPECT_LE(off[i], slides ? 10.0 : 4.0) << "S" << i + 1;
                        outline.push_back(off[i]);
                        std::printf(" S%zu %.1f", i + 1, off[i]);
                    }
                    std::printf(" S6 %.1f\n", off[kBack]);
                    EXPECT_LE(off[kBack], 6.0) << "S6";
                    all.insert(all.end(), outline.begin(), outline.end());
                    ++cases;
                }
    ASSERT_EQ(cases, 36);
    std::nth_element(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(all.size() / 2),
                     all.end());
    EXPECT_LE(all[all.size() / 2], 2.0) << "median of the outline landmarks' distances";
}

// Backdrops of real studios and rooms, and heads with more than short hair. The head must come
// out whole and face its own way: its nose tip, brow and chin where they are.
TEST(ProfileFinder, FindsTheSampleProfileOnOtherBackdropsAndWithABunOrABeard) {
    const SidePoints defaults = sideDefaults();
    const struct {
        const char* name;
        Ground ground;
        Addition addition;
    } cases[] = {
        {"dark, haloed: hair lighter than the backdrop", Ground::DarkHalo, Addition::None},
        {"a blurred scene", Ground::Blurred, Addition::None},
        {"a backdrop close to the skin's colour", Ground::SkinTone, Addition::None},
        {"a bun", Ground::Plain, Addition::Bun},
        {"a beard", Ground::Plain, Addition::Beard},
    };
    for (const auto& c : cases)
        for (const bool mirror : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (mirror ? ", mirrored" : ""));
            const Photo photo = makePhoto(1.0, 0, mirror, c.ground, c.addition);
            const ProfileResult r = findProfile(view(photo.image), defaults);
            ASSERT_TRUE(r.found) << r.why;
            EXPECT_EQ(r.facing, mirror ? Facing::Right : Facing::Left);
            const PhotoView shown = photoView(photo.image.size(), 0);
            // S3, S8 and, without a beard over it, S14.
            for (const std::size_t i : {std::size_t{2}, std::size_t{7}, std::size_t{13}}) {
                if (i == 13 && c.addition == Addition::Beard)
                    continue;
                const QPointF px = photo.samplePixelToPhoto.map(
                    QPointF(samplePixel(defaults[i]).x, samplePixel(defaults[i]).y));
                const Point want = imageToRectangle({px.x(), px.y()}, shown, mirror);
                const Point got = imageToRectangle(r.points[i], shown, mirror);
                EXPECT_LE(distance(got, want), 4.0) << "S" << i + 1;
            }
        }
}

// The real photograph: a strict left profile on a light grey background, decoded at about the
// size the window shows it.
TEST(ProfileFinder, FindsTheRealProfileInOrderAndOnItsOutline) {
    const QImage photo = QImage(QStringLiteral(VEIDORA_TEST_DATA "/profile-037.jpg"))
                             .scaled(1028, 1028, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(photo.isNull());
    const auto outline = findSilhouette(view(photo));
    ASSERT_TRUE(outline);
    const ProfileResult r = findProfile(view(photo), sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    EXPECT_EQ(r.facing, Facing::Left);
    const SidePoints& s = r.points;
    const auto y = [&](int n) { return s[static_cast<std::size_t>(n - 1)].y; };
    const auto x = [&](int n) { return s[static_cast<std::size_t>(n - 1)].x; };
    // Top of the head, forehead, root, tip, base, chin: top to bottom.
    EXPECT_LT(y(1), y(3));
    EXPECT_LT(y(3), y(4));
    EXPECT_LT(y(4), y(8));
    EXPECT_LT(y(8), y(9));
    EXPECT_LT(y(9), y(14));
    EXPECT_LT(y(14), y(15));
    for (const int n : {1, 3, 4, 7, 9, 14, 15})
        EXPECT_LT(x(8), x(n)) << "the tip is the most forward, S" << n;
    EXPECT_LT(x(14), x(15)) << "the chin's front is ahead of its bottom";
    EXPECT_LT(x(6), photo.width());
    EXPECT_GT(x(6) - x(8), photo.width() / 3) << "the back of the head is behind the face";

    // Every outline landmark on the silhouette's outline, within 3 units of the screen.
    const double unitsPerPixel = std::min(257.0 / photo.width(), 321.0 / photo.height());
    for (const std::size_t i : kOutline) {
        double nearest = std::numeric_limits<double>::max();
        for (const Point& p : outline->points)
            nearest = std::min(nearest, distance(p, s[i]));
        EXPECT_LE(nearest * unitsPerPixel, 3.0) << "S" << i + 1;
    }
}

TEST(ProfileFinder, FindsNoProfileOnAFrontalFaceOrWithoutAPerson) {
    const QImage frontal = QImage(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png"))
                               .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(frontal.isNull());
    QImage ball(600, 500, QImage::Format_RGB32);
    {
        QPainter p(&ball);
        paintGround(p, ball.size(), Ground::Gradient);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xc0, 0x40, 0x30));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(300, 260), 150, 150);
    }
    QImage empty(600, 500, QImage::Format_RGB32);
    {
        QPainter p(&empty);
        paintGround(p, empty.size(), Ground::Textured);
    }
    const struct {
        const char* name;
        QImage image;
    } cases[] = {
        {"a face from the front", frontal}, {"a ball", ball}, {"only a background", empty}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SilhouetteError error = SilhouetteError::LibraryFailure;
        const ProfileResult r = findProfile(view(c.image), sideDefaults(), &error);
        EXPECT_FALSE(r.found);
        EXPECT_FALSE(r.why.empty());
        EXPECT_EQ(error, SilhouetteError::None); // "not found" is no error
    }
}

TEST(ProfileFinder, ABadPictureIsAnErrorNotAnException) {
    const std::uint8_t pixel[4] = {};
    const ColourView bad[] = {
        {nullptr, 10, 10, 40, 4},
        {pixel, 0, 0, 0, 4},
        {pixel, 1, 1, 4, 2}, // two channels
        {pixel, 2, 1, 4, 4}, // lines shorter than the width
    };
    for (const ColourView& v : bad) {
        SilhouetteError error = SilhouetteError::None;
        const ProfileResult r = findProfile(v, sideDefaults(), &error);
        EXPECT_FALSE(r.found);
        EXPECT_EQ(error, SilhouetteError::BadPicture);
    }
}

TEST(MirroredPicture, QtMirrorsAPixelWhereTheMappingSays) {
    // TImage::mirror turns its bitmap with QImage::mirror(true, false).
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setPixel(3, 7, qRgb(255, 0, 0));
    img.mirror(true, false);
    const Point moved = mirrored({3.5, 7.5}, img.width());
    EXPECT_EQ(img.pixel(static_cast<int>(moved.x), static_cast<int>(moved.y)), qRgb(255, 0, 0));
}

} // namespace
