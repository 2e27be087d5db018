// The profile's levelling points on the sample profile drawing, as drawn, turned, mirrored and
// with its ear hidden. The side search's landmarks are the sample's own default places, so only
// the finder is tested. QImage and QSvgRenderer only make the pictures.
#include "level_ear.hpp"
#include "level_frame.hpp"
#include "level_helix.hpp"
#include "level_points.hpp"
#include "levelling.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRadialGradient>
#include <QSvgRenderer>
#include <QTransform>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

using namespace veidora::facefit;

namespace {

constexpr double kSampleWidth = 663, kSampleHeight = 681;
// Drawn at about a decoded studio photo's size.
constexpr double kScale = 1.6;
// The lower lid's lowest point and the ear's opening as the drawing has them (sample pixels).
constexpr Point kLid{108, 340};
constexpr Point kEarHollow{347, 392};

// A default place (drawing-rectangle units over the sample) in the drawn picture's pixels.
Point drawnPixel(Point rect) {
    const veidora::SampleBox box = veidora::kSideSampleBox;
    const double fit = std::min(box.width / kSampleWidth, box.height / kSampleHeight);
    const double left = box.x + (box.width - kSampleWidth * fit) / 2;
    const double top = box.y + (box.height - kSampleHeight * fit) / 2;
    return {(rect.x - left) / fit * kScale, (rect.y - top) / fit * kScale};
}

// The drawing shades the ear's opening only faintly; a photo shows it as a dark hollow behind
// the tragus, so one is painted there.
QImage drawnSample() {
    QSvgRenderer renderer(QStringLiteral(VEIDORA_SAMPLE_PROFILE));
    QImage img(QSize(int(kSampleWidth * kScale), int(kSampleHeight * kScale)),
               QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p);
    const QPointF hollow(kEarHollow.x * kScale, kEarHollow.y * kScale);
    QRadialGradient shade(hollow, 7 * kScale);
    shade.setColorAt(0, QColor(0x3c, 0x24, 0x1e));
    shade.setColorAt(0.5, QColor(0x5a, 0x38, 0x2c, 0xc0));
    shade.setColorAt(1, QColor(0x5a, 0x38, 0x2c, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(hollow, 7 * kScale, 7 * kScale);
    return img;
}

// The sample with the side search's landmarks on their default places.
struct Drawn {
    QImage picture;
    ProfileResult profile;
};

Drawn sample() {
    Drawn d{drawnSample(), {}};
    d.profile.found = true;
    d.profile.facing = Facing::Left;
    const SidePoints defaults = sideDefaults();
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        d.profile.points[i] = drawnPixel(defaults[i]);
        d.profile.measured[i] = true;
    }
    return d;
}

// `d` turned clockwise by `degrees` about its centre, its landmarks with it; the corners white.
Drawn turned(const Drawn& d, double degrees) {
    const QTransform rot = QTransform().rotate(degrees);
    const QTransform map = QImage::trueMatrix(rot, d.picture.width(), d.picture.height());
    Drawn t{QImage(), d.profile};
    const QImage r =
        d.picture.convertToFormat(QImage::Format_ARGB32).transformed(rot, Qt::SmoothTransformation);
    t.picture = QImage(r.size(), QImage::Format_RGB32);
    t.picture.fill(Qt::white);
    QPainter(&t.picture).drawImage(0, 0, r);
    for (Point& p : t.profile.points) {
        const QPointF q = map.map(QPointF(p.x, p.y));
        p = {q.x(), q.y()};
    }
    return t;
}

Drawn mirroredSample(const Drawn& d) {
    Drawn m{d.picture.mirrored(true, false), d.profile};
    m.profile.facing = Facing::Right;
    for (Point& p : m.profile.points)
        p = mirrored(p, d.picture.width());
    return m;
}

LevelPoints find(const Drawn& d) {
    const ColourView view{d.picture.constBits(), d.picture.width(), d.picture.height(),
                          d.picture.bytesPerLine(), 4};
    return findLevelPoints(view, d.profile);
}

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

Point scaled(Point p) {
    return {p.x * kScale, p.y * kScale};
}

} // namespace

TEST(LevelPoints, FindsTheSamplesLidAndEarOpening) {
    const LevelPoints found = find(sample());
    ASSERT_TRUE(found.eye) << found.why;
    ASSERT_TRUE(found.ear) << found.why;
    // Within the lid's and the hollow's own size of where they are drawn.
    EXPECT_LT(distance(*found.eye, scaled(kLid)), 8 * kScale);
    EXPECT_LT(distance(*found.ear, scaled(kEarHollow)), 12 * kScale);
}

TEST(LevelPoints, TurnedSampleGivesItsTurnBack) {
    const Drawn upright = sample();
    const auto slope0 = levelLineSlope(find(upright));
    ASSERT_TRUE(slope0);
    for (double degrees : {-8.0, -4.0, 4.0, 8.0}) {
        const LevelPoints found = find(turned(upright, degrees));
        const auto slope = levelLineSlope(found);
        ASSERT_TRUE(slope) << degrees << ": " << found.why;
        EXPECT_NEAR(*slope - *slope0, degrees, 1.0) << degrees;
    }
}

TEST(LevelPoints, MirroredSampleGivesTheMirroredPoints) {
    const Drawn left = sample();
    const LevelPoints a = find(left), b = find(mirroredSample(left));
    ASSERT_TRUE(a.eye && a.ear && b.eye && b.ear) << b.why;
    const double width = left.picture.width();
    EXPECT_LT(distance(*b.eye, mirrored(*a.eye, width)), 2.0);
    EXPECT_LT(distance(*b.ear, mirrored(*a.ear, width)), 2.0);
}

TEST(LevelPoints, EarOutlineRingsTheOpeningAndTurnsWithThePicture) {
    const Drawn upright = sample();
    const auto outlineOf = [](const Drawn& d) {
        const ColourView view{d.picture.constBits(), d.picture.width(), d.picture.height(),
                              d.picture.bytesPerLine(), 4};
        const auto frame = level::frameOf(d.profile);
        const auto outline = frame ? level::findEarOutline(view, *frame) : std::nullopt;
        return std::pair{frame, outline};
    };
    const auto [frame, outline] = outlineOf(upright);
    ASSERT_TRUE(frame && outline);
    // The opening lies inside the outline, in its front half: the helix is behind it.
    const Point hollow = frame->toFrame(scaled(kEarHollow));
    const double u = (hollow.x - outline->centre.x) / (outline->scale * level::kEarHalfWidth);
    const double v = (hollow.y - outline->centre.y) / (outline->scale * level::kEarHalfHeight);
    EXPECT_LT(u, 0);
    EXPECT_LT(u * u + v * v, 1);
    // Turned, the outline is found on the same ear: its middle where the turn takes it.
    const Point middle = frame->toPicture(outline->centre);
    const QTransform map = QImage::trueMatrix(QTransform().rotate(8), upright.picture.width(),
                                              upright.picture.height());
    const QPointF expected = map.map(QPointF(middle.x, middle.y));
    const auto [turnedFrame, turnedOutline] = outlineOf(turned(upright, 8));
    ASSERT_TRUE(turnedFrame && turnedOutline);
    const Point again = turnedFrame->toPicture(turnedOutline->centre);
    EXPECT_LT(distance(again, {expected.x(), expected.y()}), 0.05 * frame->unit);
}

TEST(LevelPoints, LineMustRunAsTheFacesOwnAxisAllows) {
    const Drawn left = sample();
    const Drawn right = mirroredSample(left);
    const double width = left.picture.width();
    const Point lid = scaled(kLid), ear = scaled(kEarHollow);
    // The ear's opening moved up or down by this share of the lid-to-ear distance.
    const double reach = distance(lid, ear);
    struct Case {
        double earShift;
        bool agrees;
    };
    for (const Case& c :
         {Case{0, true}, Case{-0.1, true}, Case{0.1, true}, Case{-0.6, false}, Case{0.6, false}}) {
        const Point moved{ear.x, ear.y + c.earShift * reach};
        EXPECT_EQ(lineAgreesWithProfile(left.profile, lid, moved), c.agrees) << c.earShift;
        EXPECT_EQ(
            lineAgreesWithProfile(right.profile, mirrored(lid, width), mirrored(moved, width)),
            c.agrees)
            << c.earShift << " mirrored";
    }
    // The ear in front of the lid is no profile's line.
    EXPECT_FALSE(lineAgreesWithProfile(left.profile, ear, lid));
}

TEST(LevelPoints, ProfileIsTurnedUntilItsLineSlopesAsOnAnUprightPhoto) {
    const Point lid{100, 100};
    // An ear behind a left-facing profile's lid (right) or a right-facing one's (left), its line
    // falling by `degrees` towards the back of the head.
    const auto pointsAt = [&](Facing facing, double degrees) {
        const double a = degrees * std::numbers::pi / 180, back = facing == Facing::Left ? 1 : -1;
        LevelPoints p;
        p.eye = lid;
        p.ear = Point{lid.x + back * 200 * std::cos(a), lid.y + 200 * std::sin(a)};
        return p;
    };
    const double upright = kUprightLidToEarSlope;
    struct Case {
        Facing facing;
        double slope;
        int tilt;
        bool limited;
    };
    for (const Case& c :
         {Case{Facing::Left, upright, 0, false}, Case{Facing::Right, upright, 0, false},
          Case{Facing::Left, upright + 4, -4, false}, Case{Facing::Right, upright + 4, -4, false},
          Case{Facing::Left, upright - 7, 7, false}, Case{Facing::Right, upright - 7, 7, false},
          Case{Facing::Left, upright + 30, -20, true}}) {
        const auto l = profileLevelling(pointsAt(c.facing, c.slope), c.facing, -20, 20);
        ASSERT_TRUE(l);
        EXPECT_EQ(l->tilt, c.tilt) << c.slope << (c.facing == Facing::Left ? " left" : " right");
        EXPECT_EQ(l->limited, c.limited) << c.slope;
    }
    LevelPoints noEar = pointsAt(Facing::Left, upright);
    noEar.ear.reset();
    EXPECT_FALSE(profileLevelling(noEar, Facing::Left, -20, 20));
}

TEST(LevelPoints, DeeperHollowAboveAndBehindTheOpeningIsPassedOver) {
    // The concha's upper bowl, shaded deeper than the opening: the hollow nearer where an
    // opening lies in its ear wins. The step alone: whether the whole search trusts an ear with
    // two such hollows is the steadiness check's to say.
    Drawn d = sample();
    const auto frame = level::frameOf(d.profile);
    ASSERT_TRUE(frame);
    const Point opening = frame->toFrame(scaled(kEarHollow));
    const Point bowl = frame->toPicture({opening.x + 0.02, opening.y - 0.12});
    {
        QPainter p(&d.picture);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient shade(QPointF(bowl.x, bowl.y), 7 * kScale);
        shade.setColorAt(0, QColor(0x10, 0x08, 0x06));
        shade.setColorAt(0.5, QColor(0x50, 0x32, 0x26, 0xc0));
        shade.setColorAt(1, QColor(0x50, 0x32, 0x26, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawEllipse(QPointF(bowl.x, bowl.y), 7 * kScale, 7 * kScale);
    }
    const ColourView view{d.picture.constBits(), d.picture.width(), d.picture.height(),
                          d.picture.bytesPerLine(), 4};
    const auto found = level::findEarOpening(view, *frame);
    ASSERT_TRUE(found);
    EXPECT_LT(distance(frame->toPicture(*found), scaled(kEarHollow)), 12 * kScale);
}

TEST(LevelPoints, EarUnderHairIsNotFound) {
    Drawn d = sample();
    {
        // Hair combed down over the whole ear, a few locks lighter than the rest.
        QPainter p(&d.picture);
        const QRectF ear(325 * kScale, 295 * kScale, 85 * kScale, 165 * kScale);
        p.fillRect(ear, QColor(0x4a, 0x33, 0x24));
        p.setPen(QPen(QColor(0x6b, 0x4c, 0x36), 2 * kScale));
        for (double x = ear.left() + 6; x < ear.right(); x += 9 * kScale)
            p.drawLine(QPointF(x, ear.top()), QPointF(x + 4 * kScale, ear.bottom()));
        // A dark gap between locks where the opening would be: a hollow, but ringed by hair.
        const QPointF gap(kEarHollow.x * kScale, kEarHollow.y * kScale);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1a, 0x12, 0x0e));
        p.drawEllipse(gap, 5 * kScale, 5 * kScale);
    }
    const LevelPoints found = find(d);
    EXPECT_TRUE(found.eye);
    EXPECT_FALSE(found.ear);
    EXPECT_FALSE(levelLineSlope(found));
    EXPECT_FALSE(found.why.empty());
}

TEST(LevelPoints, NothingIsFoundWithoutAProfileOrPicture) {
    const Drawn d = sample();
    ProfileResult none = d.profile;
    none.found = false;
    const ColourView view{d.picture.constBits(), d.picture.width(), d.picture.height(),
                          d.picture.bytesPerLine(), 4};
    const ColourView empty{};
    ProfileResult collapsed = d.profile;
    collapsed.points[14] = collapsed.points[3]; // chin on the nose's root: no frame
    for (const auto& [picture, profile] :
         {std::pair{view, none}, std::pair{empty, d.profile}, std::pair{view, collapsed}}) {
        const LevelPoints found = findLevelPoints(picture, profile);
        EXPECT_FALSE(found.eye);
        EXPECT_FALSE(found.ear);
        EXPECT_FALSE(found.why.empty());
    }
}
