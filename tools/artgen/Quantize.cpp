#include "tools/artgen/Quantize.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <vector>

namespace artgen {

namespace {

struct Bin {
    std::array<double, 3> rgb;
    double count;
};

struct Box {
    std::size_t begin;
    std::size_t end;
    double error = 0.0;
    int axis = 0;
};

constexpr QRgb kTransparentKey = 0x00FF00FFu;

// Perceptual weights for the channels: green differences show most.
constexpr std::array<double, 3> kWeight = {0.30, 0.59, 0.11};

std::vector<Bin> histogram(const QImage& image)
{
    std::map<QRgb, double> counts;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            counts[line[x] & 0xFFFFFFu] += 1.0;
        }
    }
    std::vector<Bin> bins;
    bins.reserve(counts.size());
    for (const auto& [colour, count] : counts) {
        bins.push_back({{double(qRed(colour)), double(qGreen(colour)), double(qBlue(colour))}, count});
    }
    return bins;
}

void measure(Box& box, const std::vector<Bin>& bins)
{
    std::array<double, 3> sum{};
    std::array<double, 3> squares{};
    double total = 0.0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += bins[i].rgb[c] * bins[i].count;
            squares[c] += bins[i].rgb[c] * bins[i].rgb[c] * bins[i].count;
        }
        total += bins[i].count;
    }
    box.error = 0.0;
    double widest = -1.0;
    for (int c = 0; c < 3; ++c) {
        const double variance = (squares[c] - sum[c] * sum[c] / total) * kWeight[c];
        box.error += variance;
        if (variance > widest) {
            widest = variance;
            box.axis = c;
        }
    }
    if (box.end - box.begin < 2) {
        box.error = 0.0;
    }
}

std::array<double, 3> mean(const std::vector<Bin>& bins, std::size_t begin, std::size_t end)
{
    std::array<double, 3> sum{};
    double total = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += bins[i].rgb[c] * bins[i].count;
        }
        total += bins[i].count;
    }
    return {sum[0] / total, sum[1] / total, sum[2] / total};
}

double distance(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    double d = 0.0;
    for (int c = 0; c < 3; ++c) {
        d += (a[c] - b[c]) * (a[c] - b[c]) * kWeight[c];
    }
    return d;
}

std::size_t nearest(const std::vector<std::array<double, 3>>& palette, const std::array<double, 3>& colour)
{
    std::size_t best = 0;
    double bestDistance = distance(palette[0], colour);
    for (std::size_t i = 1; i < palette.size(); ++i) {
        const double d = distance(palette[i], colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

std::vector<Box> medianCut(std::vector<Bin>& bins, int colours)
{
    std::vector<Box> boxes{{0, bins.size()}};
    measure(boxes[0], bins);
    while (static_cast<int>(boxes.size()) < colours) {
        auto worst = std::max_element(boxes.begin(), boxes.end(),
                                      [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0.0) {
            break;
        }
        Box box = *worst;
        const int axis = box.axis;
        std::stable_sort(bins.begin() + box.begin, bins.begin() + box.end,
                         [axis](const Bin& a, const Bin& b) { return a.rgb[axis] < b.rgb[axis]; });
        double total = 0.0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            total += bins[i].count;
        }
        double running = 0.0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            running += bins[i].count;
            split = i + 1;
            if (running >= total / 2.0) {
                break;
            }
        }
        Box low{box.begin, split};
        Box high{split, box.end};
        measure(low, bins);
        measure(high, bins);
        *worst = low;
        boxes.push_back(high);
    }
    return boxes;
}

void refine(std::vector<std::array<double, 3>>& palette, const std::vector<Bin>& bins, int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::array<double, 3>> sums(palette.size(), {0.0, 0.0, 0.0});
        std::vector<double> totals(palette.size(), 0.0);
        for (const Bin& bin : bins) {
            const std::size_t k = nearest(palette, bin.rgb);
            for (int c = 0; c < 3; ++c) {
                sums[k][c] += bin.rgb[c] * bin.count;
            }
            totals[k] += bin.count;
        }
        for (std::size_t k = 0; k < palette.size(); ++k) {
            if (totals[k] > 0.0) {
                palette[k] = {sums[k][0] / totals[k], sums[k][1] / totals[k], sums[k][2] / totals[k]};
            }
        }
    }
}

int channel(double v)
{
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

} // namespace

QVector<QRgb> buildPalette(const QImage& image, int colours)
{
    std::vector<Bin> bins = histogram(image);
    std::vector<std::array<double, 3>> palette;
    for (const Box& box : medianCut(bins, colours)) {
        palette.push_back(mean(bins, box.begin, box.end));
    }
    refine(palette, bins, 4);
    QVector<QRgb> table;
    for (const auto& c : palette) {
        const QRgb colour = qRgb(channel(c[0]), channel(c[1]), channel(c[2]));
        if (!table.contains(colour)) {
            table.push_back(colour);
        }
    }
    return table;
}

QImage mapToPalette(const QImage& image, const QVector<QRgb>& palette, double dither)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    std::vector<std::array<double, 3>> colours;
    for (QRgb c : palette) {
        colours.push_back({double(qRed(c)), double(qGreen(c)), double(qBlue(c))});
    }
    std::vector<std::array<double, 3>> error(static_cast<std::size_t>(w) * (h + 1), {0.0, 0.0, 0.0});
    QImage out(w, h, QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* target = out.scanLine(y);
        // Serpentine order keeps the diffusion from streaking one way.
        const bool leftToRight = y % 2 == 0;
        for (int step = 0; step < w; ++step) {
            const int x = leftToRight ? step : w - 1 - step;
            const int dir = leftToRight ? 1 : -1;
            std::array<double, 3> want = {double(qRed(line[x])), double(qGreen(line[x])), double(qBlue(line[x]))};
            for (int c = 0; c < 3; ++c) {
                want[c] = std::clamp(want[c] + error[y * w + x][c], 0.0, 255.0);
            }
            const std::size_t k = nearest(colours, want);
            target[x] = static_cast<uchar>(k);
            for (int c = 0; c < 3; ++c) {
                const double e = std::clamp((want[c] - colours[k][c]) * dither, -48.0, 48.0);
                auto spread = [&](int dx, int dy, double weight) {
                    const int nx = x + dx * dir;
                    if (nx >= 0 && nx < w) {
                        error[(y + dy) * w + nx][c] += e * weight;
                    }
                };
                spread(1, 0, 7.0 / 16.0);
                spread(-1, 1, 3.0 / 16.0);
                spread(0, 1, 5.0 / 16.0);
                spread(1, 1, 1.0 / 16.0);
            }
        }
    }
    return out;
}

QImage quantize(const QImage& image, int colours, double dither)
{
    return mapToPalette(image, buildPalette(image, colours), dither);
}

QImage indexExactly(const QImage& image, int maxColours)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QVector<QRgb> table;
    QImage out(argb.width(), argb.height(), QImage::Format_Indexed8);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            // Every fully transparent pixel is the same entry, keyed magenta
            // as icon palettes do (an all-grey palette would be written as a
            // grey-scale PNG instead of an indexed one).
            const QRgb colour = qAlpha(line[x]) == 0 ? kTransparentKey : line[x];
            qsizetype k = table.indexOf(colour);
            if (k < 0) {
                if (table.size() >= maxColours) {
                    throw std::runtime_error("picture has more colours than its palette allows");
                }
                table.push_back(colour);
                k = table.size() - 1;
            }
            out.scanLine(y)[x] = static_cast<uchar>(k);
        }
    }
    out.setColorTable(table);
    return out;
}

} // namespace artgen
