#include "profile_finder.hpp"

#include "image_pixels.hpp"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

namespace veidora::facefit {

namespace {

// The band along the left, top and right sides taken for background, as a share of the
// working copy's longer side. The bottom is left open: the body leaves the picture there.
constexpr double kBorder = 0.02;
constexpr int kLeastBand = 2;
constexpr int kGrabCutRounds = 3;
// Neighbouring pixels of the working copy this close in each channel lie on one smooth patch.
constexpr double kSmoothStep = 3;
// Smaller than this many pixels across, the working copy shows no head.
constexpr int kLeastWorkSize = 16;
// How far, in pixels of the reduced copy, the edge may move when placed again on the picture.
constexpr double kRefineReach = 1.5;
// The second GrabCut: on a copy this many pixels on its longer side, in a band this many pixels
// of the first copy either side of the first edge; worth it only when that copy is this many
// times larger than the first.
constexpr int kFineSize = 400;
constexpr double kFineBand = 2.5;
constexpr int kFineRounds = 2;
constexpr double kFineGain = 1.2;
constexpr int kLeastFineRegion = 8;
// One object: at least this share of the picture, and the next largest at most this share of
// it.
constexpr double kLeastShare = 0.03;
constexpr double kRivalShare = 0.3;
// Nothing of a head is thinner than this many pixels of the copy the edge was cut on.
constexpr double kThread = 0.75;
// GrabCut seeds its colour models from OpenCV's per-thread random state: the same picture must
// give the same cut whatever ran before on the thread.
constexpr std::uint64_t kRandomSeed = 0x5eed;

// The picture itself, borrowed, not copied: each reduction reads it once.
cv::Mat borrowed(const ColourView& v) {
    return cv::Mat(v.height, v.width, v.channels == 3 ? CV_8UC3 : CV_8UC4,
                   const_cast<std::uint8_t*>(v.pixels), static_cast<std::size_t>(v.bytesPerLine));
}

cv::Size scaledSize(const ColourView& v, double f) {
    return {std::max(1, static_cast<int>(std::lround(v.width * f))),
            std::max(1, static_cast<int>(std::lround(v.height * f)))};
}

// A three-channel copy of the picture at `size`.
cv::Mat reduced(const cv::Mat& full, cv::Size size) {
    cv::Mat small, work;
    cv::resize(full, small, size, 0, 0, cv::INTER_AREA);
    if (small.channels() == 4)
        cv::cvtColor(small, work, cv::COLOR_BGRA2BGR);
    else
        work = small;
    return work;
}

cv::Mat disc(int radius) {
    return cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * radius + 1, 2 * radius + 1));
}

// What GrabCut left as object, specks and pinholes of a pixel taken away.
cv::Mat objectOf(const cv::Mat& mask) {
    cv::Mat object = (mask == cv::GC_FGD) | (mask == cv::GC_PR_FGD);
    cv::morphologyEx(object, object, cv::MORPH_OPEN, disc(1));
    cv::morphologyEx(object, object, cv::MORPH_CLOSE, disc(1));
    return object;
}

// The filled area of the largest of `contours` on a blank mask of `size`.
cv::Mat filledLargest(const std::vector<std::vector<cv::Point>>& contours, cv::Size size) {
    cv::Mat filled(size, CV_8UC1, cv::Scalar(0));
    const auto largest =
        std::max_element(contours.begin(), contours.end(), [](const auto& a, const auto& b) {
            return cv::contourArea(a) < cv::contourArea(b);
        });
    cv::drawContours(filled, contours, static_cast<int>(largest - contours.begin()),
                     cv::Scalar(255), cv::FILLED);
    return filled;
}

// What can be reached from the frame's band without crossing an edge: a backdrop's soft light
// and shading, which GrabCut would otherwise take for part of the object.
cv::Mat smoothFromFrame(const cv::Mat& work, int band) {
    cv::Mat reached(work.rows + 2, work.cols + 2, CV_8UC1, cv::Scalar(0));
    const cv::Scalar step(kSmoothStep, kSmoothStep, kSmoothStep);
    const int flags = 4 | cv::FLOODFILL_MASK_ONLY | (255 << 8);
    const auto from = [&](int x, int y) {
        if (reached.at<std::uint8_t>(y + 1, x + 1) == 0)
            cv::floodFill(work, reached, cv::Point(x, y), cv::Scalar(), nullptr, step, step, flags);
    };
    for (int x = band; x < work.cols - band; ++x)
        from(x, band);
    for (int y = band; y < work.rows; ++y) {
        from(band, y);
        from(work.cols - band - 1, y);
    }
    return reached(cv::Rect(1, 1, work.cols, work.rows)).clone();
}

// The first cut: the frame's band is background, the rest probably the object; GrabCut's
// colour models sort it out.
cv::Mat coarseCut(const cv::Mat& work, int band) {
    cv::Mat mask(work.size(), CV_8UC1, cv::Scalar(cv::GC_PR_FGD));
    mask.rowRange(0, band).setTo(cv::GC_BGD);
    mask.colRange(0, band).setTo(cv::GC_BGD);
    mask.colRange(work.cols - band, work.cols).setTo(cv::GC_BGD);
    mask.setTo(cv::GC_PR_BGD, smoothFromFrame(work, band));
    // A picture that is all smooth backdrop has nothing to cut (and GrabCut would find no
    // object colours to start from).
    if (cv::countNonZero(mask == cv::GC_PR_FGD) < kLeastShare * static_cast<double>(mask.total()))
        return cv::Mat(work.size(), CV_8UC1, cv::Scalar(0));
    cv::theRNG().state = kRandomSeed;
    cv::Mat bgd, fgd;
    cv::grabCut(work, mask, cv::Rect(), bgd, fgd, kGrabCutRounds, cv::GC_INIT_WITH_MASK);
    return objectOf(mask);
}

// The one dominant object, its holes filled (eyes, a light patch on the cheek); nullopt when
// nothing stands out or two objects of like size do.
std::optional<cv::Mat> dominantObject(const cv::Mat& object) {
    cv::Mat labels, stats, centres;
    const int count = cv::connectedComponentsWithStats(object, labels, stats, centres, 8, CV_32S);
    int best = 0, bestArea = 0, rivalArea = 0;
    for (int i = 1; i < count; ++i) {
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        if (area > bestArea) {
            rivalArea = bestArea;
            bestArea = area;
            best = i;
        } else {
            rivalArea = std::max(rivalArea, area);
        }
    }
    const double pixels = static_cast<double>(object.total());
    if (best == 0 || bestArea < kLeastShare * pixels || bestArea > (1 - kLeastShare) * pixels ||
        rivalArea > kRivalShare * bestArea)
        return std::nullopt;
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(cv::Mat(labels == best), contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    cv::Mat filled(object.size(), CV_8UC1, cv::Scalar(0));
    cv::drawContours(filled, contours, -1, cv::Scalar(255), cv::FILLED);
    return filled;
}

// A cut and the copy of the picture it was made on, `scale` times the picture's size.
struct Cut {
    cv::Mat filled;
    cv::Mat work;
    double scale = 1;
};

// GrabCut again on a larger copy, only a band about the first edge left open: the small copy
// rounds off narrow notches such as the one under the nose. The first cut when it cannot help.
Cut fineCut(const cv::Mat& full, const ColourView& v, Cut first) {
    const double fine = std::min(1.0, static_cast<double>(kFineSize) / std::max(v.width, v.height));
    if (fine <= kFineGain * first.scale)
        return first;
    const cv::Size mid = scaledSize(v, fine);
    const cv::Mat midWork = reduced(full, mid);
    cv::Mat seed, sure, maybe;
    cv::resize(first.filled, seed, mid, 0, 0, cv::INTER_LINEAR);
    cv::threshold(seed, seed, 127, 255, cv::THRESH_BINARY);
    const int open =
        std::max(kLeastBand, static_cast<int>(std::lround(kFineBand * fine / first.scale)));
    cv::erode(seed, sure, disc(open));
    cv::dilate(seed, maybe, disc(open));
    cv::Mat mask(mid, CV_8UC1, cv::Scalar(cv::GC_BGD));
    mask.setTo(cv::GC_PR_BGD, maybe);
    mask.setTo(cv::GC_PR_FGD, seed);
    mask.setTo(cv::GC_FGD, sure);
    const cv::Rect roi = cv::boundingRect(maybe) & cv::Rect(cv::Point(0, 0), mid);
    if (roi.width <= kLeastFineRegion || roi.height <= kLeastFineRegion)
        return first;
    cv::Mat roiMask = mask(roi);
    cv::Mat bgd, fgd;
    cv::grabCut(midWork(roi), roiMask, cv::Rect(), bgd, fgd, kFineRounds, cv::GC_INIT_WITH_MASK);
    std::vector<std::vector<cv::Point>> parts;
    cv::findContours(objectOf(mask), parts, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    if (parts.empty())
        return first;
    return {filledLargest(parts, mid), midWork, fine};
}

// The mean colour of the `where` pixels about each pixel of `work` (float, 3 channels).
cv::Mat localMean(const cv::Mat& workF, const cv::Mat& where, cv::Size window) {
    cv::Mat weight, weighted, sum, count, weight3, count3;
    where.convertTo(weight, CV_32F, 1.0 / 255);
    cv::merge(std::vector<cv::Mat>{weight, weight, weight}, weight3);
    cv::multiply(workF, weight3, weighted);
    cv::boxFilter(weighted, sum, -1, window, cv::Point(-1, -1), false);
    cv::boxFilter(weight, count, -1, window, cv::Point(-1, -1), false);
    count = cv::max(count, 1e-3);
    cv::merge(std::vector<cv::Mat>{count, count, count}, count3);
    cv::divide(sum, count3, sum);
    return sum;
}

// The cut laid onto the picture's size and its edge placed again there, in a band about it:
// each pixel goes with the nearer of the object's and the background's colour close by (those
// colours are averaged on the reduced copy, which is plenty for them).
cv::Mat onPicture(const Cut& cut, const ColourView& v) {
    const int reach = static_cast<int>(std::ceil(kRefineReach));
    cv::Mat innerSmall, outerSmall;
    cv::erode(cut.filled, innerSmall, disc(reach));
    cv::dilate(cut.filled, outerSmall, disc(reach));
    cv::Mat workF;
    cut.work.convertTo(workF, CV_32FC3);
    const cv::Size window(4 * reach + 1, 4 * reach + 1);
    const cv::Mat objectMean = localMean(workF, innerSmall, window);
    const cv::Mat groundMean = localMean(workF, ~outerSmall, window);

    const cv::Size size(v.width, v.height);
    cv::Mat large, inner, outer;
    cv::resize(cut.filled, large, size, 0, 0, cv::INTER_LINEAR);
    cv::resize(innerSmall, inner, size, 0, 0, cv::INTER_LINEAR);
    cv::resize(outerSmall, outer, size, 0, 0, cv::INTER_LINEAR);
    const cv::Size used = cut.filled.size();
    const double toSmall = static_cast<double>(used.width) / v.width;
    for (int y = 0; y < v.height; ++y) {
        std::uint8_t* out = large.ptr<std::uint8_t>(y);
        const std::uint8_t* in = inner.ptr<std::uint8_t>(y);
        const std::uint8_t* around = outer.ptr<std::uint8_t>(y);
        const std::uint8_t* line = v.pixels + static_cast<std::ptrdiff_t>(y) * v.bytesPerLine;
        const float sy =
            static_cast<float>(std::clamp((y + 0.5) * toSmall - 0.5, 0.0, used.height - 1.0));
        const int y0 = static_cast<int>(sy), y1 = std::min(y0 + 1, used.height - 1);
        const float fy = sy - static_cast<float>(y0);
        for (int x = 0; x < v.width; ++x) {
            if (in[x] == 255) {
                out[x] = 255;
                continue;
            }
            if (around[x] == 0) {
                out[x] = 0;
                continue;
            }
            const float sx =
                static_cast<float>(std::clamp((x + 0.5) * toSmall - 0.5, 0.0, used.width - 1.0));
            const int x0 = static_cast<int>(sx), x1 = std::min(x0 + 1, used.width - 1);
            const float fx = sx - static_cast<float>(x0);
            const auto at = [&](const cv::Mat& m) {
                return m.at<cv::Vec3f>(y0, x0) * ((1 - fx) * (1 - fy)) +
                       m.at<cv::Vec3f>(y0, x1) * (fx * (1 - fy)) +
                       m.at<cv::Vec3f>(y1, x0) * ((1 - fx) * fy) +
                       m.at<cv::Vec3f>(y1, x1) * (fx * fy);
            };
            const std::uint8_t* p = line + static_cast<std::ptrdiff_t>(x) * v.channels;
            const cv::Vec3f c(p[0], p[1], p[2]); // the copy's channel order, whichever it is
            const float toObject = static_cast<float>(cv::norm(c - at(objectMean), cv::NORM_L2SQR));
            const float toGround = static_cast<float>(cv::norm(c - at(groundMean), cv::NORM_L2SQR));
            out[x] = toObject < toGround ? 255 : 0;
        }
    }
    // Threads of a patterned background as dark as hair may cling to the head; nothing of a
    // head is that thin. Narrow notches are kept.
    const int thread = 2 * static_cast<int>(std::lround(kThread / cut.scale)) + 1;
    cv::morphologyEx(large, large, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(thread, thread)));
    cv::morphologyEx(large, large, cv::MORPH_CLOSE, disc(1));
    return large;
}

// The largest object's boundary through pixel centres.
std::optional<Outline> traced(const cv::Mat& object, const ColourView& v, double edge) {
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(object, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    if (contours.empty())
        return std::nullopt;
    const auto& longest =
        *std::max_element(contours.begin(), contours.end(), [](const auto& a, const auto& b) {
            return cv::contourArea(a) < cv::contourArea(b);
        });
    Outline out;
    out.width = v.width;
    out.height = v.height;
    out.edge = edge;
    out.points.reserve(longest.size());
    for (const cv::Point& p : longest)
        out.points.push_back({p.x + 0.5, p.y + 0.5});
    return out;
}

std::optional<Outline> silhouette(const ColourView& v) {
    const cv::Mat full = borrowed(v);
    const double f =
        std::min(1.0, static_cast<double>(kSilhouetteWorkSize) / std::max(v.width, v.height));
    const cv::Size small = scaledSize(v, f);
    if (small.width < kLeastWorkSize || small.height < kLeastWorkSize)
        return std::nullopt;
    const cv::Mat work = reduced(full, small);
    const int band = std::max(
        kLeastBand, static_cast<int>(std::lround(kBorder * std::max(small.width, small.height))));
    const std::optional<cv::Mat> object = dominantObject(coarseCut(work, band));
    if (!object)
        return std::nullopt;
    const Cut cut = fineCut(full, v, {*object, work, f});
    return traced(onPicture(cut, v), v, band / f);
}

} // namespace

std::optional<Outline> findSilhouette(const ColourView& image, SilhouetteError* error) noexcept {
    SilhouetteError why = SilhouetteError::None;
    std::optional<Outline> out;
    try {
        if (isColour(image))
            out = silhouette(image);
        else
            why = SilhouetteError::BadPicture;
    } catch (const std::bad_alloc&) {
        why = SilhouetteError::OutOfMemory;
        out.reset();
    } catch (const std::exception&) { // cv::Exception among them
        why = SilhouetteError::LibraryFailure;
        out.reset();
    }
    if (error)
        *error = why;
    return out;
}

} // namespace veidora::facefit
