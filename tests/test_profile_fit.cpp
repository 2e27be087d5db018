#include "profile_fit.hpp"
#include "sample_defaults.hpp"
#include "side_landmarks.hpp"
#include "traced_outline.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace veidora::facefit;

namespace {

// A head facing left drawn as straight runs between these corners, each feature a corner.
struct Corners {
    Point top{300, 100}, hair{200, 120}, brow{170, 290}, root{185, 330}, tip{130, 400},
        base{190, 420}, lip{175, 460}, fold{195, 500}, chin{180, 530}, chinBottom{190, 570},
        throat{300, 590}, neck{305, 700}, neckBack{470, 700}, nape{470, 560}, back{520, 300};

    std::vector<Point> polygon() const {
        return {top,  hair,       brow,   root, tip,      base, lip, fold,
                chin, chinBottom, throat, neck, neckBack, nape, back};
    }
};

Outline outlineOf(std::vector<Point> pts, double width = 640, double height = 800) {
    return {std::move(pts), width, height, 4};
}

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// --- the walk on a head drawn with corners -------------------------------------------------

struct WalkCase {
    const char* name;
    double turnDegrees; // about the picture's centre, clockwise on the screen
    double scale;
    bool mirror;  // the head looks right
    bool reverse; // the outline runs the other way round
};

Point place(Point p, const WalkCase& c, double width, double height) {
    const Point centre{width / 2, height / 2};
    const double r = c.turnDegrees * std::numbers::pi / 180;
    const double dx = (p.x - centre.x) * c.scale, dy = (p.y - centre.y) * c.scale;
    Point q{centre.x + std::cos(r) * dx - std::sin(r) * dy,
            centre.y + std::sin(r) * dx + std::cos(r) * dy};
    return c.mirror ? mirrored(q, width) : q;
}

// A head seen from the front: the face's left half mirrored onto the right about x = 320.
std::vector<Point> frontalOf(const Corners& h) {
    std::vector<Point> frontal;
    for (const Point& p : h.polygon())
        if (p.x <= 300 || p.y >= 700)
            frontal.push_back(p);
    std::vector<Point> right;
    for (auto it = frontal.rbegin(); it != frontal.rend(); ++it)
        right.push_back(mirrored(*it, 2 * 300 + 40));
    frontal.insert(frontal.end(), right.begin(), right.end());
    return frontal;
}

TEST(ProfileWalk, ReadsEveryOutlineFeatureWhereverTheHeadIsTurnedScaledOrFacing) {
    const WalkCase cases[] = {
        {"as drawn", 0, 1, false, false},
        {"turned clockwise", 10, 1, false, false},
        {"turned back", -10, 1, false, false},
        {"half size", 0, 0.5, false, false},
        {"facing right", 0, 1, true, false},
        {"facing right, turned", -10, 1, true, false},
        {"traced the other way", 0, 1, false, true},
    };
    const Corners h;
    const double width = 640, height = 800;
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point> pts;
        for (const Point& p : traced(h.polygon()))
            pts.push_back(place(p, c, width, height));
        if (c.reverse)
            std::reverse(pts.begin(), pts.end());
        const ProfileResult r =
            analyseProfile(outlineOf(pts, width, height), nullptr, sideDefaults());
        ASSERT_TRUE(r.found) << r.why;
        EXPECT_EQ(r.facing, c.mirror ? Facing::Right : Facing::Left);
        // Corners within 2 pixels of the drawing (at its own scale), S7 a third of the ridge.
        const double tol = 2 * std::max(c.scale, 1.0);
        const auto at = [&](Point p) { return place(p, c, width, height); };
        const Point ridge{h.root.x + (h.tip.x - h.root.x) * 0.342,
                          h.root.y + (h.tip.y - h.root.y) * 0.342};
        const std::pair<int, Point> want[] = {
            {3, h.brow}, {4, h.root}, {6, h.back},  {7, ridge},
            {8, h.tip},  {9, h.base}, {14, h.chin}, {15, h.chinBottom},
        };
        for (const auto& [s, p] : want)
            EXPECT_LE(distance(r.points[static_cast<std::size_t>(s - 1)], at(p)), 4 * tol)
                << "S" << s;
        // The top of the head: only its height is read; upright it is the drawn top's.
        if (c.turnDegrees == 0) {
            EXPECT_NEAR(r.points[0].y, at(h.top).y, tol);
        }
    }
}

TEST(ProfileWalk, ReadLandmarksAreFlaggedAndTheRestFollowTheFit) {
    const Corners h;
    const ProfileResult r = analyseProfile(outlineOf(traced(h.polygon())), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    // S2 needs the colours; S5, S10-S13, S16 and S17 are never on the outline.
    const std::array<bool, kSidePointCount> read{true,  false, true, true,  false, true,
                                                 true,  true,  true, false, false, false,
                                                 false, true,  true, false, false};
    EXPECT_EQ(r.measured, read);
    // The estimated ones are the defaults through the fit of the read ones: the fit taken from
    // the read pairs reproduces them.
    std::vector<Point> from, to;
    const SidePoints d = sideDefaults();
    for (std::size_t i = 0; i < kSidePointCount; ++i) {
        if (read[i]) {
            from.push_back(d[i]);
            to.push_back(r.points[i]);
        }
    }
    const auto fit = fitSimilarity(from, to);
    ASSERT_TRUE(fit);
    for (std::size_t i = 0; i < kSidePointCount; ++i) {
        if (!read[i] && i != 1) {
            EXPECT_LE(distance(r.points[i], fit->apply(d[i])), 1e-9) << "S" << i + 1;
        }
    }
    // S2 keeps the fit's height but lies on the forehead's edge, which its slope is read from.
    const Point s2 = fit->apply(d[1]);
    EXPECT_NEAR(r.points[1].y, s2.y, 1e-9);
    EXPECT_NEAR(r.points[1].x,
                h.hair.x + (h.brow.x - h.hair.x) * (s2.y - h.hair.y) / (h.brow.y - h.hair.y), 1);
}

// A picture of skin with bands of other colours, each over a range of rows.
struct Band {
    int fromY, toY;
    std::uint8_t r, g, b;
};

std::vector<std::uint8_t> paint(int width, int height, std::initializer_list<Band> bands) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
    for (int y = 0; y < height; ++y) {
        std::uint8_t c[3] = {235, 190, 160};
        for (const Band& b : bands) {
            if (y >= b.fromY && y < b.toY) {
                c[0] = b.r;
                c[1] = b.g;
                c[2] = b.b;
            }
        }
        for (int x = 0; x < width; ++x)
            std::copy(c, c + 3, &rgb[static_cast<std::size_t>((y * width + x) * 3)]);
    }
    return rgb;
}

TEST(ProfileWalk, TheForeheadEndsWhereTheHairBegins) {
    // The brow is at y = 290, the top of the head at 100; the eyebrows just above the brow,
    // hair from the top down.
    const Corners h;
    const int width = 640, height = 800;
    const Band hair{0, 160, 70, 50, 40}, eyebrow{268, 285, 60, 45, 35}, fringe{0, 272, 70, 50, 40},
        lowFringe{0, 245, 70, 50, 40}, bald{0, 0, 0, 0, 0}, strands{195, 215, 70, 50, 40};
    // `edge`: the height where S2 is put from the picture (0: the sample's place through the
    // fit); `shows`: whether that is a hairline seen, not estimated.
    const struct {
        const char* name;
        std::vector<std::uint8_t> rgb;
        double edge;
        bool shows;
    } cases[] = {
        {"hair over a bare forehead", paint(width, height, {hair}), 160, true},
        {"dark eyebrows under the forehead", paint(width, height, {hair, eyebrow}), 160, true},
        {"a fringe hanging low over the forehead", paint(width, height, {lowFringe, eyebrow}), 245,
         false},
        {"a fringe down to the eyebrows", paint(width, height, {fringe, eyebrow}), 0, false},
        {"a bald head", paint(width, height, {bald}), 0, false},
        {"a few strands across a bald scalp", paint(width, height, {strands}), 215, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ColourView colours{c.rgb.data(), width, height, width * 3, 3};
        const ProfileResult r =
            analyseProfile(outlineOf(traced(h.polygon())), &colours, sideDefaults());
        ASSERT_TRUE(r.found) << r.why;
        // No hairline to be seen: S2 is estimated, not read.
        ASSERT_EQ(r.measured[1], c.shows);
        if (c.edge != 0) {
            EXPECT_NEAR(r.points[1].y, c.edge, 8);
        }
        // Read or estimated, on the forehead's run from the hair corner down to the brow.
        const double along = (r.points[1].y - h.hair.y) / (h.brow.y - h.hair.y);
        EXPECT_NEAR(r.points[1].x, h.hair.x + (h.brow.x - h.hair.x) * along, 2);
    }
}

TEST(ProfileWalk, AFringeHangingOverTheBrowHidesTheForeheadsEnds) {
    // Above the brow at y = 290 the outline dips back into a notch and comes forward again on
    // a fringe's tip at y = 240. Drawn grainy as hair above y = 275, the tip is hair over the
    // brow: S2 and S3 are estimated, S3 on the skin's brow, S2 at the notch. Drawn smooth as
    // skin, it is a forehead: S3 stays read.
    constexpr int kW = 640, kH = 800;
    const Corners h;
    const Point fringeTip{160, 240};
    const auto picture = [](bool hairAbove) {
        std::vector<std::uint8_t> rgb(std::size_t{kW} * kH * 3);
        std::mt19937 random(7);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const bool hair = hairAbove && y < 275;
                const int v = hair ? 90 + std::uniform_int_distribution<int>(-40, 40)(random) : 0;
                std::uint8_t* p = &rgb[(std::size_t(y) * kW + std::size_t(x)) * 3];
                p[0] = hair ? std::uint8_t(v) : 235;
                p[1] = hair ? std::uint8_t(v * 3 / 4) : 190;
                p[2] = hair ? std::uint8_t(v / 2) : 160;
            }
        return rgb;
    };
    const struct {
        const char* name;
        double notchX; // how far back the outline dips between brow and tip
        bool hair;
    } cases[] = {
        {"a shallow notch the walk up the brow runs past", 173, true},
        {"a deep notch the walk up the brow stops at", 182, true},
        {"a forehead coming forward again", 173, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Point notch{c.notchX, 270};
        const std::vector<Point> head{h.top,    h.hair, fringeTip,  notch,  h.brow, h.root,
                                      h.tip,    h.base, h.lip,      h.fold, h.chin, h.chinBottom,
                                      h.throat, h.neck, h.neckBack, h.nape, h.back};
        const std::vector<std::uint8_t> rgb = picture(c.hair);
        const ColourView colours{rgb.data(), kW, kH, kW * 3, 3};
        const ProfileResult r = analyseProfile(outlineOf(traced(head)), &colours, sideDefaults());
        ASSERT_TRUE(r.found) << r.why;
        if (!c.hair) {
            EXPECT_TRUE(r.measured[2]);
            continue;
        }
        EXPECT_FALSE(r.measured[1]) << "S2";
        EXPECT_FALSE(r.measured[2]) << "S3";
        EXPECT_LE(distance(r.points[2], h.brow), 4);
        EXPECT_LE(distance(r.points[1], notch), 4);
    }
}

TEST(ProfileWalk, TheChinsBottomIsWhereItsFrontTurnsUnder) {
    // A round chin: a quarter circle from its upright front to its level underside. S15 is
    // where the outline runs at 45 degrees, S14 the front's most forward point.
    const Corners h;
    const Point centre{h.chin.x + 40, h.chin.y};
    std::vector<Point> corners;
    for (const Point& p : h.polygon()) {
        if (p.x == h.chinBottom.x && p.y == h.chinBottom.y) {
            for (int a = 3; a <= 90; a += 3) {
                const double t = a * std::numbers::pi / 180;
                corners.push_back({centre.x - 40 * std::cos(t), centre.y + 40 * std::sin(t)});
            }
            continue;
        }
        corners.push_back(p);
    }
    const ProfileResult r = analyseProfile(outlineOf(traced(corners)), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    const double half = std::sqrt(0.5);
    EXPECT_LE(distance(r.points[14], {centre.x - 40 * half, centre.y + 40 * half}), 3);
    EXPECT_LE(distance(r.points[13], h.chin), 4);
}

TEST(ProfileWalk, TheChinsFrontIsBelowAShallowFoldUnderAFullLip) {
    // The lower lip hangs low and stands further out than the chin; the fold between them is
    // shallow. S14 is the chin's front, never the lip.
    Corners h;
    h.lip = {172, 505};
    h.fold = {185, 525};
    h.chin = {182, 550};
    h.chinBottom = {190, 575};
    h.throat = {300, 595};
    const ProfileResult r = analyseProfile(outlineOf(traced(h.polygon())), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    EXPECT_LE(distance(r.points[13], h.chin), 4);
    EXPECT_LE(distance(r.points[14], h.chinBottom), 4);
}

TEST(ProfileWalk, TheChinsFrontOnARecedingChinIsReadPartlyStraightAhead) {
    // A large round chin below a fold, receding: the line from the fold to the chin's turn
    // slopes back. How far a point stands out is read 0.6 square to that line and 0.4
    // straight ahead, so S14 is where the circle faces that direction: square to the line
    // alone would slide it down towards the turn, ahead alone up towards the fold.
    Corners h;
    h.lip = {165, 470};
    const Point centre{265, 520};
    const double radius = 80;
    const auto onChin = [&](double degrees) {
        const double t = degrees * std::numbers::pi / 180;
        return Point{centre.x + radius * std::cos(t), centre.y + radius * std::sin(t)};
    };
    const Point fold = onChin(185);
    std::vector<Point> head{h.top, h.hair, h.brow, h.root, h.tip, h.base, h.lip};
    for (int a = 185; a >= 90; a -= 5)
        head.push_back(onChin(a));
    for (const Point& p : {Point{330, 605}, Point{330, 700}, h.neckBack, h.nape, h.back})
        head.push_back(p);
    const ProfileResult r = analyseProfile(outlineOf(traced(head)), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    // The walk reads the head stood upright by its forehead's line: S15, where the upright
    // outline runs at 45 degrees, tells how far that turns the drawing.
    const Point turn = r.points[14];
    EXPECT_NEAR(distance(turn, centre), radius, 1.5);
    const double lean = std::atan2(turn.y - centre.y, turn.x - centre.x) - 0.75 * std::numbers::pi;
    ASSERT_LT(std::abs(lean), 0.15);
    const Point d{turn.x - fold.x, turn.y - fold.y};
    const double len = std::hypot(d.x, d.y);
    const auto facing = [&](double square) {
        const Point v{square * -d.y / len - (1 - square) * std::cos(lean),
                      square * d.x / len - (1 - square) * std::sin(lean)};
        const double n = std::hypot(v.x, v.y);
        return Point{centre.x + radius * v.x / n, centre.y + radius * v.y / n};
    };
    ASSERT_GT(distance(facing(0.6), facing(0.75)), 4) << "the fixture tells the shares apart";
    EXPECT_LE(distance(r.points[13], facing(0.6)), 2);
}

// A long nose below a slight brow and a forehead sloping back above it.
const Point kSlightBrow{172, 290};
std::vector<Point> longNoseHead() {
    const Corners h;
    return {h.top,      h.hair, {180, 160}, {176, 270}, kSlightBrow, h.root,
            {100, 400}, h.base, h.lip,      h.fold,     h.chin,      h.chinBottom,
            h.throat,   h.neck, h.neckBack, h.nape,     h.back};
}

TEST(ProfileWalk, TheBrowIsReadAsShotAboveALongNoseAndASlopingForehead) {
    // A long nose tilts the line resting on tip and forehead, so standing the head upright by
    // it bows the forehead forward: above a slight brow it would run on forward. The photo is
    // level; S3 stays on the brow.
    const ProfileResult r =
        analyseProfile(outlineOf(traced(longNoseHead())), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    EXPECT_LE(distance(r.points[2], kSlightBrow), 3);
}

TEST(ProfileWalk, TheBrowIsReadAsTheTurnedPhotoIsShown) {
    // The same head shot bowed forward, its photo shown turned upright again: as shot, the
    // forehead runs on forward above the brow; as shown, it runs back. A head looking right is
    // shown mirrored first, then turned the same way.
    const double tilt = 8, width = 640, height = 800;
    const Point centre{width / 2, height / 2};
    for (const bool mirror : {false, true}) {
        SCOPED_TRACE(mirror ? "facing right" : "facing left");
        const WalkCase shot{"", -tilt, 1, mirror, false};
        std::vector<Point> pts;
        for (const Point& p : traced(longNoseHead()))
            pts.push_back(place(p, shot, width, height));
        const Outline outline = outlineOf(pts, width, height);
        // Where the window shows a point of the picture.
        const auto shown = [&](Point p, double degrees) {
            const double t = degrees * std::numbers::pi / 180;
            const Point q = mirror ? mirrored(p, width) : p;
            const double dx = q.x - centre.x, dy = q.y - centre.y;
            return Point{centre.x + std::cos(t) * dx - std::sin(t) * dy,
                         centre.y + std::sin(t) * dx + std::cos(t) * dy};
        };
        const ProfileResult asShot = analyseProfile(outline, nullptr, sideDefaults());
        ASSERT_TRUE(asShot.found) << asShot.why;
        ASSERT_GT(distance(shown(asShot.points[2], tilt), kSlightBrow), 12)
            << "the fixture's forehead runs forward as shot";
        const ProfileResult r = analyseProfile(outline, nullptr, sideDefaults(), tilt);
        ASSERT_TRUE(r.found) << r.why;
        EXPECT_EQ(r.facing, mirror ? Facing::Right : Facing::Left);
        EXPECT_LE(distance(shown(r.points[2], tilt), kSlightBrow), 3);
    }
}

TEST(ProfileWalk, TheNoseRootIsTheDeepestPointBetweenBrowAndTip) {
    // A rounded nose root (a quadratic curve about the drawn corner). Its depth is read half
    // square to the edge laid on brow and tip and half straight back: the deepest point is
    // where the tangent runs square to that direction, neither where it runs parallel to the
    // edge (lower down the bridge) nor where it runs straight down (higher, under the brow).
    const Corners h;
    const Point from{177.5, 310}, to{171.25, 347.5};
    const auto curve = [&](double t) {
        const double a = (1 - t) * (1 - t), b = 2 * (1 - t) * t, c = t * t;
        return Point{a * from.x + b * h.root.x + c * to.x, a * from.y + b * h.root.y + c * to.y};
    };
    std::vector<Point> head{h.top, h.hair, h.brow};
    for (int k = 0; k <= 40; ++k)
        head.push_back(curve(k / 40.0));
    for (const Point& p : {h.tip, h.base, h.lip, h.fold, h.chin, h.chinBottom, h.throat, h.neck,
                           h.neckBack, h.nape, h.back})
        head.push_back(p);
    // Into the face square to the edge (facing left: towards +x), and straight back.
    const Point d{h.tip.x - h.brow.x, h.tip.y - h.brow.y};
    const double len = std::hypot(d.x, d.y);
    const Point in{0.5 * d.y / len + 0.5, -0.5 * d.x / len};
    // The tangent 2((1-t)(root-from) + t(to-root)) is square to `in` at t where
    // (1-t) u.in + t v.in = 0.
    const auto dot = [&](Point u) { return u.x * in.x + u.y * in.y; };
    const double ui = dot({h.root.x - from.x, h.root.y - from.y}),
                 vi = dot({to.x - h.root.x, to.y - h.root.y});
    const Point deepest = curve(ui / (ui - vi));
    // Where the tangent runs parallel to the edge: the point furthest behind the edge alone.
    const auto cross = [&](Point u) { return u.x * d.y - u.y * d.x; };
    const double ud = cross({h.root.x - from.x, h.root.y - from.y}),
                 vd = cross({to.x - h.root.x, to.y - h.root.y});
    ASSERT_GT(distance(deepest, curve(ud / (ud - vd))), 6) << "the fixture tells the two apart";
    const ProfileResult r = analyseProfile(outlineOf(traced(head)), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    EXPECT_LE(distance(r.points[3], deepest), 3);
}

TEST(ProfileWalk, NoProfileIsFoundWithoutANoseShapedExtreme) {
    const Corners h;
    std::vector<Point> circle;
    for (int k = 0; k < 1200; ++k) {
        const double a = 2 * std::numbers::pi * k / 1200;
        circle.push_back({320 + 200 * std::cos(a), 400 + 200 * std::sin(a)});
    }
    Corners flat = h; // the nose filed off: a straight run from root to base
    flat.tip = {187, 365};
    Corners blunt = h; // a bump too shallow for a nose
    blunt.tip = {180, 400};
    const std::vector<Point> frontal = frontalOf(h);
    Corners cut = h; // the top of the head beyond the picture's top
    for (Point* p : {&cut.top, &cut.hair})
        p->y = 2;

    const struct {
        const char* name;
        Outline outline;
    } cases[] = {
        {"nothing", outlineOf({})},
        {"a few points", outlineOf({{1, 1}, {5, 1}, {5, 5}})},
        {"a round object", outlineOf(circle)},
        {"no nose", outlineOf(traced(flat.polygon()))},
        {"a shallow bump", outlineOf(traced(blunt.polygon()))},
        {"a face from the front", outlineOf(traced(frontal))},
        {"cut off at the top", outlineOf(traced(cut.polygon()))},
        {"picture of no size", outlineOf(traced(h.polygon()), 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProfileResult r = analyseProfile(c.outline, nullptr, sideDefaults());
        EXPECT_FALSE(r.found);
        EXPECT_FALSE(r.why.empty());
    }
}

TEST(ProfileWalk, AFrontViewIsNoProfileWhenOneSideReadsAsHair) {
    // One side of the picture smooth as skin, the other grainy as hair: the bump on the grainy
    // side is rejected as hair, the one on the smooth side reads as a nose, and only the
    // symmetry of the whole outline tells that it is a face seen from the front.
    constexpr int kW = 640, kH = 800;
    for (const bool grainyLeft : {false, true}) {
        SCOPED_TRACE(grainyLeft ? "grainy on the left" : "grainy on the right");
        std::vector<std::uint8_t> rgb(std::size_t{kW} * kH * 3);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const bool grainy = (x < kW / 2) == grainyLeft;
                const std::uint8_t v = !grainy ? 180 : ((x + y) % 2 ? 100 : 200);
                for (int c = 0; c < 3; ++c)
                    rgb[(std::size_t(y) * kW + std::size_t(x)) * 3 + std::size_t(c)] = v;
            }
        const ColourView colours{rgb.data(), kW, kH, kW * 3, 3};
        const ProfileResult r =
            analyseProfile(outlineOf(traced(frontalOf(Corners{}))), &colours, sideDefaults());
        EXPECT_FALSE(r.found);
        EXPECT_FALSE(r.why.empty());
    }
}

// --- where the window draws a point of a mirrored picture ---------------------------------

TEST(MirroredPicture, APointMapsThroughTheMirrorAndTheView) {
    // Pixel i covers [i, i+1): mirrored, it is pixel width-1-i, so its centre i+0.5 goes to
    // width-i-0.5.
    EXPECT_EQ(mirrored({3.5, 7.25}, 40), (Point{36.5, 7.25}));
    EXPECT_EQ(mirrored(mirrored({3.5, 7.25}, 40), 40), (Point{3.5, 7.25}));
    const PhotoView view{400, 300, 8, 8, 257, 321, 10, 561, 377};
    const Point p{100, 50};
    EXPECT_EQ(imageToRectangle(p, view, false), imageToRectangle(p, view));
    EXPECT_EQ(imageToRectangle(p, view, true), imageToRectangle(Point{300, 50}, view));
}

} // namespace
