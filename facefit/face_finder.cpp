#include "face_finder.hpp"

#include "image_pixels.hpp"

#include <dlib/image_processing.h>
#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/image_transforms.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <fstream>
#include <new>
#include <span>
#include <vector>

namespace veidora::facefit {

namespace {

using RgbImage = dlib::array2d<dlib::rgb_pixel>;
using Parts = std::array<dlib::dpoint, kFacePointCount>;

// The points are placed a second time on an upright copy of the face at one size, so a tilted
// face or a picture of any size meets the predictor the way it was trained: face boxes of
// this many pixels, in a copy this many times wider.
constexpr double kChipFace = 250;
constexpr double kChipSpan = 2.2;
// The predictor moves by a pixel or two with the box's exact place; its answers for the box
// shifted and scaled by this share of its side are averaged.
constexpr double kJitter = 0.06;

// False for a view that is empty, has other than 1, 3 or 4 channels, or lines shorter than its
// width.
bool copyPixels(const ImageView& v, RgbImage& out) {
    if (!isReadable(v))
        return false;
    out.set_size(v.height, v.width);
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x) {
            const Rgb c = rgbAt(v, x, y);
            out[y][x] = dlib::rgb_pixel(c.r, c.g, c.b);
        }
    return true;
}

// Among the faces the detector is at least half as sure of as of its best, the largest; equal
// ones by top, then left, whatever order the detector gave. The confidence matters: a barely
// passing look-alike (a collar ring, say) can come out a pixel larger than the real face.
dlib::rectangle largest(const std::vector<dlib::rect_detection>& found) {
    double best = found.front().detection_confidence;
    for (const auto& d : found)
        best = std::max(best, d.detection_confidence);
    const dlib::rectangle* pick = nullptr;
    for (const auto& d : found) {
        if (d.detection_confidence < best / 2)
            continue;
        const dlib::rectangle& r = d.rect;
        if (!pick || r.area() > pick->area() ||
            (r.area() == pick->area() &&
             (r.top() < pick->top() || (r.top() == pick->top() && r.left() < pick->left()))))
            pick = &r;
    }
    return *pick;
}

// The box nearest to `centre`; equal distances by area, top, left.
dlib::rectangle nearest(const std::vector<dlib::rectangle>& boxes, dlib::dpoint centre) {
    return *std::min_element(boxes.begin(), boxes.end(), [&](const auto& p, const auto& q) {
        const double dp = (dlib::dcenter(p) - centre).length_squared();
        const double dq = (dlib::dcenter(q) - centre).length_squared();
        if (dp != dq)
            return dp < dq;
        if (p.area() != q.area())
            return p.area() > q.area();
        if (p.top() != q.top())
            return p.top() < q.top();
        return p.left() < q.left();
    });
}

// Pixel-index coordinates, for the box alone or averaged over it, four diagonal shifts and two
// scalings.
Parts predict(const dlib::shape_predictor& sp, const RgbImage& img, const dlib::rectangle& box,
              bool average) {
    const double w = static_cast<double>(box.width());
    const double h = static_cast<double>(box.height());
    const dlib::dpoint c = dlib::dcenter(box);
    struct Move {
        double dx, dy, scale;
    };
    const Move moves[] = {
        {0, 0, 1},
        {-kJitter, -kJitter, 1},
        {kJitter, -kJitter, 1},
        {-kJitter, kJitter, 1},
        {kJitter, kJitter, 1},
        {0, 0, 1 - kJitter},
        {0, 0, 1 + kJitter},
    };
    const std::span<const Move> used(moves, average ? std::size(moves) : 1);
    Parts sum{};
    for (const Move& m : used) {
        const double cx = c.x() + m.dx * w, cy = c.y() + m.dy * h;
        const double hw = (w - 1) * m.scale / 2, hh = (h - 1) * m.scale / 2;
        const dlib::rectangle r(std::lround(cx - hw), std::lround(cy - hh), std::lround(cx + hw),
                                std::lround(cy + hh));
        const dlib::full_object_detection shape = sp(img, r);
        for (std::size_t i = 0; i < sum.size(); ++i)
            sum[i] += dlib::dpoint(shape.part(static_cast<unsigned long>(i)));
    }
    for (dlib::dpoint& p : sum)
        p /= static_cast<double>(used.size());
    return sum;
}

dlib::dpoint meanOf(const Parts& parts, std::size_t first, std::size_t last) {
    dlib::dpoint sum;
    for (std::size_t i = first; i <= last; ++i)
        sum += parts[i];
    return sum / static_cast<double>(last - first + 1);
}

// A box in pixel-index coordinates of a copy, taken back through `back` as the
// axis-parallel bounds of its turned corners.
dlib::drectangle boxBack(const dlib::rectangle& box, const dlib::point_transform_affine& back) {
    const dlib::drectangle edges(box.left() - 0.5, box.top() - 0.5, box.right() + 0.5,
                                 box.bottom() + 0.5);
    dlib::drectangle out;
    bool first = true;
    for (const dlib::dpoint& corner :
         {edges.tl_corner(), edges.tr_corner(), edges.bl_corner(), edges.br_corner()}) {
        const dlib::dpoint p = back(corner);
        if (first)
            out = dlib::drectangle(p, p);
        else
            out += p;
        first = false;
    }
    return out;
}

FoundFace toFound(const Parts& parts, const dlib::drectangle& box) {
    // Pixel-index coordinates name pixel centres; continuous ones the pixels' corners.
    FoundFace f;
    f.left = box.left() + 0.5;
    f.top = box.top() + 0.5;
    f.right = box.right() + 0.5;
    f.bottom = box.bottom() + 0.5;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        f.points[i] = {parts[i].x() + 0.5, parts[i].y() + 0.5};
        f.left = std::min(f.left, f.points[i].x);
        f.top = std::min(f.top, f.points[i].y);
        f.right = std::max(f.right, f.points[i].x);
        f.bottom = std::max(f.bottom, f.points[i].y);
    }
    return f;
}

} // namespace

struct FaceFinder::Impl {
    dlib::frontal_face_detector detector;
    dlib::shape_predictor predictor;
    int searchSize = kDefaultSearchSize;

    std::optional<FoundFace> find(const RgbImage& full);
    std::optional<FoundFace> findPlain(const RgbImage& full);
};

std::optional<FoundFace> FaceFinder::Impl::findPlain(const RgbImage& full) {
    std::vector<dlib::rect_detection> found;
    detector(full, found);
    if (found.empty())
        return std::nullopt;
    const dlib::rectangle box = largest(found);
    return toFound(predict(predictor, full, box, false), dlib::drectangle(box));
}

std::optional<FoundFace> FaceFinder::Impl::find(const RgbImage& full) {
    const long w = full.nc(), h = full.nr();
    const long longer = std::max(w, h);

    // First: where is the face, how large, how tilted.
    RgbImage reduced;
    const RgbImage* search = &full;
    dlib::point_transform_affine searchToFull; // identity
    if (searchSize > 0 && longer > searchSize) {
        const double f = static_cast<double>(searchSize) / static_cast<double>(longer);
        const auto rw = std::max(1L, std::lround(static_cast<double>(w) * f));
        const auto rh = std::max(1L, std::lround(static_cast<double>(h) * f));
        const dlib::chip_details whole(dlib::drectangle(0, 0, w - 1, h - 1),
                                       dlib::chip_dims(rh, rw));
        dlib::extract_image_chip(full, whole, reduced); // through a pyramid: no aliasing
        search = &reduced;
        searchToFull = dlib::inv(dlib::get_mapping_to_chip(whole));
    }
    std::vector<dlib::rect_detection> found;
    detector(*search, found);
    if (found.empty())
        return std::nullopt;
    const dlib::rectangle box = largest(found);
    const auto firstPoints = [&](bool average) {
        Parts parts = predict(predictor, *search, box, average);
        for (dlib::dpoint& p : parts)
            p = searchToFull(p);
        return parts;
    };
    const Parts rough = firstPoints(false); // good enough to place the upright copy
    const dlib::drectangle roughBox = boxBack(box, searchToFull);

    // Then the points again, on an upright copy with the eyes level, at the trained size.
    const dlib::dpoint eyeLine = meanOf(rough, 42, 47) - meanOf(rough, 36, 41);
    const double angle = std::atan2(eyeLine.y(), eyeLine.x());
    const dlib::dpoint centre = meanOf(rough, 0, kFacePointCount - 1);
    const double side = std::sqrt(roughBox.width() * roughBox.height());
    const long n = std::lround(kChipFace * kChipSpan);
    const double half = static_cast<double>(n - 1) / 2 * side / kChipFace;
    const dlib::chip_details upright(dlib::drectangle(centre.x() - half, centre.y() - half,
                                                      centre.x() + half, centre.y() + half),
                                     dlib::chip_dims(n, n), angle);
    RgbImage chip;
    dlib::extract_image_chip(full, upright, chip);
    const std::vector<dlib::rectangle> chipBoxes = detector(chip);
    if (chipBoxes.empty())
        return toFound(firstPoints(true), roughBox); // the first search still gives a fair answer

    const dlib::rectangle chipBox = nearest(
        chipBoxes, dlib::dpoint(static_cast<double>(n - 1) / 2, static_cast<double>(n - 1) / 2));
    const dlib::point_transform_affine chipToFull = dlib::inv(dlib::get_mapping_to_chip(upright));
    Parts fine = predict(predictor, chip, chipBox, true);
    for (dlib::dpoint& p : fine)
        p = chipToFull(p);
    return toFound(fine, boxBack(chipBox, chipToFull));
}

FaceFinder::FaceFinder(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

FaceFinder::~FaceFinder() = default;

std::unique_ptr<FaceFinder> FaceFinder::load(const std::string& modelPath, std::string& error) {
    error.clear();
    const std::string what = "The face model " + modelPath;
    try {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::file_status status = fs::status(modelPath, ec);
        if (!fs::exists(status)) {
            error = what + " does not exist.";
            return nullptr;
        }
        if (!fs::is_regular_file(status)) {
            error = what + " is not a file.";
            return nullptr;
        }
        const std::uintmax_t size = fs::file_size(modelPath, ec);
        if (ec || size == 0) {
            error = what + " is empty.";
            return nullptr;
        }
        std::ifstream in(modelPath, std::ios::binary);
        if (!in) {
            error = what + " cannot be read.";
            return nullptr;
        }
        auto impl = std::make_unique<Impl>();
        dlib::deserialize(impl->predictor, in);
        if (impl->predictor.num_parts() != kFacePointCount) {
            error = what + " places " + std::to_string(impl->predictor.num_parts()) +
                    " points, not 68.";
            return nullptr;
        }
        impl->detector = dlib::get_frontal_face_detector();
        return std::unique_ptr<FaceFinder>(new FaceFinder(std::move(impl)));
    } catch (const std::bad_alloc&) {
        error = "Not enough memory to load the face model " + modelPath + ".";
    } catch (const std::exception& e) {
        error = what + " is damaged or not a dlib shape model (" + e.what() + ").";
    } catch (...) {
        error = what + " is damaged or not a dlib shape model.";
    }
    return nullptr;
}

std::optional<FoundFace> FaceFinder::findLargestFace(const ImageView& image,
                                                     FaceSearchError* error) {
    return search(image, error, false);
}

std::optional<FoundFace> FaceFinder::findPlain(const ImageView& image, FaceSearchError* error) {
    return search(image, error, true);
}

std::optional<FoundFace> FaceFinder::search(const ImageView& image, FaceSearchError* error,
                                            bool plain) {
    FaceSearchError why = FaceSearchError::None;
    std::optional<FoundFace> found;
    try {
        RgbImage full;
        if (copyPixels(image, full))
            found = plain ? m_impl->findPlain(full) : m_impl->find(full);
        else
            why = FaceSearchError::BadPicture;
    } catch (const std::bad_alloc&) {
        why = FaceSearchError::OutOfMemory;
    } catch (...) {
        why = FaceSearchError::Failed;
    }
    if (error)
        *error = why;
    return why == FaceSearchError::None ? found : std::nullopt;
}

void FaceFinder::setSearchSize(int longerSide) {
    m_impl->searchSize = std::max(longerSide, 0);
}

int FaceFinder::searchSize() const {
    return m_impl->searchSize;
}

} // namespace veidora::facefit
