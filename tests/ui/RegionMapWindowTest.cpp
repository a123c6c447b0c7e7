// 「地域の確認」 driven offscreen: it opens, draws the points, and marks a hit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "UiFixture.h"
#include "data/Database.h"
#include "data/PointIndex.h"
#include "data/RegionPoints.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"
#include "ui/GuiPerson.h"
#include "ui/MainWindow.h"
#include "ui/MapPalette.h"
#include "ui/RegionMapCanvas.h"
#include "ui/RegionMapWindow.h"

using namespace mrk2;
using namespace mrk2::test;
using mrk2::ui::RegionMapCanvas;
using mrk2::ui::RegionMapWindow;

namespace {

void waitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Keeps the texts of the message boxes; answers No.
struct NotingPrompter : ui::Prompter {
    void message(QWidget*, const QString&, const QString& text, Icon) override { texts << text; }
    Answer ask(QWidget*, const QString&, const QString&, ui::QuestionButtons) override {
        return Answer::No;
    }
    QStringList texts;
};

struct RegionMapWindowTest : ::testing::Test {
    TempDir dir;
    RegionMapWindowTest() {
        RegionBuilder region(dir.file("東京.mdb"));
        std::vector<BlockRow> rows;
        for (int b = 1; b <= 30; ++b) {
            rows.push_back({"東京都", "千代田区", "丸の内一丁目", std::to_string(b),
                            "35.6" + std::to_string(b + 10), "139.70"});
            rows.push_back({"東京都", "中央区", "銀座一丁目", std::to_string(b),
                            "35.6" + std::to_string(b + 10), "139.75"});
        }
        rows.push_back({"東京都", "中央区", "銀座一丁目", "99", "不明", "139.75"});
        region.addSource("13101.csv", "2024-01-01 00:00:00", rows);
    }
    QPushButton* button(QWidget* w, const char* name) { return child<QPushButton>(w, name); }
};

TEST_F(RegionMapWindowTest, OpensDrawsAndMarksTheLookedUpAddress) {
    RegionMapWindow window(QStringLiteral("東京"), QString::fromStdString(dir.file("東京.mdb")));
    window.show();
    waitFor([&] { return window.isLoaded(); });
    ASSERT_TRUE(window.isLoaded());
    auto* legend = child<QTreeWidget>(&window, "lstLegend");
    ASSERT_EQ(legend->topLevelItemCount(), 2);
    EXPECT_EQ(legend->topLevelItem(0)->text(0), "千代田区");
    EXPECT_EQ(legend->topLevelItem(0)->text(1), "30");
    EXPECT_EQ(legend->topLevelItem(1)->text(1), "30");  // the unreadable row is not drawn
    EXPECT_TRUE(child<QLabel>(&window, "lblStatus")->text().contains("座標の読めない行 1"));

    auto* canvas = child<RegionMapCanvas>(&window, "mapCanvas");
    waitFor([&] { return canvas->renders() > 0; });
    int coloured = 0;
    const QImage& image = canvas->image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            coloured += image.pixel(x, y) == canvas->colourOf(1).rgb();
    EXPECT_GE(coloured, 30) << "every point of 中央区 drawn in its colour";

    child<QLineEdit>(&window, "txtAddress")->setText("中央区銀座１丁目７番");
    button(&window, "cmdLookup")->click();
    EXPECT_EQ(window.lastResult().level, MatchLevel::Block);
    EXPECT_TRUE(child<QLabel>(&window, "lblResult")->text().startsWith("街区: "));
    auto marker = canvas->markerPosition();
    ASSERT_TRUE(marker);
    waitFor([&] { return canvas->image().size() == canvas->size(); });
    canvas->repaint();
    // The marker sits on the drawn point of the block it found.
    EXPECT_EQ(canvas->image().pixel(marker->toPoint()), canvas->colourOf(1).rgb());

    child<QLineEdit>(&window, "txtAddress")->setText("丸の外");
    button(&window, "cmdLookup")->click();
    EXPECT_FALSE(canvas->markerPosition());
    EXPECT_TRUE(child<QLabel>(&window, "lblResult")->text().contains("丸の内一丁目"));
}

TEST_F(RegionMapWindowTest, AClickMarksTheNearestAddressOrSaysWhyNot) {
    auto click = [](RegionMapCanvas* canvas, QPointF at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, canvas->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(canvas, &e);
        }
    };
    {
        // Built before the point index: the map works, a click says why it finds nothing.
        RegionMapWindow window(QStringLiteral("東京"),
                               QString::fromStdString(dir.file("東京.mdb")));
        window.show();
        waitFor([&] { return window.isLoaded(); });
        auto* canvas = child<RegionMapCanvas>(&window, "mapCanvas");
        click(canvas, canvas->toWidget(139.75, 35.617));
        EXPECT_TRUE(child<QLabel>(&window, "lblResult")->text().contains("索引がありません"));
        EXPECT_FALSE(canvas->markerPosition());
    }
    {
        Database db = Database::open(dir.file("東京.mdb"));
        buildPointIndex(db);
    }
    RegionMapWindow window(QStringLiteral("東京"), QString::fromStdString(dir.file("東京.mdb")));
    window.show();
    waitFor([&] { return window.isLoaded(); });
    auto* canvas = child<RegionMapCanvas>(&window, "mapCanvas");
    click(canvas, canvas->toWidget(139.75, 35.617) + QPointF(1, 1));
    ASSERT_TRUE(window.lastClickMetres());
    EXPECT_LT(*window.lastClickMetres(), 500);
    EXPECT_EQ(window.lastResult().town, "銀座一丁目");
    EXPECT_EQ(window.lastResult().point.block, "7");
    EXPECT_TRUE(child<QLabel>(&window, "lblResult")->text().startsWith("最寄り（"));
    ASSERT_TRUE(canvas->markerPosition());
    EXPECT_LT(QLineF(*canvas->markerPosition(), canvas->toWidget(139.75, 35.617)).length(), 1);

    // Half-way between the two wards, 2 km from either: nothing within reach.
    click(canvas, canvas->toWidget(139.725, 35.617));
    EXPECT_FALSE(window.lastClickMetres());
    EXPECT_FALSE(canvas->markerPosition());
    EXPECT_TRUE(child<QLabel>(&window, "lblResult")->text().contains("以内に住所はありません"));
}

TEST_F(RegionMapWindowTest, DraggingMovesTheImageAndRedrawsOnlyWhenLetGo) {
    RegionMapWindow window(QStringLiteral("東京"), QString::fromStdString(dir.file("東京.mdb")));
    window.show();
    waitFor([&] { return window.isLoaded(); });
    auto* canvas = child<RegionMapCanvas>(&window, "mapCanvas");
    canvas->repaint();
    const int before = canvas->renders();
    const QPointF place = canvas->toWidget(139.70, 35.62);

    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, canvas->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &e);
        canvas->repaint();
    };
    send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    send(QEvent::MouseMove, {130, 90}, Qt::LeftButton);
    send(QEvent::MouseMove, {160, 80}, Qt::LeftButton);
    EXPECT_EQ(canvas->renders(), before);
    send(QEvent::MouseButtonRelease, {160, 80}, Qt::NoButton);
    EXPECT_EQ(canvas->renders(), before + 1);
    EXPECT_EQ(canvas->toWidget(139.70, 35.62), place + QPointF(60, -20));

    canvas->zoomAt(canvas->toWidget(139.70, 35.62), 2.0);  // the place under the pointer stays
    EXPECT_NEAR(canvas->toWidget(139.70, 35.62).x(), place.x() + 60, 1e-6);
}

TEST_F(RegionMapWindowTest, ALegendRowHighlightsItsMunicipalityAndBringsItIntoView) {
    RegionMapWindow window(QStringLiteral("東京"), QString::fromStdString(dir.file("東京.mdb")));
    window.show();
    waitFor([&] { return window.isLoaded(); });
    auto* canvas = child<RegionMapCanvas>(&window, "mapCanvas");
    auto* legend = child<QTreeWidget>(&window, "lstLegend");
    auto clickRow = [&](int row) {
        QTreeWidgetItem* item = legend->topLevelItem(row);
        const QRect r = legend->visualItemRect(item);
        QMouseEvent press(QEvent::MouseButtonPress, r.center(),
                          legend->viewport()->mapToGlobal(r.center()), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, r.center(),
                            legend->viewport()->mapToGlobal(r.center()), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(legend->viewport(), &press);
        QCoreApplication::sendEvent(legend->viewport(), &release);
        canvas->repaint();
    };
    auto shown = [&](double lon, double lat) {
        return canvas->rect().contains(canvas->toWidget(lon, lat).toPoint());
    };
    EXPECT_NE(canvas->colourOf(0), canvas->colourOf(1));
    ASSERT_TRUE(shown(139.70, 35.62) && shown(139.75, 35.62));

    clickRow(1);  // 中央区: in view, in its colour; 千代田区 out of view
    EXPECT_EQ(canvas->highlight(), 1u);
    EXPECT_TRUE(shown(139.75, 35.625));
    EXPECT_FALSE(shown(139.70, 35.625));
    const QPoint chuo = canvas->toWidget(139.75, 35.625).toPoint();
    EXPECT_EQ(canvas->image().pixel(chuo), canvas->colourOf(1).rgb());

    clickRow(0);  // another row moves the highlight; the other is dimmed behind it
    EXPECT_EQ(canvas->highlight(), 0u);
    canvas->zoomAt(canvas->rect().center(), 0.01);
    canvas->repaint();
    const QImage& image = canvas->image();
    const QPoint chiyoda = canvas->toWidget(139.70, 35.625).toPoint();
    const QPoint dimmed = canvas->toWidget(139.75, 35.625).toPoint();
    EXPECT_EQ(image.pixel(chiyoda), canvas->colourOf(0).rgb());
    EXPECT_NE(image.pixel(dimmed), canvas->colourOf(1).rgb());
    EXPECT_NE(image.pixel(dimmed), image.pixel(QPoint(1, 1))) << "dimmed, not gone";

    clickRow(0);  // clicked again: no highlight, the whole region
    EXPECT_FALSE(canvas->highlight());
    EXPECT_TRUE(shown(139.70, 35.62) && shown(139.75, 35.62));
}

// A region of one municipality: its legend row still zooms in; the address
// hint is one of its towns; Escape and 閉じる close the window.
TEST_F(RegionMapWindowTest, OneMunicipalityZoomsInAndEscapeOrCloseCloses) {
    RegionBuilder region(dir.file("千代田.mdb"));
    std::vector<BlockRow> rows;
    for (int b = 1; b <= 9; ++b)
        rows.push_back({"東京都", "千代田区", "丸の内一丁目", std::to_string(b),
                        "35.6" + std::to_string(b), "139.7" + std::to_string(b)});
    region.addSource("13101.csv", "2024-01-01 00:00:00", rows);
    for (const char* closer : {"Escape", "cmdClose"}) {
        RegionMapWindow window(QStringLiteral("千代田"),
                               QString::fromStdString(dir.file("千代田.mdb")));
        window.show();
        waitFor([&] { return window.isLoaded(); });
        auto* address = child<QLineEdit>(&window, "txtAddress");
        EXPECT_EQ(address->placeholderText(), "例: 千代田区丸の内一丁目");
        auto* canvas = child<RegionMapCanvas>(&window, "mapCanvas");
        const double before =
            canvas->toWidget(139.79, 35.69).x() - canvas->toWidget(139.71, 35.61).x();
        window.highlightLegendRow(0);
        const double after =
            canvas->toWidget(139.79, 35.69).x() - canvas->toWidget(139.71, 35.61).x();
        EXPECT_GT(after, before * 1.5) << "zoomed in";
        if (closer == std::string("Escape")) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(address, &escape);
        } else {
            button(&window, "cmdClose")->click();
        }
        EXPECT_FALSE(window.isVisible()) << closer;
    }
}

// Thirty municipalities in a 6 x 5 grid of squares with gaps between them, as
// the blocks of neighbouring municipalities seldom touch: no two side by side
// (even corner to corner) wear the same or alike colours.
TEST(MapPaletteTest, MunicipalitiesSideBySideNeverShareAColour) {
    RegionPoints points;
    constexpr int kColumns = 6, kRows = 5;
    for (int m = 0; m < kColumns * kRows; ++m) {
        points.municipalities.push_back({"東京都", "市" + std::to_string(m), 100});
        for (int i = 0; i < 100; ++i)
            points.points.push_back({float(139.0 + 0.1 * (m % kColumns) + 0.001 * (i % 10)),
                                     float(35.0 + 0.1 * (m / kColumns) + 0.001 * (i / 10)),
                                     std::uint32_t(m)});
    }
    const std::vector<QColor> colours = ui::municipalityColours(points);
    ASSERT_EQ(colours.size(), points.municipalities.size());
    for (int m = 0; m < kColumns * kRows; ++m) {
        for (int n = m + 1; n < kColumns * kRows; ++n) {
            const int dx = std::abs(m % kColumns - n % kColumns),
                      dy = std::abs(m / kColumns - n / kColumns);
            if (dx <= 1 && dy <= 1) {
                const QColor a = colours[m], b = colours[n];
                EXPECT_GE(std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue()),
                          70)
                    << m << " beside " << n << " look alike";
            }
        }
    }
}

TEST_F(RegionMapWindowTest, TheMainWindowOpensItForTheSelectedRegion) {
    ui::Session session;
    session.dbDir = dir.path();
    NotingPrompter prompter;
    ui::GuiPerson person(session, prompter);
    ui::MainWindow main(session, person);
    child<QComboBox>(&main, "cmbPrefDB")->setEditText("大阪");
    button(&main, "cmdRegionMap")->click();
    EXPECT_EQ(prompter.texts, QStringList{"地域別DBが見つかりません。"});
    EXPECT_EQ(main.findChild<RegionMapWindow*>(), nullptr);

    child<QComboBox>(&main, "cmbPrefDB")->setEditText("東京");
    button(&main, "cmdRegionMap")->click();
    auto* map = main.findChild<RegionMapWindow*>();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isVisible());
    waitFor([&] { return map->isLoaded(); });
}

}  // namespace
