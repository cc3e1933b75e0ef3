#include "tools/artgen/Canvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

std::vector<double> gaussianKernel(double sigma)
{
    const int radius = std::max(1, static_cast<int>(std::ceil(sigma * 3.0)));
    std::vector<double> kernel(2 * radius + 1);
    double sum = 0.0;
    for (int i = -radius; i <= radius; ++i) {
        kernel[i + radius] = std::exp(-(i * i) / (2.0 * sigma * sigma));
        sum += kernel[i + radius];
    }
    for (double& k : kernel) {
        k /= sum;
    }
    return kernel;
}

// Separable blur over any value type that adds and scales, clamped edges.
template <class T>
std::vector<T> blurPlane(const std::vector<T>& source, int width, int height, double sigma)
{
    const std::vector<double> kernel = gaussianKernel(sigma);
    const int radius = static_cast<int>(kernel.size() / 2);
    std::vector<T> across(source.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            T sum{};
            for (int k = -radius; k <= radius; ++k) {
                const int sx = std::clamp(x + k, 0, width - 1);
                sum = sum + source[y * width + sx] * kernel[k + radius];
            }
            across[y * width + x] = sum;
        }
    }
    std::vector<T> result(source.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            T sum{};
            for (int k = -radius; k <= radius; ++k) {
                const int sy = std::clamp(y + k, 0, height - 1);
                sum = sum + across[sy * width + x] * kernel[k + radius];
            }
            result[y * width + x] = sum;
        }
    }
    return result;
}

int toByte(double v, double dither)
{
    return std::clamp(static_cast<int>(std::floor(v * 255.0 + dither)), 0, 255);
}

} // namespace

Mask::Mask(int width, int height, double value)
    : width_(width), height_(height), values_(static_cast<std::size_t>(width) * height, value)
{
}

Mask Mask::fromPath(int width, int height, const QPainterPath& path)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPath(path);
    }
    Mask mask(width, height);
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            mask.set(x, y, qAlpha(line[x]) / 255.0);
        }
    }
    return mask;
}

double Mask::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0.0;
    }
    return values_[index(x, y)];
}

Mask Mask::blurred(double sigma) const
{
    Mask result(width_, height_);
    result.values_ = blurPlane(values_, width_, height_, sigma);
    return result;
}

Mask Mask::shifted(int dx, int dy) const
{
    Mask result(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            result.set(x, y, at(x - dx, y - dy));
        }
    }
    return result;
}

Mask Mask::inverted() const
{
    Mask result(*this);
    for (double& v : result.values_) {
        v = 1.0 - v;
    }
    return result;
}

Mask Mask::times(const Mask& other) const
{
    Mask result(*this);
    for (std::size_t i = 0; i < values_.size(); ++i) {
        result.values_[i] *= other.values_[i];
    }
    return result;
}

Mask Mask::minus(const Mask& other) const
{
    Mask result(*this);
    for (std::size_t i = 0; i < values_.size(); ++i) {
        result.values_[i] = std::max(0.0, values_[i] - other.values_[i]);
    }
    return result;
}

Mask Mask::unitedWith(const Mask& other) const
{
    Mask result(*this);
    for (std::size_t i = 0; i < values_.size(); ++i) {
        result.values_[i] = std::max(values_[i], other.values_[i]);
    }
    return result;
}

Mask Mask::scaled(double k) const
{
    Mask result(*this);
    for (double& v : result.values_) {
        v = std::clamp(v * k, 0.0, 1.0);
    }
    return result;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill)
{
}

Canvas Canvas::fromImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Canvas canvas(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            canvas.set(x, y, rgb255(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
        }
    }
    return canvas;
}

Rgb Canvas::sample(double x, double y) const
{
    x = std::clamp(x - 0.5, 0.0, width_ - 1.0);
    y = std::clamp(y - 0.5, 0.0, height_ - 1.0);
    const int x0 = static_cast<int>(x);
    const int y0 = static_cast<int>(y);
    const int x1 = std::min(x0 + 1, width_ - 1);
    const int y1 = std::min(y0 + 1, height_ - 1);
    const double tx = x - x0;
    const double ty = y - y0;
    const Rgb top = mix(at(x0, y0), at(x1, y0), tx);
    const Rgb bottom = mix(at(x0, y1), at(x1, y1), tx);
    return mix(top, bottom, ty);
}

void Canvas::fill(const Mask& mask, Rgb colour, double opacity)
{
    paint(mask, [colour](double, double, Rgb) { return colour; }, opacity);
}

void Canvas::fill(const QPainterPath& path, Rgb colour, double opacity)
{
    fill(Mask::fromPath(width_, height_, path), colour, opacity);
}

Canvas Canvas::blurred(double sigma) const
{
    Canvas result(width_, height_);
    result.pixels_ = blurPlane(pixels_, width_, height_, sigma);
    return result;
}

Canvas Canvas::region(int x, int y, int width, int height) const
{
    Canvas result(width, height);
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            result.set(i, j, at(std::clamp(x + i, 0, width_ - 1), std::clamp(y + j, 0, height_ - 1)));
        }
    }
    return result;
}

QImage Canvas::toImage() const
{
    static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    QImage image(width_, height_, QImage::Format_RGB32);
    for (int y = 0; y < height_; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const double dither = (kBayer[y % 4][x % 4] + 0.5) / 16.0;
            const Rgb c = at(x, y);
            line[x] = qRgb(toByte(c.r, dither), toByte(c.g, dither), toByte(c.b, dither));
        }
    }
    return image;
}

} // namespace artgen
