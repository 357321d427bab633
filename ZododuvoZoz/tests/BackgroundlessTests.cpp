#include <gtest/gtest.h>

#include "AppKit/NSEvent.hpp"
#include "AppKit/NSTableCellView.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/BackgroundlessViews.hpp"
#include "ZododuvoZoz/CenteredTextLayer.hpp"
#include "ZododuvoZoz/Gauge.hpp"
#include "ZododuvoZoz/GradientView.hpp"
#include "ZododuvoZoz/TextCells.hpp"

using namespace ZododuvoZoz;

namespace {
// The rows of a render (y up) that hold any pixel covered more than the threshold: lowest and highest.
std::pair<int, int> inkRows(const CGImage& image, int threshold = 60) {
    int low = -1, high = -1;
    for (std::size_t row = 0; row < image.height(); ++row) {
        for (std::size_t x = 0; x < image.width(); ++x) {
            if (image.pixel(x, row)[3] > threshold) {
                int y = int(image.height() - 1 - row);
                if (high < 0) high = y;
                low = y;
                break;
            }
        }
    }
    return {low, high};
}

int firstInkColumn(const CGImage& image) {
    for (std::size_t x = 0; x < image.width(); ++x) {
        for (std::size_t y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y)[3] > 60) return int(x);
        }
    }
    return -1;
}
}  // namespace

using Backgroundless = GaugeTest;

TEST_F(Backgroundless, ListsOutsideAScrollViewOnlyClearTheirOwnBackground) {
    auto table = NoBackgroundTableView::make({0, 0, 100, 100});
    EXPECT_EQ(table->backgroundColor(), NSColor::clearColor());
    auto outline = NoBackgroundOutlineView::make();
    EXPECT_EQ(outline->backgroundColor(), NSColor::clearColor());
    auto collection = NoBackgroundCollectionView::make();
    ASSERT_EQ(collection->backgroundColors().size(), 1u);
    EXPECT_EQ(collection->backgroundColors().front(), NSColor::clearColor());
    collection->setBackgroundView(NSView::make());
    EXPECT_FALSE(collection->backgroundView());  // ignored
    EXPECT_TRUE(collection->subviews().empty());
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*table), 50, 50), (Bytes{0, 0, 0, 0}));

    // A plain table draws the control background.
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*NSTableView::make({0, 0, 10, 10})), 5, 5), (Bytes{255, 255, 255, 255}));
}

TEST_F(Backgroundless, InAScrollViewTheSetupClearsItAndRoundsTheHeaderBand) {
    auto scroll = NSScrollView::make({0, 0, 200, 150});
    auto table = NoBackgroundTableView::make();
    scroll->setDocumentView(table);
    table->setup();  // without a header: the header step is skipped
    EXPECT_FALSE(scroll->drawsBackground());
    EXPECT_FALSE(scroll->contentView()->drawsBackground());
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*scroll), 100, 75)[3], 0);

    table->setHeaderView(NSTableHeaderView::make());
    table->setup();
    auto band = table->headerView()->superview();
    ASSERT_TRUE(band);
    ASSERT_TRUE(band->layer());
    EXPECT_EQ(band->layer()->cornerRadius(), 8);
    EXPECT_EQ(band->layer()->backgroundColor(), CGColor::clear());

    auto other = NSScrollView::make({0, 0, 100, 100});
    auto outline = NoBackgroundOutlineView::make();
    other->setDocumentView(outline);
    outline->setup();
    EXPECT_FALSE(other->drawsBackground());
    auto third = NSScrollView::make({0, 0, 100, 100});
    auto collection = NoBackgroundCollectionView::make();
    third->setDocumentView(collection);
    collection->setup();
    EXPECT_FALSE(third->contentView()->drawsBackground());
}

TEST_F(Backgroundless, ScrollViewsWithoutBackgroundOrWheel) {
    auto clear = NoBackgroundScrollView::make({0, 0, 50, 50});
    EXPECT_FALSE(clear->drawsBackground());
    EXPECT_FALSE(clear->contentView()->drawsBackground());
    EXPECT_EQ(clear->contentView()->superview(), clear);

    auto tall = NSView::make({0, 0, 100, 400});
    auto still = DisabledScrollView::make({0, 0, 100, 100});
    still->setDocumentView(tall);
    CGRect before = still->documentVisibleRect();
    NSEvent wheel;
    wheel.type = NSEvent::EventType::scrollWheel;
    wheel.hasPreciseScrollingDeltas = true;  // in points
    wheel.scrollingDeltaY = 40;
    still->scrollWheel(wheel);
    EXPECT_EQ(still->documentVisibleRect(), before);
    // The same wheel moves an ordinary scroll view.
    auto moving = NSScrollView::make({0, 0, 100, 100});
    moving->setDocumentView(NSView::make({0, 0, 100, 400}));
    wheel.scrollingDeltaY = -40;
    moving->scrollWheel(wheel);
    EXPECT_EQ(moving->documentVisibleRect().minY(), 260);  // unflipped: from the top, down by 40

    EXPECT_TRUE(NonInteractiveTableView::make()->mouseDownCanMoveWindow());
    EXPECT_FALSE(NSTableView::make()->mouseDownCanMoveWindow());
}

TEST_F(Backgroundless, CentredTextLayerMovesRightAndCentres) {
    auto plain = CATextLayer::make();
    auto centred = CenteredTextLayer::make();
    EXPECT_EQ(centred->offsetX(), 12.0);
    for (CATextLayer* layer : {plain.get(), static_cast<CATextLayer*>(centred.get())}) {
        layer->setFrame({0, 0, 200, 60});
        layer->setString("Level");
        layer->setFontSize(20);
        layer->setForegroundColor(CGColor::black());
    }
    auto top = ViewRenderer::image(*plain, 1.0);
    auto middle = ViewRenderer::image(*centred, 1.0);
    EXPECT_EQ(firstInkColumn(*middle) - firstInkColumn(*top), 12);
    // Moved down by (60 - 20) / 2 - 2 = 18 points.
    auto [topLow, topHigh] = inkRows(*top);
    auto [midLow, midHigh] = inkRows(*middle);
    EXPECT_EQ(topHigh - midHigh, 18);
    EXPECT_EQ(topLow - midLow, 18);
}

TEST_F(Backgroundless, OneLineCellsDrawALineAlongTheBottom) {
    NSTextFieldCell base("Name");
    SingleLineTextFieldCell single("Name");
    EXPECT_EQ(single.cellSize(), (CGSize{base.cellSize().width, base.cellSize().height + 1}));
    NSSecureTextFieldCell secureBase("pass");
    SingleLineSecureTextFieldCell secure("pass");
    EXPECT_EQ(secure.cellSize().height, secureBase.cellSize().height + 1);

    auto field = NSTextField::make({0, 0, 120, 23});
    field->setCell(std::make_shared<SingleLineTextFieldCell>("Name"));
    auto image = ViewRenderer::image(*field);
    Bytes line = pixelAt(*image, 60, 0);  // the bottom row: tertiary label colour
    EXPECT_NEAR(line[3], 66, 2);
    EXPECT_EQ(pixelAt(*image, 60, 1)[3], 0);
    auto [low, high] = inkRows(*image, 100);  // the text, darker than the line
    EXPECT_GE(low, 2);                         // stays in the top 21 points
    EXPECT_LE(high, 22);

    field->setCell(std::make_shared<SingleLineSecureTextFieldCell>("pass"));
    EXPECT_NEAR(pixelAt(*ViewRenderer::image(*field), 60, 0)[3], 66, 2);
}

TEST_F(Backgroundless, SearchCellsWithoutBezelAndCentredTextCells) {
    auto field = NSTextField::make({0, 0, 120, 22});
    field->setCell(std::make_shared<NSSearchFieldCell>("find"));
    EXPECT_GT(pixelAt(*ViewRenderer::image(*field), 60, 0)[3], 0);  // the bezel's edge
    auto bare = std::make_shared<SearchTextFieldCell>("find");
    EXPECT_EQ(bare->cellSize(), NSSearchFieldCell("find").cellSize());
    field->setCell(bare);
    auto image = ViewRenderer::image(*field);
    EXPECT_EQ(pixelAt(*image, 60, 0)[3], 0);
    EXPECT_GT(firstInkColumn(*image), 4);  // the glass still shows, after its margin

    CenteredTextCell cell("Centred");
    CGFloat textHeight = cell.attributedStringValue().size().height;
    CGRect base = NSTextFieldCell("Centred").titleRect({0, 10, 100, 40});
    CGRect rect = cell.titleRect({0, 10, 100, 40});
    EXPECT_EQ(rect.minX(), base.minX());
    EXPECT_EQ(rect.width(), base.width());
    EXPECT_EQ(rect.height(), base.height());
    EXPECT_DOUBLE_EQ(rect.minY(), 10 + (40 - textHeight) / 2);
    EXPECT_LT(cell.titleRect({0, 0, 100, 5}).minY(), 0);  // taller text overflows above and below
}

TEST_F(Backgroundless, RowsOfGaugesSitOnTheGradientBehindTheList) {
    // A gradient panel under a clear scroll view and table whose cells hold a gauge: the gauge
    // draws once its cell is woken, and the panel shows between the rings.
    struct Source : NSTableViewDataSource, NSTableViewDelegate {
        int numberOfRows(NSTableView&) override { return 2; }
        std::shared_ptr<NSView> viewFor(NSTableView& table, const std::shared_ptr<NSTableColumn>&, int) override {
            auto cell = table.makeView("single");
            if (auto gauge = std::dynamic_pointer_cast<Gauge>(cell->subviews().front())) gauge->setValue(1);
            return cell;
        }
    };
    auto source = std::make_shared<Source>();
    auto panel = GradientView::make({0, 0, 200, 200});
    panel->setCornerRadius(0);
    panel->setColors({NSColor::make(0, 0, 1), NSColor::make(0, 0, 1)});
    auto scroll = NoBackgroundScrollView::make({0, 8, 200, 192});
    panel->addSubview(scroll);
    auto table = NoBackgroundTableView::make();
    table->setRowHeight(96);
    table->setIntercellSpacing({0, 0});
    table->registerCellFactory("single", [] {
        auto cell = NSTableCellView::make({0, 0, 200, 96});
        auto gauge = Gauge::make({0, 0, 96, 96});
        gauge->setColor(NSColor::make(1, 0, 0));
        cell->addSubview(gauge);
        return cell;
    });
    table->setDataSource(source);
    table->setDelegate(source);
    scroll->setDocumentView(table);
    table->reloadData();

    auto image = ViewRenderer::image(*panel);
    // The lower row's ring at 180 degrees: centre (48, 8 + 48), radius 96 / 2 - 12 = 36.
    EXPECT_EQ(pixelAt(*image, 48 - 36, 56), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 48 - 36, 152), (Bytes{255, 0, 0, 255}));  // the upper row's
    EXPECT_EQ(pixelAt(*image, 150, 100), (Bytes{0, 0, 255, 255}));      // the panel between
}
