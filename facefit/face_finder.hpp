#pragma once

// Finds a face and its 68 points on a picture, with dlib's HOG face detector and its 68-point
// shape predictor. dlib stays inside face_finder.cpp: neither this header nor its users need
// it.

#include "face_fit.hpp"
#include "image_view.hpp"

#include <memory>
#include <optional>
#include <string>

namespace veidora::facefit {

// Installed by Debian's libdlib-data.
inline constexpr const char* kDefaultModelPath =
    "/usr/share/dlib/shape_predictor_68_face_landmarks.dat";

// The face box and the 68 points, in continuous pixel coordinates of the view (pixel (i, j)
// covers [i, i+1) x [j, j+1)). The box is the detector's, grown to hold all 68 points; it
// runs from the eyebrows down, so the hairline lies above it.
struct FoundFace {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    FacePoints points{};
};

// Why a search for a face found nothing: the program words it for the user.
enum class FaceSearchError {
    None,        // the picture shows no face
    BadPicture,  // the view is empty, has no 1, 3 or 4 channels, or lines short of its width
    OutOfMemory, // too little memory to search the picture
    Failed,      // dlib failed otherwise
};

// Loading reads a ~100 MB model and takes about a second: load once, off the GUI thread. A
// search changes the detector's scratch state, so one search at a time per instance. No
// exception leaves this class: failures come back as nullptr / nullopt with a text.
class FaceFinder {
public:
    // nullptr and `error` (naming the path) when the file is missing, not a regular file,
    // empty, unreadable or not a 68-point shape model.
    static std::unique_ptr<FaceFinder> load(const std::string& modelPath, std::string& error);

    ~FaceFinder();
    FaceFinder(const FaceFinder&) = delete;
    FaceFinder& operator=(const FaceFinder&) = delete;

    // The largest face (by detector box area). nullopt when there is none; then `error`, when
    // given, is None for "no face" and says why otherwise. The same pixels always give the
    // same answer.
    std::optional<FoundFace> findLargestFace(const ImageView& image,
                                             FaceSearchError* error = nullptr);

    // dlib's detector and one prediction on the picture itself, nothing more: the yardstick
    // the search above is measured against. Same answers on nullopt as findLargestFace.
    std::optional<FoundFace> findPlain(const ImageView& image, FaceSearchError* error = nullptr);

    // The first search for faces runs on a copy whose longer side is at most this many pixels
    // (0: on the picture itself). Smaller is faster but misses faces under about 80 pixels of
    // the reduced copy. The points are then placed on the picture itself either way.
    void setSearchSize(int longerSide);
    int searchSize() const;

    static constexpr int kDefaultSearchSize = 800;

private:
    struct Impl;
    std::optional<FoundFace> search(const ImageView& image, FaceSearchError* error, bool plain);
    explicit FaceFinder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

} // namespace veidora::facefit
