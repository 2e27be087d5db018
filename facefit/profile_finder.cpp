#include "profile_finder.hpp"

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
constexpr int kGrabCutRounds = 3;
// How far, in pixels of the reduced copy, the edge may move when placed again on the picture.
constexpr double kRefineReach = 1.5;
// The second GrabCut: on a copy this many pixels on its longer side, in a band this many pixels
// of the first copy either side of the first edge.
constexpr int kFineSize = 400;
constexpr double kFineBand = 2.5;
constexpr int kFineRounds = 2;
// One object: at least this share of the picture, and the next largest at most this share of
// it.
constexpr double kLeastShare = 0.03;
constexpr double kRivalShare = 0.3;
constexpr std::uint64_t kRandomSeed = 0x5eed;

bool validView(const ColourView& v) {
    return v.pixels && v.width > 0 && v.height > 0 && (v.channels == 3 || v.channels == 4) &&
           v.bytesPerLine >= static_cast<std::ptrdiff_t>(v.width) * v.channels;
}

std::optional<Outline> silhouette(const ColourView& v) {
    // Borrowed, not copied: the reduction reads the picture once.
    const cv::Mat full(v.height, v.width, v.channels == 3 ? CV_8UC3 : CV_8UC4,
                       const_cast<std::uint8_t*>(v.pixels),
                       static_cast<std::size_t>(v.bytesPerLine));
    const int longer = std::max(v.width, v.height);
    const double f = std::min(1.0, static_cast<double>(kSilhouetteWorkSize) / longer);
    const cv::Size small(std::max(1, static_cast<int>(std::lround(v.width * f))),
                         std::max(1, static_cast<int>(std::lround(v.height * f))));
    cv::Mat reduced, work;
    cv::resize(full, reduced, small, 0, 0, cv::INTER_AREA);
    if (v.channels == 4)
        cv::cvtColor(reduced, work, cv::COLOR_BGRA2BGR);
    else
        work = reduced;
    if (small.width < 16 || small.height < 16)
        return std::nullopt;

    // Background along the frame, the rest probably the object; GrabCut's colour models sort
    // it out.
    const int band =
        std::max(2, static_cast<int>(std::lround(kBorder * std::max(small.width, small.height))));
    cv::Mat mask(small, CV_8UC1, cv::Scalar(cv::GC_PR_FGD));
    mask.rowRange(0, band).setTo(cv::GC_BGD);
    mask.colRange(0, band).setTo(cv::GC_BGD);
    mask.colRange(small.width - band, small.width).setTo(cv::GC_BGD);
    // GrabCut seeds its colour models from OpenCV's per-thread random state: the same
    // picture must give the same cut whatever ran before on the thread.
    cv::theRNG().state = kRandomSeed;
    cv::Mat bgd, fgd;
    cv::grabCut(work, mask, cv::Rect(), bgd, fgd, kGrabCutRounds, cv::GC_INIT_WITH_MASK);
    cv::Mat object = (mask == cv::GC_FGD) | (mask == cv::GC_PR_FGD);
    const cv::Mat round3 = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(3, 3));
    cv::morphologyEx(object, object, cv::MORPH_OPEN, round3);
    cv::morphologyEx(object, object, cv::MORPH_CLOSE, round3);

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
    const double pixels = static_cast<double>(small.area());
    if (best == 0 || bestArea < kLeastShare * pixels || bestArea > (1 - kLeastShare) * pixels ||
        rivalArea > kRivalShare * bestArea)
        return std::nullopt;

    // The object alone, its holes filled (eyes, a light patch on the cheek).
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(cv::Mat(labels == best), contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    cv::Mat filled(small, CV_8UC1, cv::Scalar(0));
    cv::drawContours(filled, contours, -1, cv::Scalar(255), cv::FILLED);

    // GrabCut again on a larger copy, only a band about the first edge left open: the small
    // copy rounds off narrow notches such as the one under the nose.
    cv::Mat edgeImage = work;
    double scale = f;
    const double fine = std::min(1.0, static_cast<double>(kFineSize) / longer);
    if (fine > 1.2 * f) {
        const cv::Size mid(std::max(1, static_cast<int>(std::lround(v.width * fine))),
                           std::max(1, static_cast<int>(std::lround(v.height * fine))));
        cv::Mat midReduced, midWork, seed;
        cv::resize(full, midReduced, mid, 0, 0, cv::INTER_AREA);
        if (v.channels == 4)
            cv::cvtColor(midReduced, midWork, cv::COLOR_BGRA2BGR);
        else
            midWork = midReduced;
        cv::resize(filled, seed, mid, 0, 0, cv::INTER_LINEAR);
        cv::threshold(seed, seed, 127, 255, cv::THRESH_BINARY);
        const int open = std::max(2, static_cast<int>(std::lround(kFineBand * fine / f)));
        const cv::Mat disc =
            cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * open + 1, 2 * open + 1));
        cv::Mat sure, maybe;
        cv::erode(seed, sure, disc);
        cv::dilate(seed, maybe, disc);
        cv::Mat mask2(mid, CV_8UC1, cv::Scalar(cv::GC_BGD));
        mask2.setTo(cv::GC_PR_BGD, maybe);
        mask2.setTo(cv::GC_PR_FGD, seed);
        mask2.setTo(cv::GC_FGD, sure);
        const cv::Rect roi = cv::boundingRect(maybe) & cv::Rect(cv::Point(0, 0), mid);
        if (roi.width > 8 && roi.height > 8) {
            cv::Mat roiMask = mask2(roi);
            cv::Mat bgd2, fgd2;
            cv::grabCut(midWork(roi), roiMask, cv::Rect(), bgd2, fgd2, kFineRounds,
                        cv::GC_INIT_WITH_MASK);
            cv::Mat object2 = (mask2 == cv::GC_FGD) | (mask2 == cv::GC_PR_FGD);
            cv::morphologyEx(object2, object2, cv::MORPH_OPEN, round3);
            cv::morphologyEx(object2, object2, cv::MORPH_CLOSE, round3);
            std::vector<std::vector<cv::Point>> parts;
            cv::findContours(object2, parts, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
            if (!parts.empty()) {
                const auto biggest =
                    std::max_element(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
                        return cv::contourArea(a) < cv::contourArea(b);
                    });
                filled = cv::Mat(mid, CV_8UC1, cv::Scalar(0));
                cv::drawContours(filled, parts, static_cast<int>(biggest - parts.begin()),
                                 cv::Scalar(255), cv::FILLED);
                edgeImage = midWork;
                scale = fine;
            }
        }
    }

    // Laid onto the picture's size and its edge placed again there, in a band about it: each
    // pixel goes with the nearer of the object's and the background's colour close by. The
    // reduced copy rounds off narrow notches such as the one under the nose. The colours close
    // by are averaged on the reduced copy, which is plenty for them.
    const int reach = static_cast<int>(std::ceil(kRefineReach));
    const cv::Mat disc =
        cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * reach + 1, 2 * reach + 1));
    cv::Mat innerSmall, outerSmall;
    cv::erode(filled, innerSmall, disc);
    cv::dilate(filled, outerSmall, disc);
    cv::Mat workF;
    edgeImage.convertTo(workF, CV_32FC3);
    const cv::Size window(4 * reach + 1, 4 * reach + 1);
    const auto localMean = [&](const cv::Mat& where) {
        cv::Mat weight, weighted, sum, count;
        where.convertTo(weight, CV_32F, 1.0 / 255);
        cv::Mat weight3;
        cv::merge(std::vector<cv::Mat>{weight, weight, weight}, weight3);
        cv::multiply(workF, weight3, weighted);
        cv::boxFilter(weighted, sum, -1, window, cv::Point(-1, -1), false);
        cv::boxFilter(weight, count, -1, window, cv::Point(-1, -1), false);
        count = cv::max(count, 1e-3);
        cv::Mat count3;
        cv::merge(std::vector<cv::Mat>{count, count, count}, count3);
        cv::divide(sum, count3, sum);
        return sum;
    };
    const cv::Mat objectMean = localMean(innerSmall);
    const cv::Mat groundMean = localMean(~outerSmall);

    const cv::Size size(v.width, v.height);
    cv::Mat large, inner, outer;
    cv::resize(filled, large, size, 0, 0, cv::INTER_LINEAR);
    cv::resize(innerSmall, inner, size, 0, 0, cv::INTER_LINEAR);
    cv::resize(outerSmall, outer, size, 0, 0, cv::INTER_LINEAR);
    const cv::Size used = filled.size();
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
    const int thread = 2 * static_cast<int>(std::lround(0.75 / scale)) + 1;
    cv::morphologyEx(large, large, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(thread, thread)));
    cv::morphologyEx(large, large, cv::MORPH_CLOSE, round3);

    contours.clear();
    cv::findContours(large, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    if (contours.empty())
        return std::nullopt;
    const auto& longest =
        *std::max_element(contours.begin(), contours.end(), [](const auto& a, const auto& b) {
            return cv::contourArea(a) < cv::contourArea(b);
        });

    Outline out;
    out.width = v.width;
    out.height = v.height;
    out.edge = band / f;
    out.points.reserve(longest.size());
    for (const cv::Point& p : longest) // pixel centres
        out.points.push_back({p.x + 0.5, p.y + 0.5});
    return out;
}

} // namespace

std::optional<Outline> findSilhouette(const ColourView& image, SilhouetteError* error) noexcept {
    SilhouetteError why = SilhouetteError::None;
    std::optional<Outline> out;
    try {
        if (validView(image))
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
