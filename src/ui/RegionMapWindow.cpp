#include "ui/RegionMapWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "base/Error.h"
#include "data/RegionPoints.h"
#include "lookup/AddressLookup.h"
#include "lookup/ReverseLookup.h"
#include "ui/RegionMapCanvas.h"
#include "ui/UiText.h"

namespace mrk2::ui {

namespace {

QString grouped(long long n) {
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(n);
}

QIcon swatch(const QColor& colour) {
    QPixmap pixmap(12, 12);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

}  // namespace

// What the reading thread hands over.
struct RegionMapWindow::Loaded {
    std::shared_ptr<const RegionPoints> points;
    std::unique_ptr<AddressLookup> lookup;
    std::unique_ptr<ReverseLookup> reverse;
    QString noReverse;
    QString error;
};

RegionMapWindow::RegionMapWindow(const QString& regionName, const QString& dbPath, QWidget* parent)
    : QWidget(parent, Qt::Window), regionName_(regionName), dbPath_(dbPath) {
    setObjectName(QStringLiteral("frmRegionMap"));
    setWindowTitle(QStringLiteral("地域の確認 － %1").arg(regionName));
    buildControls();
    startLoading();
}

RegionMapWindow::~RegionMapWindow() {
    cancel_ = true;
    if (loader_.joinable())
        loader_.join();
}

void RegionMapWindow::buildControls() {
    addressEdit_ = new QLineEdit(this);
    addressEdit_->setObjectName(QStringLiteral("txtAddress"));
    addressEdit_->setPlaceholderText(QStringLiteral("例: 市区町村名と町名、番地"));
    addressEdit_->setEnabled(false);
    lookupButton_ = new QPushButton(QStringLiteral("検索"), this);
    lookupButton_->setObjectName(QStringLiteral("cmdLookup"));
    lookupButton_->setEnabled(false);
    fitButton_ = new QPushButton(QStringLiteral("全体表示"), this);
    fitButton_->setObjectName(QStringLiteral("cmdFit"));
    auto* closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    resultLabel_ = new QLabel(this);
    resultLabel_->setObjectName(QStringLiteral("lblResult"));
    resultLabel_->setWordWrap(true);
    resultLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLabel_ = new QLabel(QStringLiteral("読み込み中…"), this);
    statusLabel_->setObjectName(QStringLiteral("lblStatus"));
    canvas_ = new RegionMapCanvas(this);
    legend_ = new QTreeWidget(this);
    legend_->setObjectName(QStringLiteral("lstLegend"));
    legend_->setHeaderLabels({QStringLiteral("市区町村"), QStringLiteral("件数")});
    legend_->setRootIsDecorated(false);
    legend_->header()->setStretchLastSection(false);
    legend_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    legend_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("住所："), this));
    top->addWidget(addressEdit_, 1);
    top->addWidget(lookupButton_);
    top->addWidget(fitButton_);
    auto* split = new QSplitter(this);
    split->addWidget(canvas_);
    split->addWidget(legend_);
    split->setStretchFactor(0, 1);
    split->setSizes({720, 240});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(resultLabel_);
    layout->addWidget(split, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(statusLabel_, 1);
    bottom->addWidget(closeButton);
    layout->addLayout(bottom);
    setMinimumSize(560, 400);
    resize(980, 680);

    connect(lookupButton_, &QPushButton::clicked, this, &RegionMapWindow::lookUp);
    connect(addressEdit_, &QLineEdit::returnPressed, this, &RegionMapWindow::lookUp);
    connect(fitButton_, &QPushButton::clicked, canvas_, &RegionMapCanvas::fitAll);
    connect(canvas_, &RegionMapCanvas::clicked, this, &RegionMapWindow::answerClick);
    connect(legend_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        highlightLegendRow(legend_->indexOfTopLevelItem(item));
    });
}

void RegionMapWindow::startLoading() {
    // The thread touches nothing of the window but `cancel_` and the queued call,
    // and the destructor waits for it: the window may close at any moment.
    loader_ = std::thread([this, path = str(dbPath_)] {
        auto data = std::make_shared<Loaded>();
        try {
            data->points = std::make_shared<RegionPoints>(readRegionPoints(path, &cancel_));
            if (!cancel_)
                data->lookup = std::make_unique<AddressLookup>(path);
            // A region built before the point index still shows and looks up
            // addresses; only a click has nothing to ask.
            try {
                if (!cancel_)
                    data->reverse = std::make_unique<ReverseLookup>(path);
            } catch (const Error& e) {
                if (e.number() != FormatError::NotFound)
                    throw;
                data->noReverse = qs(e.description());
            }
        } catch (const std::exception& e) {
            data->error = qs(standardErrorText(asError(e), path));
        }
        if (!cancel_)
            QMetaObject::invokeMethod(
                this, [this, data] { showRegion(data); }, Qt::QueuedConnection);
    });
}

void RegionMapWindow::showRegion(const std::shared_ptr<Loaded>& data) {
    if (loader_.joinable())
        loader_.join();
    loaded_ = true;
    if (!data->error.isEmpty()) {
        statusLabel_->setText(QStringLiteral("読み込めませんでした。") + data->error);
        emit loaded();
        return;
    }
    points_ = data->points;
    lookup_ = std::move(data->lookup);
    reverse_ = std::move(data->reverse);
    noReverse_ = data->noReverse;
    canvas_->setPoints(points_);
    fillLegend();
    QString status = QStringLiteral("%1 点、%2 市区町村")
                         .arg(grouped(static_cast<long long>(points_->points.size())))
                         .arg(points_->municipalities.size());
    if (points_->unreadable > 0)
        status += QStringLiteral("、座標の読めない行 %1").arg(grouped(points_->unreadable));
    statusLabel_->setText(
        status + (reverse_ ? QStringLiteral("　（ドラッグで移動、ホイールで拡大・縮小、"
                                            "クリックで最寄りの住所）")
                           : QStringLiteral("　（ドラッグで移動、ホイールで拡大・縮小）")));
    // The hint is an address of this region, not of some other.
    if (!points_->exampleTown.empty())
        addressEdit_->setPlaceholderText(QStringLiteral("例: ") + qs(points_->exampleTown));
    addressEdit_->setEnabled(true);
    lookupButton_->setEnabled(true);
    addressEdit_->setFocus();
    emit loaded();
}

void RegionMapWindow::fillLegend() {
    legend_->clear();
    for (std::size_t i = 0; i < points_->municipalities.size(); ++i) {
        const auto& m = points_->municipalities[i];
        auto* item = new QTreeWidgetItem(legend_, {qs(m.name), grouped(m.rows)});
        item->setIcon(0, swatch(canvas_->colourOf(i)));
        item->setToolTip(0, qs(m.pref + m.name));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void RegionMapWindow::highlightLegendRow(int row) {
    if (row < 0)
        return;
    const auto municipality = static_cast<std::uint32_t>(row);
    // The highlighted row clicked again lets go: the whole region as it was.
    if (canvas_->highlight() == municipality) {
        canvas_->setHighlight(std::nullopt);
        legend_->clearSelection();
        canvas_->fitAll();
        return;
    }
    canvas_->setHighlight(municipality);
    // A region of one municipality was in view as a whole already, and its
    // fit with room around would even step back: the click brings the operator
    // closer instead, to the middle of the whole.
    if (points_ && points_->municipalities.size() == 1) {
        canvas_->fitAll();
        canvas_->zoomAt(QRectF(canvas_->rect()).center(), 2.0);
    }
}

void RegionMapWindow::keyPressEvent(QKeyEvent* event) {
    // Escape closes it, as it closes a dialog: the window only shows.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RegionMapWindow::lookUp() {
    if (!lookup_ || addressEdit_->text().trimmed().isEmpty())
        return;
    try {
        showResult(lookup_->find(str(addressEdit_->text())));
    } catch (const std::exception& e) {
        resultLabel_->setText(qs(standardErrorText(asError(e), str(dbPath_))));
    }
}

void RegionMapWindow::answerClick(double lon, double lat) {
    if (!loaded_ || !points_)
        return;
    lastClickMetres_.reset();
    if (!reverse_) {
        resultLabel_->setText(QStringLiteral("クリックした地点の住所は探せません。") + noReverse_);
        return;
    }
    std::vector<NearbyAddress> found;
    try {
        ReverseQuery query;
        query.lat = std::clamp(lat, -90.0, 90.0);
        query.lon = std::clamp(lon, -180.0, 180.0);
        query.maxMetres = kClickMetres;
        found = reverse_->nearest(query);
    } catch (const std::exception& e) {
        resultLabel_->setText(qs(standardErrorText(asError(e), str(dbPath_))));
        return;
    }
    if (found.empty()) {
        canvas_->clearMarker();
        resultLabel_->setText(
            QStringLiteral("クリックした地点（緯度 %1　経度 %2）から %3 m 以内に住所はありません。")
                .arg(lat, 0, 'f', 6)
                .arg(lon, 0, 'f', 6)
                .arg(grouped(static_cast<long long>(kClickMetres))));
        return;
    }
    lastClickMetres_ = found.front().metres;
    showResult(found.front().address);
    resultLabel_->setText(QStringLiteral("最寄り（%1 m）　").arg(found.front().metres, 0, 'f', 1) +
                          resultLabel_->text());
}

void RegionMapWindow::showResult(const LookupResult& r) {
    lastResult_ = r;
    if (r.level == MatchLevel::None) {
        canvas_->clearMarker();
        if (r.problem != InputProblem::None) {
            resultLabel_->setText(qs(inputProblemText(r.problem)));
            return;
        }
        QStringList names;
        for (const std::string& c : r.candidates)
            names << qs(c);
        QString text = r.ambiguous ? QStringLiteral("一つに絞れません。候補: ")
                                   : QStringLiteral("見つかりません。");
        if (!r.ambiguous && !names.isEmpty())
            text += QStringLiteral("近い町: ");
        resultLabel_->setText(text + names.join(QStringLiteral("、")));
        return;
    }
    const QString place =
        qs(r.pref + r.muni + r.town) +
        (r.point.block.empty() ? QString() : QStringLiteral(" ") + qs(r.point.block));
    resultLabel_->setText(QStringLiteral("%1: %2　緯度 %3　経度 %4　%5")
                              .arg(qs(matchLevelName(r.level)), place, qs(r.point.lat),
                                   qs(r.point.lon), qs(r.point.table)));
    bool okLat = false, okLon = false;
    const double lat = qs(r.point.lat).toDouble(&okLat);
    const double lon = qs(r.point.lon).toDouble(&okLon);
    if (okLat && okLon)
        canvas_->setMarker(
            lon, lat,
            qs(r.town.empty() ? r.muni : r.town) +
                (r.point.block.empty() ? QString() : QStringLiteral(" ") + qs(r.point.block)));
    else
        canvas_->clearMarker();
}

}  // namespace mrk2::ui
