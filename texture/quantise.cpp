// Sections:
//   1. Colours as packed values, and the nearest-entry search
//   2. Median cut
//   3. k-means refinement
//   4. Mapping pixels, with or without error diffusion
//   5. Measuring the error
#include "quantise.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// ---------------------------------------------------------------------------
// 1. Colours and the search
// ---------------------------------------------------------------------------

// RGBA packed with red highest, so sorting packed values sorts colours.
std::uint32_t Pack(const std::uint8_t* p, bool alpha) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | (alpha ? p[3] : 255u);
}
int Channel(std::uint32_t c, int ch) { return static_cast<int>((c >> (24 - 8 * ch)) & 0xFF); }

// Centroids in fixed point, 16 steps per colour level, so that k-means
// moves them by less than a level at a time.
constexpr int kFixed = 16;

// The nearest of a set of points in up to four channels. Points are kept
// sorted by the sum of their channels: the squared distance to a point is at
// least the square of the sums' difference divided by the channel count, so
// the search walks out from the query's sum and stops once that bound
// exceeds the best distance found.
class NearestSearch {
public:
    NearestSearch(const std::vector<int>& points, int channels) : channels_(channels), points_(points) {
        const int n = static_cast<int>(points.size()) / 4;
        order_.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) order_[static_cast<std::size_t>(i)] = i;
        auto key = [&](int i) { return Key(&points[4 * static_cast<std::size_t>(i)]); };
        // Ties keep index order, so the first of equal points wins as in a plain scan.
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) { return key(a) < key(b); });
        keys_.resize(order_.size());
        sorted_.resize(points.size());
        for (std::size_t k = 0; k < order_.size(); ++k) {
            keys_[k] = key(order_[k]);
            for (int ch = 0; ch < 4; ++ch) sorted_[4 * k + ch] = points[4 * static_cast<std::size_t>(order_[k]) + ch];
        }
    }
    // The index of the nearest point to q (4 ints); the lowest index among
    // equals. `hint`, a point likely to be near, lets the walk stop sooner.
    int Find(const int* q, int hint = -1) const {
        const long long key = Key(q);
        const std::size_t start = static_cast<std::size_t>(std::lower_bound(keys_.begin(), keys_.end(), key) - keys_.begin());
        long long best = -1;
        int bestIndex = 0;
        if (hint >= 0) {
            best = Distance(&points_[4 * static_cast<std::size_t>(hint)], q);
            bestIndex = hint;
        }
        auto consider = [&](std::size_t k) {
            const long long d = Distance(&sorted_[4 * k], q);
            if (best < 0 || d < best || (d == best && order_[k] < bestIndex)) {
                best = d;
                bestIndex = order_[k];
            }
        };
        std::size_t up = start, down = start;
        bool moreUp = up < keys_.size(), moreDown = down > 0;
        while (moreUp || moreDown) {
            if (moreUp) {
                const long long gap = keys_[up] - key;
                if (best >= 0 && gap * gap > best * channels_) moreUp = false;
                else consider(up++), moreUp = up < keys_.size();
            }
            if (moreDown) {
                const long long gap = key - keys_[down - 1];
                if (best >= 0 && gap * gap > best * channels_) moreDown = false;
                else consider(--down), moreDown = down > 0;
            }
        }
        return bestIndex;
    }

private:
    long long Distance(const int* p, const int* q) const {
        long long d = 0;
        for (int ch = 0; ch < channels_; ++ch) d += static_cast<long long>(p[ch] - q[ch]) * (p[ch] - q[ch]);
        return d;
    }
    long long Key(const int* p) const {
        long long s = 0;
        for (int ch = 0; ch < channels_; ++ch) s += p[ch];
        return s;
    }
    int channels_;
    std::vector<int> points_;
    std::vector<int> order_;
    std::vector<long long> keys_;
    std::vector<int> sorted_;
};

std::vector<int> Widen(const std::vector<std::uint8_t>& palette, int scale) {
    std::vector<int> out(palette.size());
    for (std::size_t i = 0; i < palette.size(); ++i) out[i] = palette[i] * scale;
    return out;
}

// Distinct colours and how many pixels have each.
struct Histogram {
    std::vector<std::uint32_t> colours;
    std::vector<std::uint32_t> counts;
};

Histogram CountColours(const Image& image, bool alpha) {
    const std::size_t n = image.rgba.size() / 4;
    std::vector<std::uint32_t> all(n);
    for (std::size_t i = 0; i < n; ++i) all[i] = Pack(&image.rgba[4 * i], alpha);
    // Least significant byte first, four stable passes: a quarter of a comparison sort's time.
    std::vector<std::uint32_t> spare(n);
    for (int shift = 0; shift < 32; shift += 8) {
        std::size_t start[257] = {};
        for (std::uint32_t c : all) ++start[((c >> shift) & 0xFF) + 1];
        if (n && start[((all[0] >> shift) & 0xFF) + 1] == n) continue;  // a byte all share (opaque alpha)
        for (int v = 0; v < 256; ++v) start[v + 1] += start[v];
        for (std::uint32_t c : all) spare[start[(c >> shift) & 0xFF]++] = c;
        all.swap(spare);
    }
    Histogram h;
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i;
        while (j < n && all[j] == all[i]) ++j;
        h.colours.push_back(all[i]);
        h.counts.push_back(static_cast<std::uint32_t>(j - i));
        i = j;
    }
    return h;
}

// ---------------------------------------------------------------------------
// 2. Median cut
// ---------------------------------------------------------------------------

struct Moments {
    double w = 0, s[4] = {0, 0, 0, 0}, q[4] = {0, 0, 0, 0};
    void Add(std::uint32_t c, double weight) {
        w += weight;
        for (int ch = 0; ch < 4; ++ch) {
            const double v = Channel(c, ch);
            s[ch] += weight * v;
            q[ch] += weight * v * v;
        }
    }
    double ChannelError(int ch) const { return w > 0 ? q[ch] - s[ch] * s[ch] / w : 0; }
    double Error(int channels) const {
        double e = 0;
        for (int ch = 0; ch < channels; ++ch) e += ChannelError(ch);
        return e;
    }
};

struct Box {
    std::size_t begin, end;  // a range of `order`
    Moments moments;
    double error;            // summed squared distance to its mean
};

Moments MomentsOf(const Histogram& h, const std::vector<std::uint32_t>& order, std::size_t begin, std::size_t end) {
    Moments m;
    for (std::size_t k = begin; k < end; ++k) m.Add(h.colours[order[k]], h.counts[order[k]]);
    return m;
}

// Cuts `box` in two along its widest channel, where the two halves' summed
// error is least; false when all its colours agree on every channel.
bool CutBox(const Histogram& h, std::vector<std::uint32_t>& order, const Box& box, int channels, Box* left, Box* right) {
    const Moments& all = box.moments;
    int axis = -1;
    double widest = 0;
    for (int ch = 0; ch < channels; ++ch)
        if (all.ChannelError(ch) > widest) widest = all.ChannelError(ch), axis = ch;
    if (axis < 0) return false;
    // Counting sort by that channel: stable, so the order stays a function of the input.
    std::vector<std::size_t> start(257, 0);
    for (std::size_t k = box.begin; k < box.end; ++k) ++start[Channel(h.colours[order[k]], axis) + 1];
    for (int v = 0; v < 256; ++v) start[v + 1] += start[v];
    std::vector<std::uint32_t> sorted(box.end - box.begin);
    for (std::size_t k = box.begin; k < box.end; ++k) sorted[start[Channel(h.colours[order[k]], axis)]++] = order[k];
    std::copy(sorted.begin(), sorted.end(), order.begin() + static_cast<std::ptrdiff_t>(box.begin));

    Moments low, bestLow, bestHigh;
    double bestError = -1;
    std::size_t cut = box.begin;
    for (std::size_t k = box.begin; k + 1 < box.end; ++k) {
        low.Add(h.colours[order[k]], h.counts[order[k]]);
        if (Channel(h.colours[order[k]], axis) == Channel(h.colours[order[k + 1]], axis)) continue;
        Moments high;
        high.w = all.w - low.w;
        for (int ch = 0; ch < 4; ++ch) high.s[ch] = all.s[ch] - low.s[ch], high.q[ch] = all.q[ch] - low.q[ch];
        const double e = low.Error(channels) + high.Error(channels);
        if (bestError < 0 || e < bestError) bestError = e, cut = k + 1, bestLow = low, bestHigh = high;
    }
    *left = {box.begin, cut, bestLow, bestLow.Error(channels)};
    *right = {cut, box.end, bestHigh, bestHigh.Error(channels)};
    return true;
}

// ---------------------------------------------------------------------------
// 3. k-means
// ---------------------------------------------------------------------------

// Moves each centroid (fixed point) to the mean of the colours nearest to
// it, a few times over; a centroid nobody is nearest to stays.
// `assigned` starts as each colour's box, which the first pass's search
// starts from.
void Refine(const Histogram& h, std::vector<int>& centroids, std::vector<int>& assigned, int channels, int passes) {
    const std::size_t k = centroids.size() / 4;
    for (int pass = 0; pass < passes; ++pass) {
        NearestSearch search(centroids, channels);
        std::vector<long long> sums(k * 4, 0), weights(k, 0);
        std::size_t moved = 0;
        for (std::size_t i = 0; i < h.colours.size(); ++i) {
            int q[4];
            for (int ch = 0; ch < 4; ++ch) q[ch] = Channel(h.colours[i], ch) * kFixed;
            const int c = search.Find(q, assigned[i]);
            if (c != assigned[i]) ++moved, assigned[i] = c;
            weights[static_cast<std::size_t>(c)] += h.counts[i];
            for (int ch = 0; ch < 4; ++ch) sums[4 * static_cast<std::size_t>(c) + ch] += static_cast<long long>(h.counts[i]) * q[ch];
        }
        for (std::size_t c = 0; c < k; ++c)
            if (weights[c])
                for (int ch = 0; ch < 4; ++ch)
                    centroids[4 * c + ch] = static_cast<int>((2 * sums[4 * c + ch] + weights[c]) / (2 * weights[c]));
        if (moved * 1000 < h.colours.size()) break;  // settled
    }
}

} // namespace

Quantised Quantise(const Image& image, int maxColours, bool alpha, bool dither) {
    const int channels = alpha ? 4 : 3;
    const Histogram h = CountColours(image, alpha);
    Quantised out;
    out.distinct = h.colours.size();
    std::vector<int> nearest(h.colours.size());  // each colour's palette entry
    if (h.colours.size() <= static_cast<std::size_t>(maxColours)) {
        for (std::size_t i = 0; i < h.colours.size(); ++i) {
            for (int ch = 0; ch < 4; ++ch) out.palette.push_back(static_cast<std::uint8_t>(Channel(h.colours[i], ch)));
            nearest[i] = static_cast<int>(i);
        }
    } else {
        std::vector<std::uint32_t> order(h.colours.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
        const Moments all = MomentsOf(h, order, 0, order.size());
        std::vector<Box> boxes = {{0, order.size(), all, all.Error(channels)}};
        while (boxes.size() < static_cast<std::size_t>(maxColours)) {
            std::size_t worst = 0;
            for (std::size_t b = 1; b < boxes.size(); ++b)
                if (boxes[b].error > boxes[worst].error) worst = b;
            Box left, right;
            if (boxes[worst].error <= 0 || !CutBox(h, order, boxes[worst], channels, &left, &right)) break;
            boxes[worst] = left;
            boxes.push_back(right);
        }
        std::vector<int> centroids;
        for (const Box& b : boxes) {
            long long w = 0, s[4] = {0, 0, 0, 0};
            for (std::size_t k = b.begin; k < b.end; ++k) {
                nearest[order[k]] = static_cast<int>(centroids.size() / 4);
                w += h.counts[order[k]];
                for (int ch = 0; ch < 4; ++ch)
                    s[ch] += static_cast<long long>(h.counts[order[k]]) * Channel(h.colours[order[k]], ch) * kFixed;
            }
            for (int ch = 0; ch < 4; ++ch) centroids.push_back(static_cast<int>((2 * s[ch] + w) / (2 * w)));
        }
        Refine(h, centroids, nearest, channels, 4);
        for (std::size_t i = 0; i < centroids.size(); ++i) {
            const int v = (centroids[i] + kFixed / 2) / kFixed;
            out.palette.push_back(static_cast<std::uint8_t>(v > 255 ? 255 : v));
            if (!alpha && i % 4 == 3) out.palette.back() = 255;
        }
        // The rounded palette's nearest entries, from the last pass's.
        const NearestSearch search(Widen(out.palette, kFixed), channels);
        for (std::size_t i = 0; i < h.colours.size(); ++i) {
            int q[4];
            for (int ch = 0; ch < 4; ++ch) q[ch] = Channel(h.colours[i], ch) * kFixed;
            nearest[i] = search.Find(q, nearest[i]);
        }
    }
    if (dither && h.colours.size() > static_cast<std::size_t>(maxColours)) {
        out.indices = MapToPalette(image, out.palette, alpha, true);
        return out;
    }
    const std::size_t n = image.rgba.size() / 4;
    out.indices.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t c = Pack(&image.rgba[4 * i], alpha);
        out.indices[i] = static_cast<std::uint8_t>(
            nearest[static_cast<std::size_t>(std::lower_bound(h.colours.begin(), h.colours.end(), c) - h.colours.begin())]);
    }
    return out;
}

// ---------------------------------------------------------------------------
// 4. Mapping
// ---------------------------------------------------------------------------

std::vector<std::uint8_t> MapToPalette(const Image& image, const std::vector<std::uint8_t>& palette, bool alpha,
                                       bool dither) {
    const int channels = alpha ? 4 : 3;
    const std::size_t n = image.rgba.size() / 4;
    std::vector<std::uint8_t> out(n);
    const NearestSearch search(Widen(palette, kFixed), channels);
    if (!dither) {
        // Each distinct colour is looked up once.
        const Histogram h = CountColours(image, alpha);
        std::vector<std::uint8_t> nearest(h.colours.size());
        for (std::size_t i = 0; i < h.colours.size(); ++i) {
            int q[4];
            for (int ch = 0; ch < 4; ++ch) q[ch] = Channel(h.colours[i], ch) * kFixed;
            // Colours next in order are mostly near: the last answer is a good start.
            nearest[i] = static_cast<std::uint8_t>(search.Find(q, i ? nearest[i - 1] : -1));
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t c = Pack(&image.rgba[4 * i], alpha);
            out[i] = nearest[static_cast<std::size_t>(std::lower_bound(h.colours.begin(), h.colours.end(), c) - h.colours.begin())];
        }
        return out;
    }
    // Errors in fixed point for this row and the next, one pixel of margin each side.
    const int w = image.width;
    std::vector<int> here(static_cast<std::size_t>(w + 2) * 3, 0), next(here.size(), 0);
    for (int y = 0; y < image.height; ++y) {
        const bool reverse = y & 1;
        std::fill(next.begin(), next.end(), 0);
        for (int step = 0; step < w; ++step) {
            const int x = reverse ? w - 1 - step : step, dir = reverse ? -1 : 1;
            const std::uint8_t* p = image.At(x, y);
            int q[4];
            for (int ch = 0; ch < 3; ++ch) q[ch] = std::min(255 * kFixed, std::max(0, p[ch] * kFixed + here[3 * (x + 1) + ch] / 16));
            q[3] = (alpha ? p[3] : 255) * kFixed;
            const int c = search.Find(q);
            out[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(c);
            for (int ch = 0; ch < 3; ++ch) {
                const int e = q[ch] - palette[4 * static_cast<std::size_t>(c) + ch] * kFixed;
                here[3 * (x + 1 + dir) + ch] += e * 7;
                next[3 * (x + 1 - dir) + ch] += e * 3;
                next[3 * (x + 1) + ch] += e * 5;
                next[3 * (x + 1 + dir) + ch] += e;
            }
        }
        std::swap(here, next);
    }
    return out;
}

// ---------------------------------------------------------------------------
// 5. Error
// ---------------------------------------------------------------------------

ColourError MeasureError(const Image& original, const std::vector<std::uint8_t>& indices,
                         const std::vector<std::uint8_t>& palette, bool alpha) {
    ColourError e;
    const int channels = alpha ? 4 : 3;
    const std::size_t n = indices.size();
    double squared = 0;
    long long sum[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < n; ++i)
        for (int ch = 0; ch < channels; ++ch) {
            const int d = std::abs(original.rgba[4 * i + ch] - palette[4 * static_cast<std::size_t>(indices[i]) + ch]);
            sum[ch] += d;
            e.max[ch] = std::max(e.max[ch], d);
            squared += static_cast<double>(d) * d;
        }
    for (int ch = 0; ch < channels; ++ch) e.mean[ch] = n ? static_cast<double>(sum[ch]) / static_cast<double>(n) : 0;
    e.exact = squared == 0;
    if (!e.exact) e.psnr = 10 * std::log10(255.0 * 255.0 * static_cast<double>(n) * channels / squared);
    return e;
}
