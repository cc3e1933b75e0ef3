#include "platform/qt/FormRenderer.h"

#include "platform/model/RasterOp.h"
#include "platform/qt/FormGeometry.h"
#include "platform/qt/QtServices.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace qthost {
namespace {

const QColor kShadow(128, 128, 128);
const QColor kDarkShadow(64, 64, 64);
const QColor kHighlight(255, 255, 255);

void paintEdge(QPainter& painter, QRect rect, const QColor& topLeft, const QColor& bottomRight)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}

QRect toDevice(QRect rect, qreal dpr)
{
    const int left = static_cast<int>(std::lround(rect.left() * dpr));
    const int top = static_cast<int>(std::lround(rect.top() * dpr));
    const int right = static_cast<int>(std::lround((rect.left() + rect.width()) * dpr));
    const int bottom = static_cast<int>(std::lround((rect.top() + rect.height()) * dpr));
    return QRect(left, top, right - left, bottom - top);
}

qreal roundedCornerRadius(QSize size)
{
    return std::min(size.width(), size.height()) / 4.0;
}

// The area a shape covers inside its box: a circle is the largest one that
// fits, centred.
QRect shapeArea(ui::ShapeKind kind, QRect box)
{
    if (kind != ui::ShapeKind::Circle) {
        return box;
    }
    const int side = std::min(box.width(), box.height());
    return QRect(box.left() + (box.width() - side) / 2, box.top() + (box.height() - side) / 2, side, side);
}

QImage shapeMask(ui::ShapeKind kind, QSize logicalSize, QSize deviceSize, qreal dpr)
{
    QImage mask(deviceSize, QImage::Format_Grayscale8);
    mask.fill(0);
    if (kind == ui::ShapeKind::Rectangle) {
        mask.fill(255);
        return mask;
    }
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.scale(dpr, dpr);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const QRectF area(QPointF(0, 0), QSizeF(logicalSize));
    if (kind == ui::ShapeKind::Circle) {
        painter.drawEllipse(area);
    } else {
        const qreal radius = roundedCornerRadius(logicalSize);
        painter.drawRoundedRect(area, radius, radius);
    }
    return mask;
}

QRgb rasterPixel(QRgb screen, ui::Color pen, ui::DrawMode mode)
{
    const ui::Color result = ui::rasterPixel(pen, ui::rgb(qRed(screen), qGreen(screen), qBlue(screen)), mode);
    return qRgb(result.r, result.g, result.b);
}

} // namespace

void paintSunkenBorder(QPainter& painter, QRect rect)
{
    paintEdge(painter, rect, kShadow, kHighlight);
    paintEdge(painter, rect.adjusted(1, 1, -1, -1), kDarkShadow, qtColor(ui::colors::controlFace));
}

void applyRasterOp(QImage& image, const QImage& mask, QRect area, QRect clip, ui::Color pen, ui::DrawMode mode)
{
    const QRect region = area & clip & image.rect();
    if (region.isEmpty()) {
        return;
    }
    for (int y = region.top(); y <= region.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uchar* maskLine = mask.constScanLine(y - area.top());
        for (int x = region.left(); x <= region.right(); ++x) {
            if (maskLine[x - area.left()] != 0) {
                line[x] = rasterPixel(line[x], pen, mode);
            }
        }
    }
}

QImage FormRenderer::render(const ui::Form& form, qreal devicePixelRatio)
{
    const int width = form.clientWidthTwips() / ui::kTwipsPerPixel;
    const int height = form.clientHeightTwips() / ui::kTwipsPerPixel;
    const QRect client(0, 0, width, height);
    QImage image(toDevice(client, devicePixelRatio).size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(qtColor(ui::colors::controlFace));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    target_ = &image;
    painter_ = &painter;
    dpr_ = devicePixelRatio;
    formId_ = form.instanceId();
    paintChildren(form, QPoint(0, 0), client);
    painter_ = nullptr;
    target_ = nullptr;
    return image;
}

void FormRenderer::forgetForm(std::uint64_t instanceId)
{
    std::erase_if(canvases_, [instanceId](const auto& entry) { return entry.first.first == instanceId; });
    pictures_.erase(instanceId);
}

void FormRenderer::paintChildren(const ui::Container& container, QPoint origin, QRect clip)
{
    for (const ui::Control* control : ui::paintingOrder(container)) {
        const ui::PixelRect box = control->pixelRect();
        paintControl(*control, QRect(origin.x() + box.x, origin.y() + box.y, box.width, box.height), clip);
    }
}

void FormRenderer::paintControl(const ui::Control& control, QRect box, QRect clip)
{
    painter_->save();
    painter_->setClipRect(clip);
    switch (control.kind()) {
    case ui::ControlKind::PictureBox:
        paintPictureBox(static_cast<const ui::PictureBox&>(control), box, clip);
        break;
    case ui::ControlKind::Label:
        paintLabel(static_cast<const ui::Label&>(control), box);
        break;
    case ui::ControlKind::Shape:
        paintShape(static_cast<const ui::Shape&>(control), box, clip);
        break;
    case ui::ControlKind::Image:
        // Screens park pictures outside the window until they need them;
        // decoding one that cannot show costs the first frame milliseconds.
        if (box.intersects(clip)) {
            paintImage(static_cast<const ui::Image&>(control), box);
        }
        break;
    case ui::ControlKind::Frame:
        paintFrame(static_cast<const ui::Frame&>(control), box, clip);
        break;
    case ui::ControlKind::TextBox:
        paintTextBox(static_cast<const ui::TextBox&>(control), box);
        break;
    case ui::ControlKind::Timer:
        break;
    }
    painter_->restore();
}

void FormRenderer::paintPictureBox(const ui::PictureBox& box, QRect rect, QRect clip)
{
    const int inset = box.clientInsetPx();
    const QRect client = rect.adjusted(inset, inset, -inset, -inset);
    if (client.width() > 0 && client.height() > 0) {
        if (box.picture().empty() && box.drawings().empty()) {
            // Only its colour: no canvas worth keeping a window-sized image for.
            painter_->fillRect(client, qtColor(box.backColor()));
        } else {
            painter_->drawImage(client.topLeft(), canvasFor(box, client.size()));
        }
    }
    if (box.sunken()) {
        paintSunkenBorder(*painter_, rect);
    }
    paintChildren(box, client.topLeft(), client & clip);
}

const QImage& FormRenderer::canvasFor(const ui::PictureBox& box, QSize clientSize)
{
    Canvas& canvas = canvases_[CanvasKey{formId_, &box}];
    const QSize deviceSize = toDevice(QRect(QPoint(0, 0), clientSize), dpr_).size();
    const auto& drawings = box.drawings();
    const bool stale = canvas.image.isNull() || canvas.image.size() != deviceSize || canvas.devicePixelRatio != dpr_ ||
                       canvas.picture != box.picture() || canvas.backColor != box.backColor() ||
                       canvas.clearCount != box.clearCount() || canvas.drawingsApplied > drawings.size();
    if (stale) {
        canvas.image = QImage(deviceSize, QImage::Format_RGB32);
        canvas.image.setDevicePixelRatio(dpr_);
        canvas.image.fill(qtColor(box.backColor()));
        canvas.picture = box.picture();
        canvas.backColor = box.backColor();
        canvas.devicePixelRatio = dpr_;
        canvas.clearCount = box.clearCount();
        canvas.drawingsApplied = 0;
        if (!box.picture().empty()) {
            QPainter painter(&canvas.image);
            painter.drawImage(QPoint(0, 0), picture(box.picture()));
        }
    }
    if (canvas.drawingsApplied < drawings.size()) {
        QPainter painter(&canvas.image);
        const ui::Font* lastFont = nullptr;
        qreal ascent = 0;
        for (std::size_t i = canvas.drawingsApplied; i < drawings.size(); ++i) {
            const ui::CanvasText& drawing = drawings[i];
            if (lastFont == nullptr || !(*lastFont == drawing.font)) {
                const QFont font = qtFont(drawing.font);
                painter.setFont(font);
                ascent = QFontMetricsF(font).ascent();
                lastFont = &drawing.font;
            }
            painter.setPen(qtColor(drawing.color));
            painter.drawText(QPointF(drawing.x, drawing.y + ascent), QString::fromStdString(drawing.text));
        }
        canvas.drawingsApplied = drawings.size();
    }
    return canvas.image;
}

void FormRenderer::paintLabel(const ui::Label& label, QRect rect)
{
    if (label.opaque()) {
        painter_->fillRect(rect, qtColor(label.backColor()));
    }
    QRect textRect = rect;
    if (label.singleBorder()) {
        paintEdge(*painter_, rect, Qt::black, Qt::black);
        textRect = rect.adjusted(1, 1, -1, -1);
    }
    // Not clipped to the label's own box: the substitute faces run a pixel or
    // three wider than the designed ones, and a caption cut short reads worse
    // than one that overhangs its box.
    int flags = Qt::AlignTop;
    switch (label.alignment()) {
    case ui::Alignment::Left:
        flags |= Qt::AlignLeft;
        break;
    case ui::Alignment::Right:
        flags |= Qt::AlignRight;
        break;
    case ui::Alignment::Center:
        flags |= Qt::AlignHCenter;
        break;
    }
    painter_->setFont(qtFont(label.font()));
    painter_->setPen(qtColor(label.foreColor()));
    painter_->drawText(textRect, flags | Qt::TextDontClip, QString::fromStdString(label.caption()));
}

void FormRenderer::paintShape(const ui::Shape& shape, QRect rect, QRect clip)
{
    const QRect area = shapeArea(shape.shape(), rect);
    if (area.isEmpty()) {
        return;
    }
    if (shape.fillStyle() == ui::FillStyle::Solid) {
        const QRect deviceArea = toDevice(area, dpr_);
        const QImage mask = shapeMask(shape.shape(), area.size(), deviceArea.size(), dpr_);
        applyRasterOp(*target_, mask, deviceArea, toDevice(clip, dpr_), shape.fillColor(), shape.drawMode());
    }
    if (!shape.outline()) {
        return;
    }
    const QColor pen = qtColor(shape.outlineColor());
    if (shape.shape() == ui::ShapeKind::Rectangle) {
        paintEdge(*painter_, area, pen, pen);
        return;
    }
    painter_->setPen(QPen(pen, 1.0));
    painter_->setBrush(Qt::NoBrush);
    const QRectF line = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    if (shape.shape() == ui::ShapeKind::Circle) {
        painter_->drawEllipse(line);
    } else {
        const qreal radius = roundedCornerRadius(area.size());
        painter_->drawRoundedRect(line, radius, radius);
    }
}

void FormRenderer::paintImage(const ui::Image& image, QRect rect)
{
    if (image.picture().empty()) {
        return;
    }
    const QImage& shown = picture(image.picture());
    if (image.stretch()) {
        painter_->drawImage(QRectF(rect), shown);
    } else {
        painter_->drawImage(rect.topLeft(), shown);
    }
}

const QImage& FormRenderer::picture(const std::string& name)
{
    auto& decoded = pictures_[formId_];
    auto found = decoded.find(name);
    if (found == decoded.end()) {
        found = decoded.emplace(name, decodePicture(catalog_, name)).first;
    }
    return found->second;
}

void FormRenderer::paintFrame(const ui::Frame& frame, QRect rect, QRect clip)
{
    painter_->fillRect(rect, qtColor(ui::colors::controlFace));
    const QFont font = qtFont(frame.font());
    const QFontMetrics metrics(font);
    const int lineY = rect.top() + metrics.height() / 2;
    const QRect border(rect.left(), lineY, rect.width(), rect.bottom() - lineY + 1);
    // An etched line: a groove of shadow and highlight.
    paintEdge(*painter_, border, kShadow, kHighlight);
    paintEdge(*painter_, border.adjusted(1, 1, -1, -1), kHighlight, kShadow);
    const QString caption = QString::fromStdString(frame.caption());
    if (!caption.isEmpty()) {
        const QRect captionRect(rect.left() + 6, rect.top(), metrics.horizontalAdvance(caption) + 4, metrics.height());
        painter_->fillRect(captionRect, qtColor(ui::colors::controlFace));
        painter_->setFont(font);
        painter_->setPen(qtColor(ui::colors::controlText));
        painter_->drawText(captionRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, caption);
    }
    paintChildren(frame, rect.topLeft(), rect & clip);
}

void FormRenderer::paintTextBox(const ui::TextBox& textBox, QRect rect)
{
    const QRect inner = rect.adjusted(2, 2, -2, -2);
    painter_->fillRect(inner, qtColor(textBox.backColor()));
    paintSunkenBorder(*painter_, rect);
    painter_->setClipRect(inner, Qt::IntersectClip);
    const QFont font = qtFont(textBox.font());
    const QString text = QString::fromStdString(textBox.text());
    const QRect textRect = inner.adjusted(2, 0, -1, 0);
    painter_->setFont(font);
    painter_->setPen(qtColor(textBox.foreColor()));
    painter_->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);
    if (textBox.form().focused() == &textBox) {
        const QFontMetrics metrics(font);
        const int caretX = textRect.left() + metrics.horizontalAdvance(text);
        const int caretTop = textRect.top() + std::max(0, (textRect.height() - metrics.height()) / 2);
        painter_->fillRect(QRect(caretX, caretTop, 1, std::min(metrics.height(), textRect.height())),
                           qtColor(textBox.foreColor()));
    }
}

} // namespace qthost
