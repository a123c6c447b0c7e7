#include "ui/MapPalette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "ui/MunicipalityNeighbours.h"

namespace mrk2::ui {

namespace {

// Colours of maximum contrast for the eye, the most unlike each other first, so
// that a region that needs few colours gets the clearest ones. Blue leads: a
// region of one municipality wears it, and the red marker of a looked-up
// address stands out on it.
constexpr std::array<QRgb, 20> kPalette{0xff0067a5, 0xffbe0032, 0xfff3c300, 0xff008856, 0xff875692,
                                        0xfff38400, 0xffa1caf1, 0xffe68fac, 0xff8db600, 0xff882d17,
                                        0xff604e97, 0xffc2b280, 0xfff99379, 0xff2b3d26, 0xffb3446c,
                                        0xffdcd300, 0xff654522, 0xffe25822, 0xff848482, 0xfff6a600};

// Colours nearer than this (in RGB) are told apart only side by side, which
// neighbours are: the palette's yellows, oranges and violets come in such pairs.
constexpr double kAlike = 70;

double distance(QRgb a, QRgb b) {
    return std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b));
}

// The colour for a municipality beside these: the first that no neighbour wears
// and none wears a colour alike to; else the first that none wears; around a
// municipality with more neighbours than colours, the least worn.
int colourBeside(const std::vector<std::uint32_t>& neighbours, const std::vector<int>& colour) {
    std::array<int, kPalette.size()> worn{};
    for (std::uint32_t other : neighbours)
        if (colour[other] >= 0)
            ++worn[colour[other]];
    for (std::size_t c = 0; c < kPalette.size(); ++c) {
        bool clear = true;
        for (std::size_t w = 0; w < kPalette.size() && clear; ++w)
            clear = worn[w] == 0 || distance(kPalette[c], kPalette[w]) >= kAlike;
        if (clear)
            return static_cast<int>(c);
    }
    return static_cast<int>(std::min_element(worn.begin(), worn.end()) - worn.begin());
}

}  // namespace

std::vector<QColor> municipalityColours(const RegionPoints& points) {
    const std::size_t n = points.municipalities.size();
    const auto neighbours = municipalityNeighbours(points);
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return neighbours[a].size() > neighbours[b].size();
    });
    std::vector<int> colour(n, -1);
    for (std::size_t m : order)
        colour[m] = colourBeside(neighbours[m], colour);
    std::vector<QColor> out;
    out.reserve(n);
    for (int c : colour)
        out.push_back(QColor::fromRgb(kPalette[c]));
    return out;
}

}  // namespace mrk2::ui
