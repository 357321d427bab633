// Writes pictures of gauges, bars and cards into a folder, so that a person can look at them, in
// light and dark: gauge-<value>.png for single ring gauges at several values, double gauges,
// full-circle and gradient rings (also halfway through their animation), a panel of progress bars,
// declarative bars from empty to past full, cards at rest and under the pointer, and a window with
// a transparent title bar.
#include <filesystem>
#include <iterator>
#include <string>

#include "AppKit/NSEvent.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "Foundation/Clock.hpp"
#include "SampleSupport.hpp"
#include "ZododuvoZoz/CardView.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/DoubleGauge.hpp"
#include "ZododuvoZoz/Gauge.hpp"
#include "ZododuvoZoz/GaugeView.hpp"
#include "ZododuvoZoz/GradientCircularGauge.hpp"
#include "ZododuvoZoz/GradientProgressView.hpp"
#include "ZododuvoZoz/ProgressView.hpp"
#include "ZododuvoZoz/StackedSegmentView.hpp"
#include "ZododuvoZoz/UIProgressView.hpp"
#include "ZododuvoZoz/Window.hpp"

using namespace ZododuvoZoz;
using Samples::writeView;

namespace {
bool write(NSWindow& window, const std::filesystem::path& file) {
    window.layoutIfNeeded();
    return Samples::writeImage(window.image(2.0), file);
}

/// Every progress bar, one under the other, halfway through or at the end of their animations.
std::shared_ptr<NSView> barPanel(VirtualClock& clock) {
    auto view = Samples::layerGround({0, 0, 320, 250});
    auto place = [&](const std::shared_ptr<NSView>& bar) { view->addSubview(bar); };

    auto plain = ProgressView::make({20, 220, 280, 10});
    plain->setValue(0.62);
    place(plain);
    auto square = ProgressView::make({20, 200, 280, 10});
    square->setRoundCorners(false);
    square->setColor(Colors::raspberry());
    square->setValue(0.35);
    place(square);
    auto system = HorizontalProgressView::make({20, 180, 280, 8});
    system->setValue(0.8);
    place(system);
    auto tinted = HorizontalProgressView::make({20, 162, 280, 8});
    tinted->setColor(NSColor::systemOrangeColor());
    tinted->setValue(0.45);
    place(tinted);
    auto stacked = StackedSegmentView::make({20, 130, 280, 18});
    stacked->setSegments({{0.35, Colors::teal()}, {0.2, Colors::peach()}, {0.15, Colors::plum()}});
    place(stacked);
    auto gradient = GradientProgressView::make({20, 106, 280, 12});
    gradient->layout();
    gradient->setValue(0.7);
    place(gradient);
    auto animated = AnimatedGradientProgressView::make({20, 82, 280, 12});
    animated->setColors({Colors::peach(), Colors::pink(), Colors::plum()});
    animated->layout();
    animated->setValue(0.9);
    place(animated);
    auto square2 = AnimatedGradientProgressView::make({20, 58, 280, 12});
    square2->setHasCorners(false);
    square2->setValue(0.5);
    place(square2);
    auto waiting = AnimatedGradientProgressView::make({20, 34, 280, 12});
    waiting->setIndeterminate(true);
    place(waiting);
    clock.advance(2.5);  // the fills at rest, the stripes a quarter along
    return view;
}

/// Declarative bars one under the other, from the top: progress 0, 0.01, 0.2, 0.5, 1 and 1.3.
class DeclarativeBars : public Samples::Backdrop {
public:
    using Samples::Backdrop::Backdrop;
    void draw(const CGRect& dirtyRect) override {
        Samples::Backdrop::draw(dirtyRect);
        auto current = NSGraphicsContext::current();
        if (!current) return;
        CGContext& context = *current->cgContext();
        const CGFloat progress[] = {0, 0.01, 0.2, 0.5, 1, 1.3};
        for (std::size_t i = 0; i < std::size(progress); ++i) {
            context.saveGState();
            context.translateBy(20, bounds().height() - 26 - 20 * CGFloat(i));
            UIProgressView{4, progress[i]}.draw(context, {280, 12});
            context.restoreGState();
        }
    }
};
}  // namespace

int main(int argc, char** argv) {
    auto folder = Samples::outputFolder(argc, argv);
    auto clock = Samples::useVirtualClock();
    bool ok = true;
    Samples::inEachAppearance([&](const std::string& name) {
        for (int percent : {0, 10, 25, 50, 75, 83, 90, 100}) {
            auto gauge = Gauge::make({0, 0, 100, 100});
            gauge->setWantsLayer(true);
            gauge->setValue(percent / 100.0);
            gauge->setColor(percent < 20 ? NSColor::systemRedColor() : Colors::teal());
            ok &= writeView(*gauge, folder / ("gauge-" + name + "-" + std::to_string(percent) + ".png"));
        }
        auto plain = Gauge::make({0, 0, 100, 100});
        plain->setWantsLayer(true);
        plain->setValue(0.6);  // no colour: teal arc, no track
        ok &= writeView(*plain, folder / ("gauge-" + name + "-nocolor.png"));

        auto twin = DoubleGauge::make({0, 0, 100, 100});
        twin->setWantsLayer(true);
        twin->setValue1(0.7);
        twin->setValue2(0.4);
        ok &= writeView(*twin, folder / ("double-gauge-" + name + ".png"));
        twin->setColorInner(Colors::blue());
        twin->setColorOuter(Colors::pink());
        ok &= writeView(*twin, folder / ("double-gauge-" + name + "-colors.png"));

        for (int percent : {25, 60, 100}) {
            auto full = GaugeView::make({0, 0, 100, 100});
            full->setValue(percent / 100.0);
            ok &= writeView(*full, folder / ("gauge-view-" + name + "-" + std::to_string(percent) + ".png"));
        }
        auto butt = GaugeView::make({0, 0, 100, 100});
        butt->setUseRoundCap(false);
        butt->setLineWidth(14);
        butt->setValue(0.4);
        ok &= writeView(*butt, folder / ("gauge-view-" + name + "-butt.png"));

        auto ring = GradientCircularGauge::make({0, 0, 100, 100});
        ring->awakeFromNib();
        ring->layout();
        ring->setValue(0.75);
        clock->advance(0.25);  // halfway through the animation
        ok &= writeView(*ring, folder / ("gradient-gauge-" + name + "-halfway.png"));
        clock->advance(1);
        ok &= writeView(*ring, folder / ("gradient-gauge-" + name + "-75.png"));
        ring->setLineWidth(8);
        ring->setColors({Colors::pink(), Colors::peach()});
        ring->setValue(0.3);
        clock->advance(1);
        ok &= writeView(*ring, folder / ("gradient-gauge-" + name + "-30.png"));

        ok &= writeView(*barPanel(*clock), folder / ("progress-bars-" + name + ".png"));
        ok &= writeView(*std::make_shared<DeclarativeBars>(CGRect{0, 0, 320, 136}),
                        folder / ("declarative-bars-" + name + ".png"));
        auto uprights = Samples::layerGround({0, 0, 90, 120});
        for (int i = 0; i < 4; ++i) {
            auto upright = VerticalProgressView::make({12.0 + 20 * i, 10, 8, 100});
            upright->setValue(0.2 + 0.25 * i);
            uprights->addSubview(upright);
        }
        ok &= writeView(*uprights, folder / ("vertical-bars-" + name + ".png"));

        auto window = Window::make({0, 0, 320, 200}, NSWindow::StyleMask::titled() | NSWindow::StyleMask::closable());
        window->setTitle("Cards");
        auto still = CardView::make({30, 40, 110, 80});
        auto hovered = CardView::make({180, 40, 110, 80});
        window->contentView()->addSubview(still);
        window->contentView()->addSubview(hovered);
        hovered->setEnlarges(true);
        hovered->setScalingFactor(0.1);  // more than the usual 2 %, so that the growth shows
        NSEvent over;
        over.type = NSEvent::EventType::mouseMoved;
        over.locationInWindow = {235, 80};
        window->layoutIfNeeded();
        window->sendEvent(over);
        ok &= write(*window, folder / ("card-window-" + name + ".png"));
        window->close();
    });
    return ok ? 0 : 1;
}
