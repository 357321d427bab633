#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "AppKit/ViewRenderer.hpp"
#include "Graphs/GraphTestSupport.hpp"
#include "ZododuvoZoz/Gradients.hpp"
#include "ZododuvoZoz/Graphs/HistoryView.hpp"

using namespace ZododuvoZoz;

namespace {
class CountingHistoryView : public HistoryView {
public:
    using HistoryView::HistoryView;
    void drawHistory() override {
        ++rebuilds;
        HistoryView::drawHistory();
    }
    int rebuilds = 0;
};

// The lower-left corners of the squares in a path of cells.
std::vector<CGPoint> cellsOf(const std::optional<CGPath>& path) {
    std::vector<CGPoint> corners;
    if (!path) return corners;
    for (const auto& e : path->elements()) {
        if (e.type == CGPathElementType::moveToPoint) corners.push_back(e.points[0]);
    }
    return corners;
}

// How many cells each column (by its left edge) has.
std::map<CGFloat, int> columnsOf(const std::optional<CGPath>& path) {
    std::map<CGFloat, int> columns;
    for (CGPoint corner : cellsOf(path)) ++columns[corner.x];
    return columns;
}

const CAShapeLayer& maskOf(const HistoryView& view) {
    return dynamic_cast<const CAShapeLayer&>(*view.gradientLayer()->mask());
}

std::shared_ptr<HistoryView> history(std::vector<CGFloat> data, CGRect frame = {0, 0, 100, 100}) {
    auto view = HistoryView::make(frame);
    view->setData(data);
    return view;
}
}  // namespace

using HistoryViewTest = StandaloneGraphTest;

TEST_F(HistoryViewTest, PreferredSizeIsTenCellsHighAndOneColumnPerSample) {
    auto view = history({});
    EXPECT_EQ(view->preferredHeight(), 48);
    EXPECT_EQ(view->preferredWidth(), 0);
    view->setData(std::vector<CGFloat>(20, 1));
    EXPECT_EQ(view->preferredWidth(), 100);
    view->setLength(4);
    view->setOffset(1);
    EXPECT_EQ(view->preferredHeight(), 49);
    EXPECT_EQ(view->preferredWidth(), 100);
}

TEST_F(HistoryViewTest, SamplesLightATenthOfMaxPerCellFromTheBottom) {
    auto view = history({9.99, 10, 55, 100, 130, -5, NAN});
    auto lit = columnsOf(maskOf(*view).path());
    EXPECT_EQ(lit, (std::map<CGFloat, int>{{5, 1}, {10, 5}, {15, 10}, {20, 13}}));
    // Cells stand 5 points apart, from the bottom; 130 reaches three cells above the column.
    std::vector<CGPoint> expected;
    for (int row = 0; row < 13; ++row) expected.push_back({20, 5.0 * row});
    std::vector<CGPoint> column;
    for (CGPoint corner : cellsOf(maskOf(*view).path())) {
        if (corner.x == 20) column.push_back(corner);
    }
    expectPoints(column, expected);
    EXPECT_EQ(maskOf(*view).path()->boundingBox(), (CGRect{5, 0, 18, 63}));
    EXPECT_EQ(maskOf(*view).fillColor(), CGColor::black());
    EXPECT_FALSE(maskOf(*view).strokeColor());
    EXPECT_EQ(maskOf(*view).frame(), view->bounds());

    // Every sample has its column of ten background cells.
    auto background = columnsOf(view->backgroundLayer()->path());
    EXPECT_EQ(background.size(), 7u);
    for (auto [x, cells] : background) EXPECT_EQ(cells, 10) << x;
    EXPECT_EQ(view->backgroundLayer()->fillColor(), NSColor::tertiaryLabelColor()->cgColor());
    EXPECT_FALSE(view->backgroundLayer()->strokeColor());
    EXPECT_EQ(view->backgroundLayer()->frame(), view->bounds());
}

TEST_F(HistoryViewTest, SamplesFarAboveMaxLightNoMoreThanTheViewCanShow) {
    // With max 0 a positive sample is infinitely high: it lights its column up to the view's top.
    auto view = history({50, 0}, {0, 0, 20, 48});
    view->setMax(0);
    EXPECT_EQ(columnsOf(maskOf(*view).path()), (std::map<CGFloat, int>{{0, 10}}));  // 0 / 0 lights nothing
    view->setFrameSize({20, 100});
    view->layout();
    EXPECT_EQ(columnsOf(maskOf(*view).path()), (std::map<CGFloat, int>{{0, 20}}));
    view->setMax(1e-300);
    EXPECT_EQ(columnsOf(maskOf(*view).path()), (std::map<CGFloat, int>{{0, 20}}));
}

TEST_F(HistoryViewTest, WithoutSamplesNothingShowsOnceLaidOut) {
    auto view = HistoryView::make({0, 0, 100, 48});
    EXPECT_EQ(view->layer()->sublayers(),
              (std::vector<std::shared_ptr<CALayer>>{view->backgroundLayer(), view->gradientLayer()}));
    EXPECT_FALSE(view->gradientLayer()->mask());  // the whole gradient until the first layout
    EXPECT_FALSE(view->backgroundLayer()->path());
    view->layout();
    EXPECT_TRUE(cellsOf(maskOf(*view).path()).empty());
    EXPECT_FALSE(view->backgroundLayer()->path());
}

TEST_F(HistoryViewTest, BackgroundIsRebuiltForANewCountGeometryOrAppearance) {
    auto view = history({10, 20});
    view->setBackColor(NSColor::blueColor());
    EXPECT_EQ(view->backgroundLayer()->fillColor(), NSColor::tertiaryLabelColor()->cgColor());  // waits
    view->setData({10, 30});
    EXPECT_EQ(view->backgroundLayer()->fillColor(), NSColor::tertiaryLabelColor()->cgColor());

    view->setLength(4);
    EXPECT_EQ(cellsOf(view->backgroundLayer()->path())[1], (CGPoint{0, 6}));
    EXPECT_EQ(cellsOf(maskOf(*view).path())[1], (CGPoint{6, 0}));
    EXPECT_EQ(view->backgroundLayer()->fillColor(), (CGColor{0, 0, 1, 1}));

    // A switch to dark resolves the background colour in the dark appearance.
    view->setBackColor(NSColor::tertiaryLabelColor());
    auto dark = NSAppearance::named(NSAppearanceNameDarkAqua);
    view->setAppearance(dark);
    CGColor darkTertiary;
    dark->performAsCurrentDrawingAppearance([&] { darkTertiary = NSColor::tertiaryLabelColor()->cgColor(); });
    EXPECT_EQ(view->backgroundLayer()->fillColor(), darkTertiary);
}

TEST_F(HistoryViewTest, LockedChangesCostOneRebuildAtUnlock) {
    auto view = std::make_shared<CountingHistoryView>(CGRect{0, 0, 100, 130});
    view->setData({50});
    ASSERT_EQ(view->rebuilds, 1);

    view->lock();
    view->setData({50, 100});
    view->setMax(50);
    view->setLength(4);
    view->update();
    view->layout();
    EXPECT_EQ(view->rebuilds, 1);
    EXPECT_EQ(cellsOf(maskOf(*view).path()).size(), 5u);  // still the first picture

    // Colours reach the gradient at once, locked or not.
    view->setColors({NSColor::blueColor(), NSColor::whiteColor()});
    EXPECT_EQ(view->gradientLayer()->colors(), (std::vector<CGColor>{CGColor{0, 0, 1, 1}, CGColor::white()}));

    view->unlock();
    EXPECT_EQ(view->rebuilds, 2);
    EXPECT_EQ(columnsOf(maskOf(*view).path()), (std::map<CGFloat, int>{{0, 10}, {6, 20}}));
    view->update();
    EXPECT_EQ(view->rebuilds, 3);
}

TEST_F(HistoryViewTest, GradientRunsFromTheFirstColourAtTheTop) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 800, 600}, 2.0));
    auto view = history({10});
    EXPECT_EQ(view->colors(), Gradients::pinkOrange().mColors);  // the preset's own colour objects
    auto gradient = view->gradientLayer();
    EXPECT_EQ(gradient->startPoint(), (CGPoint{0.5, 1.0}));
    EXPECT_EQ(gradient->endPoint(), (CGPoint{0.5, 0.0}));
    ASSERT_EQ(gradient->colors().size(), 3u);
    const int expected[3][3] = {{217, 87, 169}, {233, 69, 63}, {243, 143, 67}};
    for (std::size_t i = 0; i < 3; ++i) {
        expectColor(gradient->colors()[i], expected[i][0] / 255.0, expected[i][1] / 255.0, expected[i][2] / 255.0, 1);
    }
    EXPECT_EQ(gradient->frame(), view->bounds());
    EXPECT_EQ(gradient->contentsScale(), 2.0);
    EXPECT_EQ(maskOf(*view).contentsScale(), 2.0);
    EXPECT_EQ(view->backgroundLayer()->contentsScale(), 2.0);
}

TEST_F(HistoryViewTest, RenderedColumnsShowLitCellsOverTheBackground) {
    auto view = history({100, 0, 50}, {0, 0, 50, 48});
    auto image = ViewRenderer::image(*view);
    auto near = [](Pixel p, int r, int g, int b) {
        return std::abs(p[0] - r) < 12 && std::abs(p[1] - g) < 12 && std::abs(p[2] - b) < 12 && p[3] == 255;
    };
    EXPECT_TRUE(near(pixelAt(*image, 1, 46), 217, 87, 169)) << "top of the full column";
    EXPECT_TRUE(near(pixelAt(*image, 11, 1), 243, 143, 67)) << "bottom of the half column";
    EXPECT_EQ(pixelAt(*image, 6, 1), (Pixel{0, 0, 0, 66}));  // an unlit cell: tertiary label colour
    EXPECT_EQ(pixelAt(*image, 11, 31), (Pixel{0, 0, 0, 66}));
    EXPECT_EQ(pixelAt(*image, 4, 1)[3], 0);  // the gap between columns
    EXPECT_EQ(pixelAt(*image, 30, 20)[3], 0);  // right of the last column
}
