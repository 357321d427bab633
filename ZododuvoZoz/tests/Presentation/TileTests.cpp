#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppKit/NSShadow.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "PresentationTestSupport.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "ZododuvoZoz/Presentation/GradientTileView.hpp"
#include "ZododuvoZoz/Presentation/SimpleTileView.hpp"
#include "ZododuvoZoz/Presentation/TileView.hpp"

using namespace ZododuvoZoz;

namespace presentation_tests {
namespace {

// The owner of tiles of both kinds, noting what it hears.
class TileOwner : public TileViewDelegate, public SimpleTileViewDelegate {
public:
    std::vector<std::string> log;
    void tileClicked(TileView&) override { log.push_back("clicked"); }
    void tileEntered(TileView&) override { log.push_back("entered"); }
    void tileExited(TileView&) override { log.push_back("exited"); }
    void tileClicked(SimpleTileView&) override { log.push_back("clicked"); }
    void tileEntered(SimpleTileView&) override { log.push_back("entered"); }
    void tileExited(SimpleTileView&) override { log.push_back("exited"); }
};

// A view that counts the presses that reach it.
class Backdrop : public NSView {
public:
    using NSView::NSView;
    int presses = 0;
    void mouseDown(const NSEvent&) override { ++presses; }
};

}  // namespace

using Tiles = PresentationTest;

TEST_F(Tiles, TileViewReportsThePointerOnlyWhileHoverIsEnabled) {
    auto tile = TileView::make({0, 0, 100, 60});
    EXPECT_TRUE(tile->trackingAreas().empty());  // made in code
    tile->awakeFromNib();
    ASSERT_EQ(tile->trackingAreas().size(), 1u);
    EXPECT_EQ(tile->trackingAreas()[0]->options().rawValue, 0x281u);

    auto owner = std::make_shared<TileOwner>();
    tile->setDelegate(std::static_pointer_cast<TileViewDelegate>(owner));
    tile->mouseEntered(entered());
    EXPECT_TRUE(tile->mouseOver());
    tile->setEnableHover(false);
    tile->resetHover();
    tile->mouseExited(exited());
    EXPECT_TRUE(tile->mouseOver());  // unchanged and unreported while disabled
    EXPECT_EQ(owner->log, (std::vector<std::string>{"entered"}));
    tile->setEnableHover(true);
    tile->resetHover();
    EXPECT_FALSE(tile->mouseOver());
    EXPECT_EQ(owner->log.size(), 1u);
}

TEST_F(Tiles, ClicksReachTheOwnerAndTheViewsBehindAsEachTileSays) {
    auto owner = std::make_shared<TileOwner>();
    auto backdrop = std::make_shared<Backdrop>(CGRect{0, 0, 300, 100});
    auto tile = TileView::make({0, 0, 100, 60});
    auto simple = SimpleTileView::make({100, 0, 100, 60});
    backdrop->addSubview(tile);
    backdrop->addSubview(simple);
    tile->setDelegate(std::static_pointer_cast<TileViewDelegate>(owner));
    simple->setDelegate(std::static_pointer_cast<SimpleTileViewDelegate>(owner));

    tile->mouseDown(click());
    simple->mouseDown(click());
    EXPECT_EQ(backdrop->presses, 2);
    EXPECT_EQ(owner->log.size(), 2u);

    // Without interaction the tile still tells its owner; the simple tile tells nobody.
    tile->setDisableInteraction(true);
    simple->setDisableInteraction(true);
    tile->mouseDown(click());
    simple->mouseDown(click());
    EXPECT_EQ(backdrop->presses, 2);
    EXPECT_EQ(owner->log.size(), 3u);

    tile->setSelectable(false);
    tile->mouseDown(click());
    EXPECT_EQ(owner->log.size(), 3u);
}

TEST_F(Tiles, SimpleTileSelectionBorderBeatsTheHoverBorder) {
    auto owner = std::make_shared<TileOwner>();
    auto tile = SimpleTileView::make({0, 0, 100, 60});
    tile->setDelegate(std::static_pointer_cast<SimpleTileViewDelegate>(owner));
    auto border = [&] { return std::pair{tile->layer()->borderWidth(), tile->layer()->borderColor()}; };

    tile->mouseEntered(entered());  // hover not allowed: reported, not shown
    EXPECT_EQ(border().first, 0);
    EXPECT_FALSE(tile->isMouseEntered());
    tile->mouseExited(exited());
    EXPECT_EQ(owner->log, (std::vector<std::string>{"entered", "exited"}));

    tile->setAllowHover(true);
    tile->mouseEntered(entered());
    EXPECT_EQ(border(), std::pair(CGFloat(2), std::optional(NSColor::systemBlueColor()->withAlphaComponent(0.75)->cgColor())));
    tile->setSelected(true);  // selection is off: still the hover border
    EXPECT_EQ(border().first, 2);
    tile->setEnableSelection(true);
    EXPECT_EQ(border(), std::pair(CGFloat(3), std::optional(NSColor::systemBlueColor()->cgColor())));
    tile->setSelectionWidth(5);
    tile->setSelectionColor(NSColor::redColor());
    tile->redraw();
    EXPECT_EQ(border(), std::pair(CGFloat(5), std::optional(CGColor{1, 0, 0, 1})));
    tile->mouseExited(exited());
    EXPECT_EQ(border().first, 5);  // still selected

    tile->reset();
    EXPECT_FALSE(tile->isSelected());
    EXPECT_EQ(border(), std::pair(CGFloat(0), std::optional<CGColor>()));
}

TEST_F(Tiles, SimpleTileShiftsLeftInsteadOfABorderInShiftMode) {
    auto tile = SimpleTileView::make({20, 10, 100, 60});
    tile->setAllowHover(true);
    tile->setHoverDisplayMode(HoverDisplayMode::shift);
    tile->mouseEntered(entered());
    auto layer = tile->layer();
    EXPECT_EQ(layer->borderWidth(), 0);
    EXPECT_FALSE(tile->isMouseEntered());
    EXPECT_EQ(layer->affineTransform(), CGAffineTransform::translation(-8, 0));
    EXPECT_EQ(layer->anchorPoint(), (CGPoint{0.5, 0.5}));
    EXPECT_EQ(layer->position(), (CGPoint{70, 40}));
    tile->mouseExited(exited());
    EXPECT_EQ(layer->affineTransform(), CGAffineTransform::translation(0, 0));

    EXPECT_EQ(hoverDisplayModeFrom(1), HoverDisplayMode::shift);
    EXPECT_EQ(hoverDisplayModeFrom(0), HoverDisplayMode::rectangle);
    EXPECT_FALSE(hoverDisplayModeFrom(2));
    EXPECT_EQ(rawValue(HoverDisplayMode::shift), 1);
}

TEST_F(Tiles, SimpleTileLooksFollowTheAppearanceAndOneTrackingArea) {
    useAppearance(NSAppearanceNameAqua);
    auto tile = SimpleTileView::make({0, 0, 100, 60});
    auto layer = tile->layer();
    EXPECT_EQ(layer->backgroundColor(), CGColor::gray(1, 0.35));
    EXPECT_TRUE(tile->shadow());
    EXPECT_FLOAT_EQ(layer->shadowOpacity(), 0.15f);

    useAppearance(NSAppearanceNameDarkAqua);
    tile->setFrameSize({120, 60});
    tile->layoutSubtreeIfNeeded();
    EXPECT_EQ(layer->backgroundColor(), rgb(60, 64, 75, 0.6));
    EXPECT_FALSE(tile->shadow());
    EXPECT_EQ(layer->shadowOpacity(), 0);
    ASSERT_EQ(tile->trackingAreas().size(), 1u);
    EXPECT_EQ(tile->trackingAreas()[0]->options().rawValue, 0x21u);
    EXPECT_EQ(tile->trackingAreas()[0]->rect(), (CGRect{0, 0, 120, 60}));
}

TEST_F(Tiles, GradientTileRebuildsOneMaskedGradient) {
    useAppearance(NSAppearanceNameAqua);
    auto tile = GradientTileView::make({0, 0, 100, 80});
    tile->setDrawShadow(true);
    tile->setBorderThickness(2);
    tile->layoutSubtreeIfNeeded();
    auto layer = tile->layer();
    ASSERT_EQ(layer->sublayers().size(), 1u);
    auto gradient = std::dynamic_pointer_cast<CAGradientLayer>(layer->sublayers()[0]);
    ASSERT_TRUE(gradient);
    EXPECT_EQ(gradient->colors(), (std::vector<CGColor>{rgb(145, 106, 223, 0.5), rgb(210, 103, 130, 0.5)}));
    ASSERT_TRUE(gradient->mask());
    EXPECT_EQ(gradient->mask()->frame(), (CGRect{0, 0, 100, 80}));
    EXPECT_EQ(layer->borderWidth(), 2);
    EXPECT_FLOAT_EQ(layer->shadowOpacity(), 0.15f);
    EXPECT_EQ(layer->shadowColor(), NSColor::darkGrayColor()->cgColor());

    useAppearance(NSAppearanceNameDarkAqua);
    tile->setColors({NSColor::redColor()});
    ASSERT_EQ(layer->sublayers().size(), 1u);
    EXPECT_FLOAT_EQ(layer->shadowOpacity(), 0.25f);
    EXPECT_EQ(layer->shadowColor(), CGColor::black());
    tile->setDrawShadow(false);
    EXPECT_EQ(layer->shadowOpacity(), 0);
    EXPECT_FALSE(tile->shadow());
    EXPECT_EQ(GradientTileView::make()->borderThickness(), 1);  // one device pixel without a screen
}

TEST_F(Tiles, RenderedTileShadesAndGradient) {
    useAppearance(NSAppearanceNameAqua);
    auto tile = TileView::make({0, 0, 100, 60});
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*tile, 1.0), 50, 30), opaque(247, 247, 248));
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*tile, 1.0), 0, 0)[3], 0);  // rounded corner
    tile->mouseEntered(entered());
    tile->setSelected(true);
    auto lit = ViewRenderer::image(*tile, 1.0);
    EXPECT_EQ(pixelAt(*lit, 50, 30), opaque(231, 231, 232));
    EXPECT_EQ(pixelAt(*lit, 1, 30), opaque(0, 104, 218));  // the ring in the link colour
    useAppearance(NSAppearanceNameDarkAqua);
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*tile, 1.0), 50, 30), opaque(68, 70, 73));
    tile->mouseExited(exited());
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*tile, 1.0), 50, 30), opaque(52, 54, 57));

    // From the first colour at the bottom left to the second at the top right, at alpha 0.5.
    auto gradient = ViewRenderer::image(*GradientTileView::make({0, 0, 100, 100}), 1.0);
    EXPECT_TRUE(near(pixelAt(*gradient, 6, 6), Pixel{72, 53, 111, 128}, 4)) << testing::PrintToString(pixelAt(*gradient, 6, 6));
    EXPECT_TRUE(near(pixelAt(*gradient, 93, 93), Pixel{105, 51, 65, 128}, 4)) << testing::PrintToString(pixelAt(*gradient, 93, 93));
    EXPECT_EQ(pixelAt(*gradient, 0, 99)[3], 0);
}

}  // namespace presentation_tests
