// A palette of at most N colours for a set of colours that has more, chosen to keep the error small: a
// median cut weighted by how often each colour is used, refined by a few rounds of k-means.
#pragma once

#include <cstdint>
#include <vector>

// Colours are 0xRRGGBB (alpha ignored); weights are the number of cubes of each colour, all above zero. Returns
// at most maxColours colours; every input colour is its own entry when there are no more than maxColours.
std::vector<uint32_t> FitPalette(const std::vector<uint32_t>& colours,
                                 const std::vector<uint32_t>& weights,
                                 int maxColours);
// The index of the palette entry nearest to colour (squared distance in red, green and blue; the first of equals).
int NearestEntry(const std::vector<uint32_t>& palette, uint32_t colour);
