#include "ui/RegionMapCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/MapPalette.h"

namespace mrk2::ui {

namespace {

constexpr QRgb kBackground = 0xfff6f5f0;
constexpr double kPi = 3.14159265358979323846;
// Degrees of latitude in view at the closest zoom: about ten metres.
constexpr double kMaxPixelsPerDegree = 1e7;

}  // namespace

// A highlighted municipality with its surroundings: where it lies matters as
// much as its shape.
RegionMapCanvas::Bounds RegionMapCanvas::withRoomAround(const Bounds& b) {
    const double lon = (b.maxLon - b.minLon) * 0.4, lat = (b.maxLat - b.minLat) * 0.4;
    return {b.minLon - lon, b.maxLon + lon, b.minLat - lat, b.maxLat + lat};
}

RegionMapCanvas::RegionMapCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("mapCanvas"));
    setMinimumSize(320, 240);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RegionMapCanvas::setPoints(std::shared_ptr<const RegionPoints> points) {
    points_ = std::move(points);
    colours_.clear();
    dimmed_.clear();
    highlight_.reset();
    if (points_) {
        const QColor back = QColor::fromRgb(kBackground);
        for (const QColor& c : municipalityColours(*points_)) {
            colours_.push_back(c.rgb());
            // A third of the colour over the background: still there, no longer loud.
            dimmed_.push_back(qRgb(back.red() + (c.red() - back.red()) / 3,
                                   back.green() + (c.green() - back.green()) / 3,
                                   back.blue() + (c.blue() - back.blue()) / 3));
        }
    }
    fitAll();
}

QColor RegionMapCanvas::colourOf(std::size_t municipality) const {
    return municipality < colours_.size() ? QColor::fromRgb(colours_[municipality]) : QColor();
}

void RegionMapCanvas::setHighlight(std::optional<std::uint32_t> municipality) {
    if (municipality && (!points_ || *municipality >= colours_.size()))
        municipality.reset();
    highlight_ = municipality;
    if (auto b = highlight_ ? boundsOf(highlight_) : std::nullopt) {
        fitTo(withRoomAround(*b));
        fittedToHighlight_ = true;
    }
    stale_ = true;
    update();
}

std::optional<RegionMapCanvas::Bounds> RegionMapCanvas::boundsOf(
    std::optional<std::uint32_t> municipality) const {
    std::optional<Bounds> b;
    if (!points_)
        return b;
    for (const auto& p : points_->points) {
        if (municipality && p.municipality != *municipality)
            continue;
        if (!b) {
            b = Bounds{p.lon, p.lon, p.lat, p.lat};
            continue;
        }
        b->minLon = std::min<double>(b->minLon, p.lon);
        b->maxLon = std::max<double>(b->maxLon, p.lon);
        b->minLat = std::min<double>(b->minLat, p.lat);
        b->maxLat = std::max<double>(b->maxLat, p.lat);
    }
    return b;
}

void RegionMapCanvas::fitAll() {
    const auto all = boundsOf(std::nullopt);
    if (!all) {
        stale_ = true;
        update();
        return;
    }
    // The longitudes keep the scale of the whole region's middle latitude, also
    // when one municipality is brought into view later.
    referenceLat_ = (all->minLat + all->maxLat) / 2.0;
    fitTo(*all);
    fittedToHighlight_ = false;
}

void RegionMapCanvas::fitTo(const Bounds& b) {
    centreLon_ = (b.minLon + b.maxLon) / 2.0;
    centreLat_ = (b.minLat + b.maxLat) / 2.0;
    const double cosLat = std::max(0.1, std::cos(referenceLat_ * kPi / 180));
    const double spanX = std::max(1e-4, (b.maxLon - b.minLon) * cosLat);
    const double spanY = std::max(1e-4, b.maxLat - b.minLat);
    pixelsPerDegree_ =
        std::clamp(0.9 * std::min(std::max(width(), 1) / spanX, std::max(height(), 1) / spanY), 1.0,
                   kMaxPixelsPerDegree);
    fitted_ = true;
    stale_ = true;
    update();
}

double RegionMapCanvas::xScale() const {
    return pixelsPerDegree_ * std::max(0.1, std::cos(referenceLat_ * kPi / 180));
}

QPointF RegionMapCanvas::toWidget(double lon, double lat) const {
    return {width() / 2.0 + (lon - centreLon_) * xScale(),
            height() / 2.0 - (lat - centreLat_) * pixelsPerDegree_};
}

QPointF RegionMapCanvas::toMap(QPointF at) const {
    return {centreLon_ + (at.x() - width() / 2.0) / xScale(),
            centreLat_ - (at.y() - height() / 2.0) / pixelsPerDegree_};
}

std::optional<QPointF> RegionMapCanvas::markerPosition() const {
    if (!marker_)
        return std::nullopt;
    return toWidget(marker_->lon, marker_->lat);
}

void RegionMapCanvas::setMarker(double lon, double lat, const QString& label) {
    marker_ = Marker{lon, lat, label};
    // A place already in view stays where it is: the operator keeps the picture
    // they were looking at. Otherwise the view moves to it.
    if (!rect().adjusted(20, 20, -20, -20).contains(toWidget(lon, lat).toPoint())) {
        fitted_ = false;
        centreLon_ = lon;
        centreLat_ = lat;
        stale_ = true;
    }
    update();
}

void RegionMapCanvas::clearMarker() {
    marker_.reset();
    update();
}

void RegionMapCanvas::zoomAt(QPointF at, double factor) {
    // The place under the pointer stays under it.
    const double lon = centreLon_ + (at.x() - width() / 2.0) / xScale();
    const double lat = centreLat_ - (at.y() - height() / 2.0) / pixelsPerDegree_;
    pixelsPerDegree_ = std::clamp(pixelsPerDegree_ * factor, 1.0, kMaxPixelsPerDegree);
    fitted_ = false;
    centreLon_ = lon - (at.x() - width() / 2.0) / xScale();
    centreLat_ = lat + (at.y() - height() / 2.0) / pixelsPerDegree_;
    stale_ = true;
    update();
}

// Every point as a 2x2 dot written straight into the image: a million points
// take tens of milliseconds, where a QPainter call per point would take seconds.
void RegionMapCanvas::render() {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (image_.size() != size)
        image_ = QImage(size, QImage::Format_RGB32);
    image_.fill(kBackground);
    ++renders_;
    stale_ = false;
    if (!points_)
        return;
    const int w = image_.width(), h = image_.height();
    const double sx = xScale(), sy = pixelsPerDegree_;
    const double x0 = w / 2.0 - centreLon_ * sx, y0 = h / 2.0 + centreLat_ * sy;
    auto* bits = reinterpret_cast<QRgb*>(image_.bits());
    const qsizetype stride = image_.bytesPerLine() / 4;
    // Behind a highlight the others go first, dimmed, so that none covers it.
    const std::vector<QRgb>& colours = highlight_ ? dimmed_ : colours_;
    for (int pass = highlight_ ? 2 : 1; pass > 0; --pass) {
        const bool front = highlight_ && pass == 1;
        for (const auto& p : points_->points) {
            if (front && p.municipality != *highlight_)
                continue;
            const double fx = x0 + p.lon * sx, fy = y0 - p.lat * sy;
            if (fx < 0 || fy < 0 || fx >= w - 1 || fy >= h - 1)
                continue;
            const int x = static_cast<int>(fx), y = static_cast<int>(fy);
            const QRgb c = front ? colours_[p.municipality] : colours[p.municipality];
            QRgb* row = bits + y * stride + x;
            row[0] = row[1] = c;
            row[stride] = row[stride + 1] = c;
        }
    }
}

void RegionMapCanvas::paintEvent(QPaintEvent*) {
    if (stale_ || image_.size() != size())
        render();
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kBackground));
    painter.drawImage(dragOffset_, image_);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!points_ || points_->points.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter,
                         points_ ? QStringLiteral("点がありません") : QString());
    }
    if (auto at = markerPosition()) {
        const QPointF c = *at + dragOffset_;
        painter.setPen(QPen(Qt::white, 5));
        painter.drawEllipse(c, 9, 9);
        painter.setPen(QPen(QColor(200, 0, 0), 2.5));
        painter.drawEllipse(c, 9, 9);
        painter.drawLine(c + QPointF(-15, 0), c + QPointF(-5, 0));
        painter.drawLine(c + QPointF(5, 0), c + QPointF(15, 0));
        painter.drawLine(c + QPointF(0, -15), c + QPointF(0, -5));
        painter.drawLine(c + QPointF(0, 5), c + QPointF(0, 15));
        // The label with a light halo, readable over any colour.
        QFont font = painter.font();
        font.setBold(true);
        QPainterPath text;
        text.addText(c + QPointF(16, -12), font, marker_->label);
        painter.strokePath(text, QPen(QColor(255, 255, 255, 230), 4));
        painter.fillPath(text, QColor(120, 0, 0));
    }
}

void RegionMapCanvas::resizeEvent(QResizeEvent*) {
    // Until the operator moves the view, it follows the window's size.
    if (fitted_) {
        if (auto b = fittedToHighlight_ && highlight_ ? boundsOf(highlight_) : std::nullopt)
            fitTo(withRoomAround(*b));
        else
            fitAll();
    }
    stale_ = true;
}

void RegionMapCanvas::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomAt(event->position(), std::pow(1.25, steps));
    event->accept();
}

void RegionMapCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    }
}

// While dragging, the drawn image only moves; the points are drawn again once,
// when the button is let go.
void RegionMapCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!dragFrom_)
        return;
    dragOffset_ = event->position().toPoint() - *dragFrom_;
    update();
}

void RegionMapCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragFrom_ || event->button() != Qt::LeftButton)
        return;
    const QPoint moved = event->position().toPoint() - *dragFrom_;
    // A hand that shook by a pixel or two clicked; it did not mean to pan.
    if (moved.manhattanLength() <= 3) {
        dragFrom_.reset();
        dragOffset_ = {};
        setCursor(Qt::OpenHandCursor);
        update();
        const QPointF place = toMap(event->position());
        emit clicked(place.x(), place.y());
        return;
    }
    centreLon_ -= moved.x() / xScale();
    centreLat_ += moved.y() / pixelsPerDegree_;
    fitted_ = false;
    dragFrom_.reset();
    dragOffset_ = {};
    setCursor(Qt::OpenHandCursor);
    stale_ = true;
    update();
}

}  // namespace mrk2::ui
