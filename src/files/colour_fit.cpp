#include "files/colour_fit.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int kRefinementRounds = 8;

int Channel(uint32_t colour, int channel) {
    return static_cast<int>(colour >> (16 - 8 * channel) & 0xFF);
}

int64_t SquaredDistance(uint32_t a, uint32_t b) {
    int64_t sum = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int64_t d = Channel(a, channel) - Channel(b, channel);
        sum += d * d;
    }
    return sum;
}

// Weighted sums of a group of colours, enough for its mean and its squared error.
struct Moments {
    uint64_t weight = 0;
    uint64_t sum[3] = {0, 0, 0};
    uint64_t squares[3] = {0, 0, 0};

    void Add(uint32_t colour, uint64_t w) {
        weight += w;
        for (int channel = 0; channel < 3; ++channel) {
            const uint64_t v = static_cast<uint64_t>(Channel(colour, channel));
            sum[channel] += w * v;
            squares[channel] += w * v * v;
        }
    }
    // Weighted squared error of one channel around the mean, times the weight (kept in integers).
    uint64_t Spread(int channel) const { return weight * squares[channel] - sum[channel] * sum[channel]; }
    // Weighted squared error of the colours around their mean.
    double Error() const {
        return weight == 0 ? 0.0 : static_cast<double>(Spread(0) + Spread(1) + Spread(2)) / static_cast<double>(weight);
    }
    Moments Minus(const Moments& part) const {
        Moments rest = *this;
        rest.weight -= part.weight;
        for (int channel = 0; channel < 3; ++channel) {
            rest.sum[channel] -= part.sum[channel];
            rest.squares[channel] -= part.squares[channel];
        }
        return rest;
    }
    uint32_t Mean() const {
        uint32_t colour = 0;
        for (int channel = 0; channel < 3; ++channel)
            colour |= static_cast<uint32_t>((sum[channel] + weight / 2) / weight) << (16 - 8 * channel);
        return colour;
    }
};

struct Box {
    std::vector<uint32_t> members;  // indices of the colours
    Moments moments;
};

Box MakeBox(std::vector<uint32_t> members, const std::vector<uint32_t>& colours, const std::vector<uint32_t>& weights) {
    Box box;
    for (uint32_t i : members)
        box.moments.Add(colours[i], weights[i]);
    box.members = std::move(members);
    return box;
}

}  // namespace

int NearestEntry(const std::vector<uint32_t>& palette, uint32_t colour) {
    int best = 0;
    int64_t bestDistance = -1;
    for (size_t entry = 0; entry < palette.size(); ++entry) {
        const int64_t d = SquaredDistance(palette[entry], colour);
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(entry);
        }
    }
    return best;
}

std::vector<uint32_t> FitPalette(const std::vector<uint32_t>& colours,
                                 const std::vector<uint32_t>& weights,
                                 int maxColours) {
    std::vector<uint32_t> palette;
    if (colours.empty() || maxColours <= 0)
        return palette;
    if (colours.size() <= static_cast<size_t>(maxColours)) {
        for (uint32_t colour : colours)
            palette.push_back(colour & 0xFFFFFF);
        return palette;
    }

    // Median cut: split the box with the largest error across its widest channel, where the two halves' errors
    // add up to the least (a weighted median would leave a rare but distant colour inside a large box).
    std::vector<uint32_t> all(colours.size());
    std::iota(all.begin(), all.end(), 0u);
    std::vector<Box> boxes;
    boxes.push_back(MakeBox(std::move(all), colours, weights));
    while (boxes.size() < static_cast<size_t>(maxColours)) {
        size_t worst = boxes.size();
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].members.size() > 1 &&
                (worst == boxes.size() || boxes[b].moments.Error() > boxes[worst].moments.Error()))
                worst = b;
        }
        if (worst == boxes.size())
            break;
        Box& box = boxes[worst];
        int channel = 0;
        for (int c = 1; c < 3; ++c) {
            if (box.moments.Spread(c) > box.moments.Spread(channel))
                channel = c;
        }
        std::vector<uint32_t> members = std::move(box.members);
        std::stable_sort(members.begin(), members.end(), [&](uint32_t a, uint32_t b) {
            return Channel(colours[a], channel) < Channel(colours[b], channel);
        });
        Moments lower;
        size_t cut = 1;
        double best = -1.0;
        for (size_t k = 0; k + 1 < members.size(); ++k) {
            lower.Add(colours[members[k]], weights[members[k]]);
            if (Channel(colours[members[k]], channel) == Channel(colours[members[k + 1]], channel))
                continue;
            const double error = lower.Error() + box.moments.Minus(lower).Error();
            if (best < 0 || error < best) {
                best = error;
                cut = k + 1;
            }
        }
        std::vector<uint32_t> upper(members.begin() + static_cast<std::ptrdiff_t>(cut), members.end());
        members.resize(cut);
        box = MakeBox(std::move(members), colours, weights);
        boxes.push_back(MakeBox(std::move(upper), colours, weights));
    }
    for (const Box& box : boxes)
        palette.push_back(box.moments.Mean());

    // K-means: each colour to its nearest entry, each entry to the weighted mean of its colours.
    std::vector<int> entryOf(colours.size(), -1);
    for (int round = 0; round < kRefinementRounds; ++round) {
        bool changed = false;
        for (size_t i = 0; i < colours.size(); ++i) {
            const int entry = NearestEntry(palette, colours[i] & 0xFFFFFF);
            changed = changed || entry != entryOf[i];
            entryOf[i] = entry;
        }
        if (!changed)
            break;
        std::vector<Moments> groups(palette.size());
        for (size_t i = 0; i < colours.size(); ++i)
            groups[static_cast<size_t>(entryOf[i])].Add(colours[i], weights[i]);
        for (size_t entry = 0; entry < palette.size(); ++entry) {
            if (groups[entry].weight > 0)
                palette[entry] = groups[entry].Mean();
        }
    }
    return palette;
}
