// The hairline and the nose bridge's sides looked for in a photo's pixels, on pictures painted
// here: no Qt, no face model.
#include "face_fit.hpp"
#include "front_landmarks.hpp"
#include "photo_features.hpp"
#include "sample_defaults.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace veidora::facefit;

namespace {

// --- findInPhoto on painted faces -------------------------------------------------------------

// The 68 points as the model finds them on the sample face, in units of the distance between
// the eye centres from the middle between them, y down.
constexpr double kCanonical[68][2] = {
    {-1.146, -0.1},  {-1.129, 0.181},  {-1.091, 0.452},  {-1.03, 0.727},   {-0.921, 0.991},
    {-0.747, 1.209}, {-0.518, 1.38},   {-0.274, 1.506},  {-0.01, 1.554},   {0.255, 1.512},
    {0.499, 1.39},   {0.722, 1.222},   {0.894, 1.002},   {1.003, 0.735},   {1.068, 0.462},
    {1.114, 0.185},  {1.138, -0.095},  {-0.896, -0.255}, {-0.73, -0.343},  {-0.537, -0.348},
    {-0.349, -0.29}, {-0.172, -0.2},   {0.165, -0.206},  {0.349, -0.297},  {0.541, -0.344},
    {0.74, -0.342},  {0.906, -0.249},  {-0.006, -0.015}, {-0.007, 0.142},  {-0.006, 0.297},
    {-0.003, 0.455}, {-0.177, 0.613},  {-0.091, 0.63},   {-0.005, 0.646},  {0.082, 0.63},
    {0.161, 0.613},  {-0.699, -0.016}, {-0.574, -0.086}, {-0.413, -0.078}, {-0.295, 0.032},
    {-0.432, 0.077}, {-0.588, 0.07},   {0.287, 0.033},   {0.415, -0.079},  {0.575, -0.088},
    {0.697, -0.017}, {0.592, 0.07},    {0.435, 0.081},   {-0.365, 0.967},  {-0.223, 0.861},
    {-0.097, 0.807}, {-0.008, 0.834},  {0.088, 0.808},   {0.213, 0.865},   {0.341, 0.972},
    {0.213, 1.08},   {0.095, 1.123},   {-0.011, 1.132},  {-0.113, 1.121},  {-0.234, 1.073},
    {-0.297, 0.966}, {-0.1, 0.911},    {-0.008, 0.916},  {0.09, 0.91},     {0.276, 0.97},
    {0.089, 0.989},  {-0.011, 0.998},  {-0.107, 0.988},
};

struct Rgb {
    double r, g, b;
};
constexpr Rgb kSkin{226, 184, 156}, kHair{92, 62, 42}, kBackdrop{228, 232, 236};
constexpr Rgb kHat{45, 58, 90}, kBrow{70, 50, 40}, kDrifted{214, 190, 150};
constexpr Rgb kTurned{190, 125, 95};
// Darker, more saturated and a little yellower than kSkin, each by less than skin varies.
constexpr Rgb kLightBrown{154, 119, 85}, kGreyHair{150, 150, 150};
// Fine hairs: a little darker than the skin, their strands lighter and darker by a few hundredths
// side by side, too little a change from the skin for a clear step.
constexpr double kFineHairShade = 0.95, kFineHairGrain = 0.05;

// What is painted, in face units (see kCanonical).
struct Scene {
    double hairline = -0.95; // on the midline; it curves down towards the temples
    double curve = 0.3;      // by this times the square of the distance from the midline
    double fringe = 0;       // depth of a saw-toothed lower edge
    bool hair = true;        // false: bald, the skin up to the top of the head
    bool sidesOnly = false;  // bald on top, hair at the sides
    bool hairToBrows = false;
    bool swept = false;  // the hair swept down over the right temple to the brow
    double soft = 0;     // the hairline blurred over this height
    double fineBand = 0; // a band of fine hairs this tall below the hairline, skin-coloured but
                         // grained
    Rgb hairColour = kHair;
    double grain = 0; // the hair's strands lighter and darker by this share, side by side
    double lock = 0;  // half width of a lock hanging down the midline to 0.55 above the eyes
    std::optional<double> hat;    // the brim's lower edge
    std::optional<double> shadow; // top of a band of shade across the forehead
    std::optional<double> shine;  // top of a band of shine across it
    bool drift = false;          // the forehead yellower and paler towards the top, as under a lamp
    bool turning = false;        // the forehead darker and redder towards the temples
    double bridge = 0.09;        // half width of the lit nose ridge; 0: a flat-lit nose
    double bridgeShift = 0;      // the ridge's centre this far right of the midline at the eyes
    double bridgeLean = 0;       // and moving this far right per unit down
    std::optional<double> glint; // a glint on the ridge's right wall across this height
    double noise = 0;            // per channel
    double tilt = 0;             // degrees, clockwise
    double unit = 110;           // pixels between the eye centres
    double jawInset = 0;        // the face points' jaw line drawn this share inside the face's edge
    std::optional<double> neck; // half width of a neck in shade behind the jaw
    double jawStart = 0;        // the face points' first jaw points drawn this far lower
    std::optional<double> wing; // the nostril wings' outer edge, a shaded groove just inside it
    bool nostrils = false;      // and the nostrils' deeper shadow further in
};

// The hairline without a fringe's teeth.
double baseHairline(const Scene& s, double x) {
    if (s.hairToBrows)
        return -0.3;
    const double y = s.hairline + s.curve * x * x;
    return s.swept && x > 0.4 ? y + std::min(1.0, (x - 0.4) / 0.2) * (-0.25 - y) : y;
}

double hairlineAt(const Scene& s, double x) {
    double y = baseHairline(s, x);
    if (s.fringe > 0) {
        const double t = x / 0.08 - std::floor(x / 0.08);
        y += s.fringe * std::abs(2 * t - 1);
    }
    return y;
}

double browAt(double x) {
    const int from = x < 0 ? 17 : 22;
    for (int i = from; i < from + 4; ++i)
        if (x >= kCanonical[i][0] && x <= kCanonical[i + 1][0]) {
            const double t = (x - kCanonical[i][0]) / (kCanonical[i + 1][0] - kCanonical[i][0]);
            return kCanonical[i][1] + t * (kCanonical[i + 1][1] - kCanonical[i][1]);
        }
    return 1e9;
}

Rgb paint(const Scene& s, double x, double y) {
    const auto inEllipse = [&](double cx, double cy, double rx, double ry) {
        return (x - cx) * (x - cx) / (rx * rx) + (y - cy) * (y - cy) / (ry * ry) <= 1;
    };
    const bool head = inEllipse(0, -0.05, 1.15, 1.65);
    const double hairline = hairlineAt(s, x);
    const bool temple = std::abs(x) > 0.98 && y < 0.1;
    const bool lock = std::abs(x) < s.lock && y < -0.55;
    const bool hair = s.hair && inEllipse(0, -0.1, 1.3, 1.8) &&
                      (temple || lock || (!s.sidesOnly && y < hairline));
    if (s.hat && ((std::abs(x) < 1.5 && y < *s.hat && y > *s.hat - 0.3) ||
                  (inEllipse(0, -0.1, 1.25, 1.8) && y < *s.hat)))
        return kHat;
    if (hair) {
        const double k = 1 + s.grain * (std::fmod(std::abs(x), 0.04) < 0.02 ? 1 : -1);
        return {s.hairColour.r * k, s.hairColour.g * k, s.hairColour.b * k};
    }
    if (!head && s.neck && y > 0.5 && std::abs(x) < *s.neck)
        return {kSkin.r * 0.75, kSkin.g * 0.75, kSkin.b * 0.75};
    if (!head)
        return kBackdrop;
    const double brow = browAt(x);
    if (y >= brow && y <= brow + 0.07)
        return kBrow;
    double k = 1;
    if (s.shadow && y >= *s.shadow && y <= *s.shadow + 0.06)
        k = 0.4;
    Rgb c{kSkin.r * k, kSkin.g * k, kSkin.b * k};
    if (s.drift && y < -0.35) {
        const double t = std::min(1.0, (-0.35 - y) / 0.45);
        c = {c.r + t * (kDrifted.r - c.r), c.g + t * (kDrifted.g - c.g),
             c.b + t * (kDrifted.b - c.b)};
    }
    if (s.turning && y < 0 && std::abs(x) > 0.4) {
        const double t = std::min(1.0, (std::abs(x) - 0.4) / 0.35);
        c = {c.r + t * (kTurned.r - c.r), c.g + t * (kTurned.g - c.g), c.b + t * (kTurned.b - c.b)};
    }
    if (s.wing && y > 0.45 && y < 0.7) {
        const double in = *s.wing - std::abs(x);
        if (in >= 0 && in < 0.04)
            k = 0.7;
        else if (s.nostrils && in >= 0.06 && in < 0.1)
            k = 0.45;
        c = {kSkin.r * k, kSkin.g * k, kSkin.b * k};
    }
    if (s.shine && y >= *s.shine && y <= *s.shine + 0.06)
        c = {(c.r + 255) / 2, (c.g + 255) / 2, (c.b + 255) / 2};
    if (s.bridge > 0 && y > 0 && y < 0.6) {
        const double across = x - s.bridgeShift - s.bridgeLean * y;
        if (std::abs(across) < s.bridge)
            c = {c.r + 18, c.g + 18, c.b + 18};
        else if (std::abs(across) < s.bridge + 0.1)
            c = {c.r - 14, c.g - 14, c.b - 14};
        if (s.glint && std::abs(y - *s.glint) < 0.03 && across > s.bridge + 0.02 &&
            across < s.bridge + 0.05)
            c = {c.r + 60, c.g + 60, c.b + 60};
    }
    if (s.hair && !s.sidesOnly && y >= hairline && y < hairline + s.fineBand) {
        const double k =
            kFineHairShade *
            (std::fmod(std::abs(x), 0.04) < 0.02 ? 1 + kFineHairGrain : 1 - kFineHairGrain);
        c = {kSkin.r * k, kSkin.g * k, kSkin.b * k};
    }
    if (s.hair && !s.sidesOnly && y < hairline + s.soft) { // blurred into the hair
        const double t = (y - hairline) / s.soft;
        c = {s.hairColour.r + t * (c.r - s.hairColour.r),
             s.hairColour.g + t * (c.g - s.hairColour.g),
             s.hairColour.b + t * (c.b - s.hairColour.b)};
    }
    return c;
}

struct Painted {
    std::vector<std::uint8_t> pixels;
    ImageView view;
    FacePoints face;
    FrontPoints estimate;
    Point origin;
    double cos = 1, sin = 0, unit = 1;

    Point toImage(double x, double y) const {
        return {origin.x + unit * (cos * x - sin * y), origin.y + unit * (sin * x + cos * y)};
    }
};

FrontPoints defaults() {
    return veidora::facefit::frontDefaults();
}

Painted painted(const Scene& s) {
    Painted p;
    const int w = static_cast<int>(5 * s.unit), h = static_cast<int>(5.4 * s.unit);
    p.origin = {w / 2.0, h * 0.52};
    p.unit = s.unit;
    p.cos = std::cos(s.tilt * std::numbers::pi / 180);
    p.sin = std::sin(s.tilt * std::numbers::pi / 180);
    p.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    std::uint32_t state = 12345;
    const auto noise = [&] {
        double n = 0;
        for (int k = 0; k < 4; ++k) {
            state = state * 1664525u + 1013904223u;
            n += static_cast<double>(state >> 8) / (1u << 24) - 0.5;
        }
        return n * std::sqrt(3.0) * s.noise;
    };
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const double dx = i + 0.5 - p.origin.x, dy = j + 0.5 - p.origin.y;
            const Rgb c =
                paint(s, (p.cos * dx + p.sin * dy) / s.unit, (-p.sin * dx + p.cos * dy) / s.unit);
            std::uint8_t* q = &p.pixels[(static_cast<std::size_t>(j) * static_cast<std::size_t>(w) +
                                         static_cast<std::size_t>(i)) *
                                        3];
            for (int k = 0; k < 3; ++k) {
                const double v = (k == 0 ? c.r : k == 1 ? c.g : c.b) + noise();
                q[k] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            }
        }
    }
    p.view = {p.pixels.data(), w, h, static_cast<std::ptrdiff_t>(w) * 3, 3};
    for (std::size_t i = 0; i < p.face.size(); ++i) {
        const double inset = i <= 16 ? 1 - s.jawInset : 1;
        const double lower = i == 0 || i == 16 ? s.jawStart : 0;
        p.face[i] = p.toImage(inset * kCanonical[i][0], kCanonical[i][1] + lower);
    }
    p.estimate = frontLandmarks(p.face, defaults());
    return p;
}

// A found point in the scene's units.
Point inScene(const Painted& p, Point found) {
    const double dx = found.x - p.origin.x, dy = found.y - p.origin.y;
    return {(p.cos * dx + p.sin * dy) / p.unit, (-p.sin * dx + p.cos * dy) / p.unit};
}

// How far below the hairline painted at its place `found` lies, in face units; a fringe's edge
// counts from half way down its teeth, a blurred one from half way through the blur.
double offHairline(const Painted& p, const Scene& s, Point found) {
    const double dx = found.x - p.origin.x, dy = found.y - p.origin.y;
    const double x = (p.cos * dx + p.sin * dy) / p.unit, y = (-p.sin * dx + p.cos * dy) / p.unit;
    return y - baseHairline(s, x) - s.fringe / 2 - s.soft / 2;
}

TEST(FindInPhoto, HairlineWhereTheForeheadsSkinEnds) {
    struct Case {
        const char* what;
        Scene scene;
        double tolerance = 0.04;  // face units
        bool rightHidden = false; // the right corner under hair: estimated
    };
    Scene noisy, shadow, shine, drift, fringe, tilted, small, high, low, near, blurred, swept;
    Scene grained, turning;
    turning.turning = true;
    noisy.noise = 14;
    shadow.shadow = -0.7;
    shine.shine = -0.6;
    drift.drift = true;
    near.hairColour = kLightBrown;
    blurred.hairColour = kLightBrown;
    blurred.soft = 0.08;
    swept.swept = true;
    grained.hairColour = {kSkin.r * 0.7, kSkin.g * 0.7, kSkin.b * 0.7};
    grained.grain = 0.35;
    fringe.fringe = 0.08;
    tilted.tilt = -12;
    small.unit = 45;
    high.hairline = -1.3;
    low.hairline = -0.62;
    const Case cases[] = {
        {"plain", {}},
        {"noisy", noisy},
        {"a shadow band on the forehead", shadow},
        {"a shine band on the forehead", shine},
        {"the forehead's colour drifting towards the top", drift},
        {"the forehead darker and redder towards the temples", turning},
        {"a saw-toothed fringe", fringe, 0.06},
        {"turned 12 degrees", tilted},
        {"a small face", small, 0.05},
        {"a high forehead", high},
        {"a low fringe", low},
        {"light brown hair near the skin's colour", near},
        {"light brown hair, its edge blurred", blurred},
        {"hair swept down over the right temple", swept, 0.04, true},
        {"hair of the skin's colour in shade, seen by its strands", grained},
    };
    for (const Case& c : cases) {
        const Painted p = painted(c.scene);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        EXPECT_EQ(found.hairlineRight.has_value(), !c.rightHidden) << c.what;
        for (const auto& [name, point] :
             {std::pair{"P1", found.hairlineLeft}, std::pair{"P2", found.hairlineRight},
              std::pair{"P3", found.hairlineTop}}) {
            if (c.rightHidden && std::string_view(name) == "P2")
                continue;
            ASSERT_TRUE(point) << c.what << " " << name;
            const double off = offHairline(p, c.scene, *point);
            EXPECT_LE(std::abs(off), c.tolerance) << c.what << " " << name << " off by " << off;
        }
        // Under the corners' estimate the hairline runs flatter than 45 degrees: where it lies
        // well clear of the brows there, the corners stay in that column.
        for (const auto& [point, estimate] : {std::pair{found.hairlineLeft, p.estimate[0]},
                                              std::pair{found.hairlineRight, p.estimate[1]}}) {
            const double x = inScene(p, estimate).x;
            if (point && baseHairline(c.scene, x) < browAt(x) - 0.2) {
                EXPECT_NEAR(inScene(p, *point).x, x, 0.05) << c.what;
            }
        }
    }
}

// Fine blond hairs below the full hair are hair: the top lies where the skin ends, at the band's
// foot, not at the darker hair above it.
TEST(FindInPhoto, HairlineTopBelowABandOfFineHairs) {
    struct Case {
        const char* what;
        double band;
        Rgb hair;
    };
    const Case cases[] = {
        {"a band of fine hairs under dark hair", 0.12, kHair},
        {"a deeper band under light brown hair", 0.15, kLightBrown},
    };
    for (const Case& c : cases) {
        Scene s;
        s.fineBand = c.band;
        s.hairColour = c.hair;
        s.grain = 0.2; // the full hair's strands
        const Painted p = painted(s);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_TRUE(found.hairlineTop) << c.what;
        const double off = offHairline(p, s, *found.hairlineTop) - c.band;
        EXPECT_LE(std::abs(off), 0.04) << c.what << " off by " << off;
    }
}

// The face points' nose root follows the nose: one that sits to a side does not take the
// hairline's top with it, which stays half way between the eyes.
TEST(FindInPhoto, HairlineTopHalfWayBetweenTheEyesWhereverTheNoseRootIs) {
    for (double aside : {-0.12, 0.0, 0.12}) {
        const Scene s;
        Painted p = painted(s);
        p.face[27] = p.toImage(kCanonical[27][0] + aside, kCanonical[27][1]);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_TRUE(found.hairlineTop) << aside;
        EXPECT_NEAR(inScene(p, *found.hairlineTop).x, 0, 0.02) << aside;
        EXPECT_LE(std::abs(offHairline(p, s, *found.hairlineTop)), 0.04) << aside;
    }
}

TEST(FindInPhoto, NoHairlineWhereThePhotoDoesNotShowOne) {
    Scene bald, sides, greySides, hat, covered, lowHat;
    bald.hair = false;
    sides.sidesOnly = true;
    greySides.sidesOnly = true;
    greySides.hairColour = kGreyHair;
    hat.hat = -0.62;
    lowHat.hat = -0.4;
    covered.hairToBrows = true;
    const std::pair<const char*, Scene> cases[] = {
        {"bald: skin up to the top of the head", bald},
        {"bald on top, hair at the sides", sides},
        {"bald on top, grey hair at the sides", greySides},
        {"a hat's brim across the forehead", hat},
        {"a hat down to just above the brows", lowHat},
        {"hair down to the brows", covered},
    };
    for (const auto& [what, scene] : cases) {
        const Painted p = painted(scene);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        EXPECT_FALSE(found.hairlineLeft) << what;
        EXPECT_FALSE(found.hairlineRight) << what;
        EXPECT_FALSE(found.hairlineTop) << what;
        EXPECT_TRUE(found.bridgeLeft && found.bridgeRight) << what; // the nose still shows
    }
}

// The nose root (y -0.015) and base (0.646) of the painted face's points; the sample face marks
// the bridge's sides 0.283 of the way down.
constexpr double kRootY = -0.015, kBaseY = 0.646;
constexpr double kSidesY = kRootY + 0.283 * (kBaseY - kRootY);

TEST(FindInPhoto, NoseBridgeSidesAtTheRidgesEdges) {
    struct Case {
        const char* what;
        Scene scene;
        bool shown;
    };
    Scene wide, noisy, tilted, flat, flatNoisy, off, leaning, glint;
    wide.bridge = 0.12;
    noisy.noise = 14;
    tilted.tilt = 10;
    flat.bridge = 0;
    flatNoisy.bridge = 0;
    flatNoisy.noise = 14;
    off.bridgeShift = 0.03; // the ridge right of the face points' midline
    leaning.bridgeLean = -0.08;
    leaning.noise = 10;
    glint.glint = 0.28; // the lowest rows read: its right side brighter than the ridge
    const Case cases[] = {
        {"plain", {}, true},
        {"wide", wide, true},
        {"noisy", noisy, true},
        {"turned 10 degrees", tilted, true},
        {"off the face points' midline", off, true},
        {"leaning, noisy", leaning, true},
        {"a glint beside the ridge on one row", glint, true},
        {"flat-lit", flat, false},
        {"flat-lit and noisy", flatNoisy, false},
    };
    for (const Case& c : cases) {
        const Painted p = painted(c.scene);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_EQ(found.bridgeLeft.has_value(), c.shown) << c.what;
        ASSERT_EQ(found.bridgeRight.has_value(), c.shown) << c.what;
        ASSERT_EQ(found.bridgeRoot.has_value(), c.shown) << c.what;
        if (!c.shown)
            continue;
        const auto centreAt = [&](double y) {
            return c.scene.bridgeShift + c.scene.bridgeLean * y;
        };
        // On the painted edges, at the sample face's height.
        for (const auto& [point, side] :
             {std::pair{*found.bridgeLeft, -1.0}, std::pair{*found.bridgeRight, 1.0}}) {
            const Point q = inScene(p, point);
            EXPECT_NEAR(q.x, centreAt(q.y) + side * c.scene.bridge, 0.02) << c.what << " " << side;
            EXPECT_NEAR(q.y, kSidesY, 0.01) << c.what << " " << side;
        }
        // The root on the ridge's centre line at the root's height, where the bridge itself
        // (lit only below the eyes) is not painted.
        const Point root = inScene(p, *found.bridgeRoot);
        EXPECT_NEAR(root.x, centreAt(kRootY), 0.005) << c.what;
        EXPECT_NEAR(root.y, kRootY, 0.01) << c.what;
        // Found, the root moves onto the line, the sides with it: which way the bridge leans
        // (the root right or left of the sides' middle) is the painted lean's.
        const FrontFinding got = findFrontLandmarks(p.face, defaults(), p.view);
        EXPECT_EQ(got.points[15], *found.bridgeRoot) << c.what;
        EXPECT_TRUE(got.found[15] && got.found[16] && got.found[17]) << c.what;
        const double lean = 2 * got.points[15].x - got.points[16].x - got.points[17].x;
        if (c.scene.bridgeLean != 0 && c.scene.tilt == 0) {
            EXPECT_GT(-c.scene.bridgeLean * lean, 0) << c.what << " lean " << lean;
        }
    }
}

// Where the bridge does not show, its sides are estimated at the sample face's height on the
// nose's axis, as far apart as the fit put them.
TEST(FindFrontLandmarks, UnseenBridgeSidesOnTheNosesAxis) {
    Scene flat;
    flat.bridge = 0;
    const Painted p = painted(flat);
    const FrontFinding got = findFrontLandmarks(p.face, defaults(), p.view);
    EXPECT_FALSE(got.found[16] || got.found[17]);
    const Point l = inScene(p, got.points[16]), r = inScene(p, got.points[17]);
    const Point fitL = inScene(p, p.estimate[16]), fitR = inScene(p, p.estimate[17]);
    for (const Point q : {l, r})
        EXPECT_NEAR(q.y, kSidesY, 1e-3);
    EXPECT_NEAR((l.x + r.x) / 2, -0.0055 + (kSidesY - kRootY) * (0.001 / (kBaseY - kRootY)), 1e-3);
    EXPECT_NEAR(r.x - l.x, fitR.x - fitL.x, 1e-6);
}

TEST(FindInPhoto, NostrilWingsWhereTheirGroovesRiseToTheCheek) {
    // Where the fit puts the wings, across the nose at their height.
    const Painted plain = painted({});
    const double fit = std::abs(inScene(plain, plain.estimate[18]).x);
    struct Case {
        const char* what;
        Scene scene;
        bool shown;
    };
    Scene inside, outside, noisy, tilted, nostrils;
    inside.wing = fit - 0.04;
    outside.wing = noisy.wing = tilted.wing = nostrils.wing = fit + 0.03;
    noisy.noise = 14;
    tilted.tilt = 12;
    nostrils.nostrils = true; // a stronger rise further in, from the nostril to the wing
    const Case cases[] = {
        {"inside the fit", inside, true},
        {"outside it", outside, true},
        {"noisy", noisy, true},
        {"turned 12 degrees", tilted, true},
        {"beside the nostrils' shadow", nostrils, true},
        {"no grooves", {}, false},
    };
    for (const Case& c : cases) {
        const Painted p = painted(c.scene);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_EQ(found.wingLeft.has_value(), c.shown) << c.what;
        ASSERT_EQ(found.wingRight.has_value(), c.shown) << c.what;
        // Shown wings are found landmarks, unmarked.
        const FrontFinding got = findFrontLandmarks(p.face, defaults(), p.view);
        EXPECT_EQ(got.found[18] && got.found[19], c.shown) << c.what;
        if (!c.shown)
            continue;
        EXPECT_EQ(got.points[18], *found.wingLeft) << c.what;
        EXPECT_EQ(got.points[19], *found.wingRight) << c.what;
        // 0.89 of the way from the nose root (y -0.015) to its base (0.646).
        for (const Point q : {inScene(p, *found.wingLeft), inScene(p, *found.wingRight)}) {
            EXPECT_NEAR(std::abs(q.x), *c.scene.wing, 0.01) << c.what;
            EXPECT_NEAR(q.y, -0.015 + 0.89 * (0.646 + 0.015), 0.01) << c.what;
        }
    }
}

TEST(FindInPhoto, EveryPixelLayoutGivesTheSameLandmarks) {
    const Painted p = painted({});
    const PhotoLandmarks rgb = findInPhoto(p.view, p.face, p.estimate);
    ASSERT_TRUE(rgb.hairlineTop && rgb.bridgeLeft);
    // B,G,R,A with padded lines, as a 32-bit QImage stores them.
    const int w = p.view.width, h = p.view.height;
    const std::ptrdiff_t line = static_cast<std::ptrdiff_t>(w) * 4 + 12;
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(line * h), 0xAB);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* from = p.view.pixels + y * p.view.bytesPerLine + x * 3;
            std::uint8_t* to = &bgra[static_cast<std::size_t>(y * line + x * 4)];
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 255;
        }
    const PhotoLandmarks four = findInPhoto({bgra.data(), w, h, line, 4}, p.face, p.estimate);
    for (const auto& [a, b] :
         {std::pair{rgb.hairlineLeft, four.hairlineLeft},
          std::pair{rgb.hairlineRight, four.hairlineRight},
          std::pair{rgb.hairlineTop, four.hairlineTop}, std::pair{rgb.bridgeLeft, four.bridgeLeft},
          std::pair{rgb.bridgeRight, four.bridgeRight}}) {
        ASSERT_TRUE(a && b);
        EXPECT_EQ(*a, *b);
    }
}

TEST(FindInPhoto, MalformedViewsFindNothing) {
    const Painted p = painted({});
    ImageView noPixels = p.view, twoChannels = p.view, shortLines = p.view;
    noPixels.pixels = nullptr;
    twoChannels.channels = 2;
    shortLines.bytesPerLine = 10;
    FacePoints point = p.face;
    point.fill(p.face[30]); // all 68 points on one spot
    for (const ImageView& v : {noPixels, twoChannels, shortLines}) {
        const PhotoLandmarks found = findInPhoto(v, p.face, p.estimate);
        EXPECT_FALSE(found.hairlineTop || found.hairlineLeft || found.bridgeLeft);
    }
    const PhotoLandmarks found = findInPhoto(p.view, point, p.estimate);
    EXPECT_FALSE(found.hairlineTop || found.hairlineLeft || found.bridgeLeft);
}

// --- the outline -----------------------------------------------------------------------------

// Where the face points' jaw line, drawn `inset` of the way in, crosses height y; side -1 left.
double jawLineX(double inset, double y, int side) {
    const int first = side < 0 ? 0 : 16, step = side < 0 ? 1 : -1;
    for (int i = first; i != 8; i += step) {
        const double* a = kCanonical[i];
        const double* b = kCanonical[i + step];
        if ((a[1] - y) * (b[1] - y) <= 0 && a[1] != b[1])
            return (1 - inset) * (a[0] + (y - a[1]) / (b[1] - a[1]) * (b[0] - a[0]));
    }
    return NAN;
}

TEST(FindInPhoto, JawOnTheFacesEdgeAtTheLowerLipsHeight) {
    struct Case {
        const char* what;
        Scene scene;
        bool onEdge; // false: the edge lies beyond the reach the model's line is trusted with
    };
    Scene near, noisy, tilted, neck, far;
    near.jawInset = noisy.jawInset = tilted.jawInset = neck.jawInset = 0.02;
    noisy.noise = 14;
    tilted.tilt = 12;
    neck.neck = 0.88; // within the search's reach
    far.jawInset = 0.1;
    const Case cases[] = {
        {"against the backdrop", near, true},        {"noisy", noisy, true},
        {"turned 12 degrees", tilted, true},         {"over a wider neck in shade", neck, true},
        {"the model's line far inside", far, false},
    };
    // The painted head's edge, and the heights the jaw is marked at: 0.253 / 0.232 of the way
    // from the mouth corners (y 0.97) to the chin (1.554).
    const auto edge = [](double y) {
        const double t = (y + 0.05) / 1.65;
        return 1.15 * std::sqrt(1 - t * t);
    };
    const double mouth = (0.967 + 0.972) / 2, chin = 1.554;
    const double jawLeft = mouth + 0.253 * (chin - mouth),
                 jawRight = mouth + 0.232 * (chin - mouth);
    for (const Case& c : cases) {
        const Painted p = painted(c.scene);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_TRUE(found.outline) << c.what;
        const Point l = inScene(p, found.outline->jawLeft);
        const Point r = inScene(p, found.outline->jawRight);
        EXPECT_NEAR(l.y, jawLeft, 0.01) << c.what;
        EXPECT_NEAR(r.y, jawRight, 0.01) << c.what;
        if (c.onEdge) {
            EXPECT_NEAR(-l.x, edge(l.y), 0.01) << c.what << " P21";
            EXPECT_NEAR(r.x, edge(r.y), 0.01) << c.what << " P22";
        } else {
            // Moved out by the trusted reach, 0.025 eye distances, no further.
            EXPECT_NEAR(l.x, jawLineX(c.scene.jawInset, l.y, -1) - 0.025, 0.003) << c.what;
            EXPECT_NEAR(r.x, jawLineX(c.scene.jawInset, r.y, 1) + 0.025, 0.003) << c.what;
        }
    }
}

TEST(FindInPhoto, ChinOnItsEdgeAboveTheNeck) {
    // The painted chin's lowest point, 0.046 below where the model puts it (kCanonical[8]).
    constexpr double kChinEdge = 1.6, kModelChin = 1.554;
    struct Case {
        const char* what;
        Scene scene;
        double modelChin; // where the face points put the chin
        std::optional<double> found;
    };
    Scene neck, noisy, tilted, bright;
    neck.neck = noisy.neck = tilted.neck = 0.5;
    noisy.noise = 14;
    tilted.tilt = 12;
    const Case cases[] = {
        {"over a neck in shade", neck, kModelChin, kChinEdge},
        {"noisy", noisy, kModelChin, kChinEdge},
        {"turned 12 degrees", tilted, kModelChin, kChinEdge},
        {"the model's point below the edge: in its shadow, stays", neck, 1.65, std::nullopt},
        {"over a lighter backdrop: no shadow's edge", bright, kModelChin, std::nullopt},
        {"the model's point far above the edge", neck, 1.4, std::nullopt},
    };
    for (const Case& c : cases) {
        Painted p = painted(c.scene);
        p.face[8] = p.toImage(kCanonical[8][0], c.modelChin);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_EQ(found.chinBottom.has_value(), c.found.has_value()) << c.what;
        if (!c.found)
            continue;
        const Point at = inScene(p, *found.chinBottom);
        EXPECT_NEAR(at.y, *c.found, 0.01) << c.what;
        EXPECT_NEAR(at.x, kCanonical[8][0], 0.005) << c.what; // along the midline
    }
}

TEST(FindInPhoto, CheeksOnTheFacesEdgeAtTheCheekbone) {
    struct Case {
        const char* what;
        Scene scene;
        double x; // where the cheeks belong, eye distances from the midline
    };
    // At the cheekbone's height (0.137 of the way from the outer eye corners, -0.0165, to the
    // nose base, 0.646) the painted temples' hair begins 0.98 from the midline; the model's jaw
    // line, drawn 0.9 of the way out, runs at 1.02 there.
    Scene outside, noisy, tilted, low, bald;
    outside.jawInset = noisy.jawInset = tilted.jawInset = low.jawInset = bald.jawInset = 0.1;
    noisy.noise = 14;
    tilted.tilt = -12;
    low.jawStart = 0.25;
    bald.hair = false;
    const Case cases[] = {
        {"against the temples' hair", outside, 0.98},
        {"noisy", noisy, 0.98},
        {"turned 12 degrees", tilted, 0.98},
        {"the model's jaw line starting below the cheekbone", low, 0.98},
        // Skin up to the backdrop beyond the reach: nothing falls, the model's line stays.
        {"bald", bald, 0.9 * 1.135},
    };
    const double cheek = -0.0165 + 0.137 * (0.646 + 0.0165);
    for (const Case& c : cases) {
        const Painted p = painted(c.scene);
        const PhotoLandmarks found = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_TRUE(found.outline) << c.what;
        for (const Point q :
             {inScene(p, found.outline->cheekLeft), inScene(p, found.outline->cheekRight)}) {
            EXPECT_NEAR(q.y, cheek, 0.01) << c.what;
            EXPECT_NEAR(std::abs(q.x), c.x, 0.02) << c.what;
        }
    }
}

// --- findFrontLandmarks ---------------------------------------------------------------------

// The hairline where the photo does not show it: P3 above the nose root by 0.6 of the root's
// height above the chin, on the face's axis; P1 and P2 moved with it from the sample face's fit.
// The bridge's sides as estimateBridge puts them.
FrontPoints withHairlineEstimated(FrontPoints p) {
    estimateBridge(p);
    const Point root = p[15], chin = p[3];
    const Point top{root.x + 0.6 * (root.x - chin.x), root.y + 0.6 * (root.y - chin.y)};
    for (std::size_t i : {0u, 1u})
        p[i] = {p[i].x + top.x - p[2].x, p[i].y + top.y - p[2].y};
    p[2] = top;
    return p;
}

TEST(FindFrontLandmarks, FlagsWhatThePhotoShowedAndKeepsTheRestAsEstimated) {
    Scene bald;
    bald.hair = false;
    for (const Scene& s : {Scene{}, bald}) {
        const Painted p = painted(s);
        const FrontPoints estimated = withHairlineEstimated(frontLandmarks(p.face, defaults()));
        const FrontFinding got = findFrontLandmarks(p.face, defaults(), p.view);
        for (std::size_t i = 0; i < kFrontPointCount; ++i) {
            const bool onOutline = i == 12 || i == 13 || i == 20 || i == 21;
            // P16 moves onto the bridge's centre line where the bridge shows.
            const bool searched = i <= 2 || (i >= 15 && i <= 17) || onOutline;
            const bool shown = searched && (s.hair || i > 2);
            EXPECT_EQ(got.found[i], !kFrontSources[i].fitted() || shown) << "P" << i + 1;
            if (!shown) {
                EXPECT_NEAR(got.points[i].x, estimated[i].x, 1e-9) << "P" << i + 1;
                EXPECT_NEAR(got.points[i].y, estimated[i].y, 1e-9) << "P" << i + 1;
            }
        }
        EXPECT_FALSE(got.found[18] || got.found[19]); // no grooves painted: the wings estimated
    }
    // No picture: only the face points count as found.
    const Painted p = painted({});
    const FrontFinding none = findFrontLandmarks(p.face, defaults(), ImageView{});
    const FrontPoints estimated = withHairlineEstimated(frontLandmarks(p.face, defaults()));
    for (std::size_t i = 0; i < kFrontPointCount; ++i) {
        EXPECT_EQ(none.found[i], !kFrontSources[i].fitted()) << "P" << i + 1;
        EXPECT_NEAR(none.points[i].x, estimated[i].x, 1e-9) << "P" << i + 1;
        EXPECT_NEAR(none.points[i].y, estimated[i].y, 1e-9) << "P" << i + 1;
    }
}

// A hairline seen where no forehead ends (lower than 0.45 or higher than 0.85 of the nose root's
// height above the chin) is a fringe's edge or a shadow: estimated, at the typical forehead.
TEST(FindFrontLandmarks, CornersFarBelowTheTopAreALocksEdge) {
    // Steeper hairlines put the corners seen further below the top; those more than 0.11 of the
    // head's height below it are estimated, the rest kept.
    constexpr double limit = 0.11;
    int far = 0, near = 0;
    for (double curve : {0.3, 0.5, 0.6, 0.7}) {
        Scene s;
        s.curve = curve;
        const Painted p = painted(s);
        const PhotoLandmarks seen = findInPhoto(p.view, p.face, p.estimate);
        ASSERT_TRUE(seen.hairlineTop && seen.hairlineLeft && seen.hairlineRight) << curve;
        const FrontFinding got = findFrontLandmarks(p.face, defaults(), p.view);
        EXPECT_TRUE(got.found[2]) << curve;
        const double top = inScene(p, *seen.hairlineTop).y;
        const double head = inScene(p, p.face[8]).y - top;
        for (const auto& [i, corner] :
             {std::pair{0, *seen.hairlineLeft}, std::pair{1, *seen.hairlineRight}}) {
            const double below = (inScene(p, corner).y - top) / head;
            if (std::abs(below - limit) < 0.005)
                continue; // too near the limit to say
            (below > limit ? far : near) += 1;
            EXPECT_EQ(got.found[static_cast<std::size_t>(i)], below <= limit)
                << curve << " P" << i + 1 << " " << below;
        }
    }
    EXPECT_GT(far, 0);
    EXPECT_GT(near, 0);
}

TEST(FindFrontLandmarks, AHairlineNoForeheadCouldHaveStaysEstimated) {
    struct Case {
        const char* what;
        double hairline; // on the midline, eye distances above the eyes
        bool found;
        double lock = 0;
    };
    // The nose root is at -0.015 and the chin at 1.554: shares 0.45 and 0.85 are at -0.72 and
    // -1.35.
    const Case cases[] = {
        {"a typical forehead", -0.95, true},
        {"a high forehead", -1.3, true},
        {"hair down to just above the brows", -0.6, false},
        {"a lock down the middle of a forehead", -0.95, false, 0.2},
    };
    for (const Case& c : cases) {
        Scene s;
        s.hairline = c.hairline;
        s.lock = c.lock;
        const Painted p = painted(s);
        // A lock's edge lies far below the hairline beside it: not read as the top at all.
        EXPECT_EQ(findInPhoto(p.view, p.face, p.estimate).hairlineTop.has_value(), c.lock == 0)
            << c.what;
        const FrontFinding got = findFrontLandmarks(p.face, defaults(), p.view);
        EXPECT_EQ(got.found[2], c.found) << c.what;
        // What hides the hairline's top hides its corners too.
        EXPECT_EQ(got.found[0], c.found) << c.what;
        EXPECT_EQ(got.found[1], c.found) << c.what;
        if (!c.found) {
            const FrontPoints estimated = withHairlineEstimated(frontLandmarks(p.face, defaults()));
            EXPECT_NEAR(got.points[2].y, estimated[2].y, 1e-9) << c.what;
        }
    }
}

} // namespace
