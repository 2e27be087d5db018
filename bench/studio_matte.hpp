#pragma once

// A head cut out of a plain studio backdrop and laid onto other, generated backdrops, for
// measuring the side search on real heads in front of them. A measuring tool only: the matte
// leans on the backdrop being plain, smooth and unlike the head.

#include <QImage>

#include <cstdint>
#include <vector>

namespace veidora::bench {

enum class Backdrop { Light, Dark, GradientLeftLight, GradientRightLight, DarkHalo, Busy };

inline constexpr Backdrop kBackdrops[] = {
    Backdrop::Light,    Backdrop::Dark, Backdrop::GradientLeftLight, Backdrop::GradientRightLight,
    Backdrop::DarkHalo, Backdrop::Busy};

const char* backdropName(Backdrop b);

// The person's share of each pixel (0..1) and the plain backdrop behind it, as fitted.
class StudioMatte {
public:
    // `photo` is taken in any format; the matte is of its size.
    explicit StudioMatte(const QImage& photo);

    // The photo with its backdrop swapped for `b`; `seed` varies the busy one per photo.
    QImage onto(Backdrop b, unsigned seed) const;
    // The matte as grey levels, for a look by eye.
    QImage alphaImage() const;

private:
    struct Rgb {
        float r = 0, g = 0, b = 0;
    };
    Rgb backdropAt(int x, int y) const;
    std::vector<Rgb> generated(Backdrop b, unsigned seed) const;
    void fitBackdrop();
    void cutPerson();
    std::vector<int> depthFrom(const std::vector<std::uint8_t>& from) const;

    QImage m_photo; // RGB32
    int m_w = 0, m_h = 0;
    std::vector<Rgb> m_backdrop;            // its colour at each pixel, behind the person too
    std::vector<std::uint8_t> m_isBackdrop; // the backdrop seen
    float m_noise = 0;                      // its spread about its local colour
    std::vector<float> m_alpha;
};

} // namespace veidora::bench
