#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "AppKit/ViewRenderer.hpp"
#include "PresentationTestSupport.hpp"
#include "ZododuvoZoz/Presentation/ConfettiView.hpp"

using namespace ZododuvoZoz;

namespace presentation_tests {
namespace {

std::shared_ptr<NSImage> whitePiece(CGFloat width, CGFloat height) {
    auto image = NSImage::make({width, height});
    image->lockFocus();
    NSColor::whiteColor()->setFill();
    NSRectFill({0, 0, width, height});
    image->unlockFocus();
    return image;
}

const std::vector<CGColor>& confettiColors() {
    static const std::vector<CGColor> colors{rgb(0, 198, 218), rgb(253, 237, 0), rgb(187, 0, 92),
                                             rgb(223, 162, 0), rgb(192, 204, 41), rgb(152, 82, 148)};
    return colors;
}

}  // namespace

using Confetti = PresentationTest;

TEST_F(Confetti, StartBuildsOneCellPerColourAlongTheTopEdgeOnce) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 800, 600}, 2.0));
    auto view = ConfettiView::make({0, 0, 300, 200});
    view->setContent(whitePiece(10, 6));
    EXPECT_FALSE(view->isActive());
    view->start();
    auto emitter = view->emitterLayer();
    EXPECT_TRUE(view->isActive());
    EXPECT_EQ(view->layer(), emitter);
    EXPECT_TRUE(emitter->isGeometryFlipped());  // so y = 0 is the top edge
    EXPECT_EQ(emitter->emitterPosition(), (CGPoint{150, 0}));
    EXPECT_EQ(emitter->emitterShape(), CAEmitterLayerEmitterShape::line);
    EXPECT_EQ(emitter->emitterSize(), (CGSize{300, 1}));
    auto cells = emitter->emitterCells();
    ASSERT_EQ(cells.size(), 6u);
    for (std::size_t i = 0; i < cells.size(); ++i) EXPECT_EQ(cells[i]->color, confettiColors()[i]);
    const auto& cell = *cells[0];
    EXPECT_EQ(std::tuple(cell.birthRate, cell.lifetime, cell.velocity, cell.velocityRange), std::tuple(3.0f, 7.0f, 175.0, 40.0));
    EXPECT_DOUBLE_EQ(cell.emissionLongitude, M_PI);
    EXPECT_DOUBLE_EQ(cell.emissionRange, M_PI / 4);
    EXPECT_EQ(cell.scaleSpeed, -0.05);
    EXPECT_EQ(cell.contentsScale, 2);
    ASSERT_TRUE(cell.contents);
    EXPECT_EQ(cell.contents->width(), 10u);

    view->start();  // already running: the same cells
    EXPECT_EQ(emitter->emitterCells(), cells);
    view->setContent(whitePiece(4, 4));  // a new image while running: new cells with it
    EXPECT_TRUE(view->isActive());
    ASSERT_EQ(emitter->emitterCells().size(), 6u);
    EXPECT_NE(emitter->emitterCells()[0], cells[0]);
    EXPECT_EQ(emitter->emitterCells()[0]->contents->width(), 4u);

    view->setFrameSize({400, 200});
    view->layoutSubtreeIfNeeded();
    EXPECT_EQ(emitter->emitterSize(), (CGSize{400, 1}));
    EXPECT_EQ(emitter->emitterPosition(), (CGPoint{150, 0}));  // where start() put it
}

TEST_F(Confetti, StopOnlyRearmsStartAndTheConfettiRunsOn) {
    auto view = ConfettiView::make({0, 0, 300, 200});
    view->start();
    auto emitter = view->emitterLayer();
    advance(2);
    EXPECT_EQ(emitter->particles(now()).size(), 6u * 6u);
    view->stop();
    EXPECT_FALSE(view->isActive());
    EXPECT_EQ(view->layer(), emitter);
    advance(1);
    EXPECT_EQ(emitter->particles(now()).size(), 6u * 9u);  // still born
    advance(30);
    EXPECT_EQ(emitter->particles(now()).size(), 6u * 21u);  // three a second, each living 7 s
    auto cells = emitter->emitterCells();
    view->setContent(whitePiece(4, 4));  // not running: nothing is rebuilt
    EXPECT_EQ(emitter->emitterCells(), cells);
    view->start();
    EXPECT_TRUE(view->isActive());
    EXPECT_NE(emitter->emitterCells()[0], cells[0]);
}

TEST_F(Confetti, ItRainsDownwardsAndClicksPassThrough) {
    auto backdrop = NSView::make({0, 0, 300, 200});
    auto view = ConfettiView::make({0, 0, 300, 200});
    backdrop->addSubview(view);
    EXPECT_TRUE(view->isFlipped());
    EXPECT_EQ(view->hitTest({150, 100}), nullptr);
    EXPECT_EQ(backdrop->hitTest({150, 100}), backdrop);

    view->start();
    advance(1);
    for (const auto& particle : view->emitterLayer()->particles(now())) {
        // Within the cone of 45 degrees around straight down, at 135 to 215 points a second.
        double fallen = particle.position.y;
        EXPECT_GE(fallen, 135 * std::cos(M_PI / 8) * particle.age - 1e-9);
        EXPECT_LE(fallen, 215 * particle.age + 1e-9);
    }
}

TEST_F(Confetti, RenderedPiecesShowTheConfettiColours) {
    auto view = ConfettiView::make({0, 0, 300, 200});
    view->setContent(whitePiece(8, 8));
    view->start();
    advance(0.4);
    auto image = ViewRenderer::image(*view, 1.0);
    // Opaque pixels are in the confetti colours, except where a piece's soft edge lies over another.
    int pieces = 0, upper = 0, known = 0;
    std::set<std::size_t> seen;
    for (std::size_t y = 0; y < image->height(); ++y) {
        for (std::size_t x = 0; x < image->width(); ++x) {
            auto pixel = image->pixel(x, y);
            if (pixel[3] != 255) continue;
            ++pieces;
            if (y < 100) ++upper;  // rows from the top
            for (std::size_t c = 0; c < confettiColors().size(); ++c) {
                const CGColor& color = confettiColors()[c];
                if (near(pixel, opaque(int(std::lround(color.red * 255)), int(std::lround(color.green * 255)),
                                       int(std::lround(color.blue * 255))), 3)) {
                    ++known;
                    seen.insert(c);
                }
            }
        }
    }
    EXPECT_GT(pieces, 100);
    EXPECT_GT(known, pieces * 8 / 10);
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(upper, pieces);  // in 0.4 s none falls further than 215 * 0.4 = 86 points
}

}  // namespace presentation_tests
