#pragma once

#include <string>
#include <vector>

#include "png_check.h"

// A screenshot of the runner read back, addressed in the normalised device
// coordinates the game draws its screens in: the viewport is a square as
// wide as the picture, centred vertically, so on a wide picture only
// |y| <= height / width shows.

struct NdcBox {
    double x0, x1, y0, y1;
};

// Where a screen text lies: letters are laid leftward from the anchor at a
// pitch of 1.1 h, each h by v either side of its centre; screen texts keep
// one empty letter slot at the anchor, the in-play word does not.
NdcBox textBox(const std::string& text, double anchorX, double anchorY, double h, double v, bool emptySlot = true);

// Where a number drawn at (x, y) with segment size e lies: right-aligned,
// its units digit 1.5 e left of x.
NdcBox numberBox(int value, double x, double y, double e);

class ScreenImage {
public:
    explicit ScreenImage(const std::string& path);

    bool ok() const { return png_.ok; }
    const std::string& error() const { return png_.error; }
    int width() const { return png_.width; }
    int height() const { return png_.height; }

    // Pixel classes. Text is drawn in (0, 0, 1) through the font's alpha.
    bool blue(int column, int row) const;
    bool black(int column, int row) const;

    // Counts over the pixels of a box, grown by margin pixels on each side.
    int countBlue(const NdcBox& box, int margin = 0) const;
    int countNonBlack(const NdcBox& box, int margin = 0) const;
    // Pixels outside every box (each grown by margin) that are not black.
    int strayPixels(const std::vector<NdcBox>& boxes, int margin) const;
    // Pixels of a box that are neither black nor blue: the world.
    int countScenery(const NdcBox& box) const;

private:
    bool inside(const NdcBox& box, int margin, int column, int row) const;
    const std::uint8_t* at(int column, int row) const { return png_.pixel(column, row); }

    DecodedPng png_;
};
