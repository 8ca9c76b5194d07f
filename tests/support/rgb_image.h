// An RGB picture, top row first, and the statistics the on-screen checks compare: mean colours
// of bands, brightness profiles and how far a picture's content moved between two of them.
// Colour channels are 0 to 255.
#pragma once

#include <string>
#include <vector>

struct Colour {
    float r;
    float g;
    float b;
};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels; // width * height * 3, row by row
};

RgbImage loadPng(const std::string& path); // empty when the file cannot be read

// The mean colour of the rows from `top` to `bottom`, fractions of the height (0 is the top).
Colour bandMean(const RgbImage& image, float top, float bottom);
// How much bluer than its red and green a colour is: high for a clear sky, low for haze or land.
float blueness(const Colour& colour);
// The mean absolute channel difference between `small` and the part of `large` it shows: its
// pixel (x, y) against large's (left + x * step, y * step).
double meanDifference(const RgbImage& small, const RgbImage& large, int left, int step);
// How many pixels differ clearly between two pictures of the same size.
int changedPixels(const RgbImage& before, const RgbImage& after);

// Mean brightness of every column, or of every row.
std::vector<float> columnProfile(const RgbImage& image);
std::vector<float> rowProfile(const RgbImage& image);
// How many places the content of a profile moved towards its start from `before` to `after`
// (negative: towards its end), searched up to maxShift either way.
int contentShift(const std::vector<float>& before, const std::vector<float>& after, int maxShift);
