#pragma once
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "data/RegionPoints.h"

namespace mrk2::ui {

// The block points of a region by longitude and latitude, one colour per
// municipality, with a marker for a looked-up address. The points are drawn
// into an image that is redrawn only when the view changes (zoom, pan, size):
// a repaint for any other reason just copies it. Mouse wheel zooms around the
// pointer; dragging pans; a click without a drag tells where it was.
class RegionMapCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit RegionMapCanvas(QWidget* parent = nullptr);

    // Shows these points, the whole region in view, nothing highlighted.
    void setPoints(std::shared_ptr<const RegionPoints> points);
    // A municipality's colour (MapPalette.h), as the legend shows it.
    QColor colourOf(std::size_t municipality) const;
    // Draws one municipality in its colour over the others dimmed, and brings
    // it into view; none draws all alike again and leaves the view as it is.
    void setHighlight(std::optional<std::uint32_t> municipality);
    std::optional<std::uint32_t> highlight() const { return highlight_; }
    // Marks a place; the view moves to it when it is out of sight.
    void setMarker(double lon, double lat, const QString& label);
    void clearMarker();
    // The whole region in view.
    void fitAll();
    // Multiplies the scale around a point of the widget (a factor above 1 zooms in).
    void zoomAt(QPointF at, double factor);

    // Where a place falls on the widget in the current view, and back.
    QPointF toWidget(double lon, double lat) const;
    QPointF toMap(QPointF at) const;  // x longitude, y latitude
    std::optional<QPointF> markerPosition() const;
    // The drawn points as last rendered, and how often they were rendered.
    const QImage& image() const { return image_; }
    int renders() const { return renders_; }

    QSize sizeHint() const override { return {720, 560}; }

  signals:
    // A click that did not drag: the place under the pointer.
    void clicked(double lon, double lat);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    struct Marker {
        double lon, lat;
        QString label;
    };
    struct Bounds {
        double minLon, maxLon, minLat, maxLat;
    };
    // The points' extent, of one municipality or of all; none without points.
    std::optional<Bounds> boundsOf(std::optional<std::uint32_t> municipality) const;
    static Bounds withRoomAround(const Bounds& b);
    void fitTo(const Bounds& b);
    void render();
    double xScale() const;  // pixels per degree of longitude

    std::shared_ptr<const RegionPoints> points_;
    std::vector<QRgb> colours_;
    std::vector<QRgb> dimmed_;  // the colours as the others show behind a highlight
    std::optional<std::uint32_t> highlight_;
    double centreLon_ = 0, centreLat_ = 0;
    double pixelsPerDegree_ = 1;  // of latitude
    // The latitude whose scale the longitudes take: fixed per region, so that
    // panning north or south never stretches the map.
    double referenceLat_ = 0;
    QImage image_;
    bool stale_ = true;
    // The view is the whole region, as fitAll() made it, or the highlighted
    // municipality, as setHighlight() made it.
    bool fitted_ = false;
    bool fittedToHighlight_ = false;
    int renders_ = 0;
    std::optional<QPoint> dragFrom_;
    QPoint dragOffset_;
    std::optional<Marker> marker_;
};

}  // namespace mrk2::ui
