#pragma once
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "lookup/LookupResult.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace mrk2 {
class AddressLookup;
class ReverseLookup;
struct RegionPoints;
}  // namespace mrk2

namespace mrk2::ui {

class RegionMapCanvas;

// 「地域の確認」: what a region database covers, at a glance. Its block points
// on a map, one colour per municipality, a legend with their row counts, and
// an address box whose answer is marked on the map; a click on the map marks
// the nearest address (from the region's point index). The database is read on a
// thread of its own, so the window answers from the first moment; it is only
// read, never changed.
class RegionMapWindow : public QWidget {
    Q_OBJECT
  public:
    RegionMapWindow(const QString& regionName, const QString& dbPath, QWidget* parent = nullptr);
    ~RegionMapWindow() override;

    bool isLoaded() const { return loaded_; }
    // What 検索 does with the text of the address box.
    void lookUp();
    const LookupResult& lastResult() const { return lastResult_; }
    // What a click on the map does: the nearest address within kClickMetres
    // marked and told, or that there is none.
    void answerClick(double lon, double lat);
    // The distance of the last click's answer, none when it had none.
    std::optional<double> lastClickMetres() const { return lastClickMetres_; }
    static constexpr double kClickMetres = 1000;
    // What a click on the legend's row does: that municipality highlighted and
    // in view, or, when it already was, the whole region again.
    void highlightLegendRow(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  signals:
    // The points are drawn and the address box is ready (or the read failed).
    void loaded();

  private:
    struct Loaded;
    void buildControls();
    void startLoading();
    void showRegion(const std::shared_ptr<Loaded>& data);
    void fillLegend();
    void showResult(const LookupResult& r);

    QString regionName_;
    QString dbPath_;
    RegionMapCanvas* canvas_;
    QTreeWidget* legend_;
    QLineEdit* addressEdit_;
    QPushButton* lookupButton_;
    QPushButton* fitButton_;
    QLabel* resultLabel_;
    QLabel* statusLabel_;
    std::shared_ptr<const RegionPoints> points_;
    std::unique_ptr<AddressLookup> lookup_;
    std::unique_ptr<ReverseLookup> reverse_;
    QString noReverse_;  // why a click finds nothing, when there is no reverse lookup
    LookupResult lastResult_;
    std::optional<double> lastClickMetres_;
    bool loaded_ = false;
    std::atomic<bool> cancel_{false};
    std::thread loader_;
};

}  // namespace mrk2::ui
