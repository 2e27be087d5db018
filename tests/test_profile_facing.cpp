// Which way round a silhouette is a face, and where its nose tip is, on heads drawn with corners
// and coloured as skin and hair.
#include "profile_fit.hpp"
#include "sample_defaults.hpp"
#include "traced_outline.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace veidora::facefit;

namespace {

constexpr int kWidth = 640, kHeight = 800;
// How much shorter the hair's face-like side is than the face, from the top of the head down.
constexpr double kHairRaise = 0.85;

// A head facing left as straight runs between corners, each feature a corner.
struct Head {
    Point top{300, 100}, hair{200, 120}, brow{170, 290}, root{185, 330}, tip{130, 400},
        base{190, 420}, lip{175, 460}, fold{195, 500}, chin{180, 530}, chinBottom{190, 570},
        throat{300, 590}, neck{305, 700}, neckBack{470, 700}, nape{470, 560}, back{520, 300};
    std::vector<Point> extraAboveBrow; // a forelock, between the hair corner and the brow

    std::vector<Point> polygon() const {
        std::vector<Point> out{top, hair};
        out.insert(out.end(), extraAboveBrow.begin(), extraAboveBrow.end());
        for (const Point& p : {brow, root, tip, base, lip, fold, chin, chinBottom, throat, neck,
                               neckBack, nape, back})
            out.push_back(p);
        return out;
    }
};

Outline outlineOf(std::vector<Point> pts) {
    return {std::move(pts), kWidth, kHeight, 4};
}

// A head seen with a face on both sides: the drawn face's half mirrored onto the back, as a
// bun or curls shaped like a nose, lips and chin can make it. The hair's features sit higher than
// the face's, as a head's back does above the nape, so the outline is not its own mirror image.
std::vector<Point> twoFaced() {
    const Head h;
    std::vector<Point> half;
    for (const Point& p : h.polygon())
        if (p.x <= 300 || p.y >= 700)
            half.push_back(p);
    std::vector<Point> out = half;
    for (auto it = half.rbegin(); it != half.rend(); ++it) {
        Point q = mirrored(*it, 2 * 300 + 40);
        if (q.y < 700)
            q.y = 100 + (q.y - 100) * kHairRaise;
        out.push_back(q);
    }
    return out;
}

// How grainy hair is drawn: strands of random lightness this far either side of its mean.
enum Hair { kSkin = 0, kFineHair = 4, kCoarseHair = 40 };

// A picture left and right of x = 320 smooth skin or hair of the given grain.
struct Picture {
    std::vector<std::uint8_t> rgb = std::vector<std::uint8_t>(kWidth * kHeight * 3);
    ColourView view() const { return {rgb.data(), kWidth, kHeight, kWidth * 3, 3}; }
};

Picture coloured(Hair left, Hair right) {
    Picture pic;
    std::mt19937 random(5);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &pic.rgb[static_cast<std::size_t>((y * kWidth + x) * 3)];
            const Hair hair = x < 320 ? left : right;
            if (hair == kSkin) {
                p[0] = 200;
                p[1] = 150;
                p[2] = 120;
                continue;
            }
            const int v = 90 + std::uniform_int_distribution<int>(-hair, hair)(random);
            p[0] = static_cast<std::uint8_t>(v);
            p[1] = static_cast<std::uint8_t>(v * 3 / 4);
            p[2] = static_cast<std::uint8_t>(v / 2);
        }
    }
    return pic;
}

TEST(ProfileFacing, TheSmoothNoseIsTheFaceAndHairReadAsOneIsNot) {
    const struct {
        const char* name;
        Hair left, right;
        bool found;
        Facing facing;
    } cases[] = {
        {"fine hair shaped like a face at the back", kSkin, kFineHair, true, Facing::Left},
        {"the same, mirrored", kFineHair, kSkin, true, Facing::Right},
        {"coarse hair at the back", kSkin, kCoarseHair, true, Facing::Left},
        {"skin both ways: a face from the front", kSkin, kSkin, false, Facing::Left},
        {"fine hair both ways", kFineHair, kFineHair, false, Facing::Left},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture pic = coloured(c.left, c.right);
        const ColourView colours = pic.view();
        const ProfileResult r =
            analyseProfile(outlineOf(traced(twoFaced())), &colours, sideDefaults());
        EXPECT_EQ(r.found, c.found) << r.why;
        if (r.found && c.found) {
            EXPECT_EQ(r.facing, c.facing);
        }
    }
}

TEST(ProfileFacing, ANoseAsGrainyAsHairIsNoNose) {
    const Head h;
    const Picture hair = coloured(kCoarseHair, kCoarseHair);
    const ColourView colours = hair.view();
    const ProfileResult r =
        analyseProfile(outlineOf(traced(h.polygon())), &colours, sideDefaults());
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(r.why.empty());
}

TEST(ProfileFacing, ARingThroughTheNoseIsNoHair) {
    const Head h;
    Picture pic = coloured(kSkin, kSkin);
    // A metal ring through the patch inside the tip, dark with a glint: its edges are sharp but
    // cover only part of the patch.
    for (int y = 380; y < 440; ++y) {
        for (int x = 110; x < 180; ++x) {
            if (std::abs(std::hypot(x - 145.0, y - 400.0) - 6) < 1.5) {
                std::uint8_t* p = &pic.rgb[static_cast<std::size_t>((y * kWidth + x) * 3)];
                p[0] = p[1] = p[2] = y < 400 ? 250 : 20;
            }
        }
    }
    const ColourView colours = pic.view();
    const ProfileResult r =
        analyseProfile(outlineOf(traced(h.polygon())), &colours, sideDefaults());
    EXPECT_TRUE(r.found) << r.why;
}

TEST(ProfileFacing, AWispOfHairAboveTheHeadLeavesTheHeadWhole) {
    Head h;
    // A loose curl on a strand a pixel thick, 40 pixels over the crown: a bun's loose end.
    std::vector<Point> corners = h.polygon();
    corners.insert(corners.end(),
                   {{301, 101}, {301, 75}, {306, 70}, {306, 62}, {297, 62}, {297, 70}, {300, 75}});
    const ProfileResult r = analyseProfile(outlineOf(traced(corners)), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    EXPECT_LE(std::hypot(r.points[7].x - h.tip.x, r.points[7].y - h.tip.y), 8) << "S8";
}

// A tuft of hair combed forward over the brow, shaped as a small face: a point standing out of
// the outline, a notch under it and a bump below that as lips and chin.
Head tuftOverBrow(Point tuftTip) {
    Head h;
    h.extraAboveBrow = {{150, 170}, {158, 190}, tuftTip,    {148, 250}, {138, 265},
                        {150, 278}, {142, 292}, {158, 305}, {180, 315}};
    h.brow = {172, 330};
    h.root = {185, 345};
    return h;
}

TEST(ProfileHairOverBrow, TheFaceBelowATuftIsTheFaceAndTheBrowUnderItEstimated) {
    const Head h = tuftOverBrow({112, 240}); // further forward than the nose
    const ProfileResult r = analyseProfile(outlineOf(traced(h.polygon())), nullptr, sideDefaults());
    ASSERT_TRUE(r.found) << r.why;
    EXPECT_EQ(r.facing, Facing::Left);
    const std::pair<int, Point> face[] = {{8, h.tip}, {9, h.base}, {15, h.chinBottom}};
    for (const auto& [s, p] : face) {
        const auto i = static_cast<std::size_t>(s - 1);
        EXPECT_LE(std::hypot(r.points[i].x - p.x, r.points[i].y - p.y), 8) << "S" << s;
        EXPECT_TRUE(r.measured[i]) << "S" << s;
    }
    // The hair hides the brow's front and the hairline.
    EXPECT_FALSE(r.measured[1]) << "S2";
    EXPECT_FALSE(r.measured[2]) << "S3";
}

TEST(ProfileHairOverBrow, ATuftTooSmallForANoseOnThisHeadIsNoFace) {
    Head h = tuftOverBrow({135, 240});
    // No nose, lips or chin stand out below it.
    h.tip = {180, 400};
    h.base = {181, 430};
    h.lip = {182, 460};
    h.fold = {184, 500};
    h.chin = {185, 530};
    const ProfileResult r = analyseProfile(outlineOf(traced(h.polygon())), nullptr, sideDefaults());
    EXPECT_FALSE(r.found) << "S8 at " << r.points[7].x << ", " << r.points[7].y;
}

// The nose tip where something else on the face's front stands out further.
TEST(ProfileNoseTip, FoundBehindLipsOrAForelockThatStandFurtherOut) {
    Head lips; // full lips ahead of the nose, the chin close under them
    lips.lip = {125, 460};
    lips.fold = {135, 490};
    lips.chin = {140, 520};
    Head forelock; // hair combed forward over the brow
    forelock.extraAboveBrow = {{110, 235}, {165, 265}};
    const struct {
        const char* name;
        Head head;
    } cases[] = {{"lips ahead of the nose", lips}, {"a forelock ahead of the nose", forelock}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProfileResult r =
            analyseProfile(outlineOf(traced(c.head.polygon())), nullptr, sideDefaults());
        if (!r.found) {
            ADD_FAILURE() << r.why;
            continue;
        }
        EXPECT_EQ(r.facing, Facing::Left);
        EXPECT_LE(std::hypot(r.points[7].x - c.head.tip.x, r.points[7].y - c.head.tip.y), 8)
            << "S8";
    }
}

} // namespace
