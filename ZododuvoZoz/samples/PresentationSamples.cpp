// Writes pictures of the presentation views into a folder, so that a person can look at them:
// labels (a gradient text among them) and tiles in light and dark, the tour, the page dots,
// confetti in mid-fall and the other-apps screen with its tiles and with its information view.
#include <filesystem>
#include <map>
#include <string>

#include "../../ZuzeDiv/tests/LoopbackServer.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSTextField.hpp"
#include "Foundation/Clock.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/RunLoop.hpp"
#include "SampleSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Presentation/AnimatedLabel.hpp"
#include "ZododuvoZoz/Presentation/ConfettiView.hpp"
#include "ZododuvoZoz/Presentation/GradientText.hpp"
#include "ZododuvoZoz/Presentation/GradientTileView.hpp"
#include "ZododuvoZoz/Presentation/HoverLabel.hpp"
#include "ZododuvoZoz/Presentation/OtherAppsViewController.hpp"
#include "ZododuvoZoz/Presentation/SimpleTileView.hpp"
#include "ZododuvoZoz/Presentation/TagLabel.hpp"
#include "ZododuvoZoz/Presentation/TileView.hpp"
#include "ZododuvoZoz/Presentation/TourViewController.hpp"

using namespace ZododuvoZoz;

namespace {

bool write(NSView& view, const std::filesystem::path& file) {
    view.layoutSubtreeIfNeeded();
    return Samples::writeView(view, file);
}

void asLabel(NSTextField& field) {
    field.setBezeled(false);
    field.setDrawsBackground(false);
    field.setEditable(false);
}

std::shared_ptr<NSImage> filledImage(CGSize size, const std::shared_ptr<NSColor>& color, bool round) {
    auto image = NSImage::make(size);
    image->lockFocus();
    color->setFill();
    (round ? NSBezierPath::ovalIn({0, 0, size.width, size.height})
           : NSBezierPath::roundedRect({0, 0, size.width, size.height}, size.width / 5, size.height / 5))
        ->fill();
    image->unlockFocus();
    return image;
}

// A view that shows a gradient text value centred in its bounds.
class GradientTextView : public NSView {
public:
    GradientTextView(CGRect frame, GradientText text) : NSView(frame), text_(std::move(text)) {}
    void draw(const CGRect&) override {
        if (auto current = NSGraphicsContext::current()) text_.draw(*current->cgContext(), bounds().size);
    }

private:
    GradientText text_;
};

bool labels(const std::filesystem::path& folder, const std::string& name) {
    auto panel = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 420, 215});
    panel->addSubview(std::make_shared<GradientTextView>(CGRect{10, 150, 200, 60}, GradientText("Gradient text", GradientText::defaultColors())));
    panel->addSubview(std::make_shared<GradientTextView>(
        CGRect{210, 150, 200, 60},
        GradientText("Two lines,\ncentred", {Colors::teal(), Colors::cyan()}, NSFont::boldSystemFont(18))));
    const char* texts[] = {"Plain", "Hovered", "On"};
    for (int i = 0; i < 3; ++i) {
        auto label = HoverLabel::make({CGFloat(10 + 135 * i), 100, 125, 36});
        panel->addSubview(label);
        label->setStringValue(texts[i]);
        if (i == 1) label->mouseEntered(NSEvent{});
        if (i == 2) {
            label->setIconSize({18, 18});
            label->setIcon(NSImage::systemSymbol("keyboard"));
            label->setOn(true);
        }
        label->setup();
    }
    auto tag = TagLabel::make({10, 60, 0, 0});
    panel->addSubview(tag);
    asLabel(*tag);
    tag->setStringValue("Charging");
    auto progress = TagLabel::make({120, 60, 0, 0});
    panel->addSubview(progress);
    asLabel(*progress);
    progress->setColor(NSColor::systemBlueColor());
    progress->setStringValue("Battery 64%");
    // Set before the panel is laid out: the fill follows the size layout gives the tag.
    progress->setProgress(0.64);
    auto animated = AnimatedLabel::make({10, 15, 400, 24});
    panel->addSubview(animated);
    asLabel(*animated);
    animated->setWantsLayer(true);
    animated->setTitle("An animated label fades to each new title.");
    return write(*panel, folder / ("labels-" + name + ".png"));
}

bool tiles(const std::filesystem::path& folder, const std::string& name) {
    auto panel = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 440, 250});
    for (int i = 0; i < 3; ++i) {
        auto tile = TileView::make({CGFloat(10 + 145 * i), 135, 130, 100});
        panel->addSubview(tile);
        if (i >= 1) tile->mouseEntered(NSEvent{});
        if (i == 2) tile->setSelected(true);
    }
    for (int i = 0; i < 3; ++i) {
        auto tile = SimpleTileView::make({CGFloat(10 + 145 * i), 20, 130, 100});
        panel->addSubview(tile);
        tile->setAllowHover(true);
        if (i == 1) tile->mouseEntered(NSEvent{});
        if (i == 2) {
            tile->setEnableSelection(true);
            tile->setSelected(true);
        }
    }
    bool ok = write(*panel, folder / ("tiles-" + name + ".png"));

    auto gradients = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 300, 140});
    auto plain = GradientTileView::make({20, 20, 120, 100});
    auto shadowed = GradientTileView::make({160, 20, 120, 100});
    shadowed->setDrawShadow(true);
    shadowed->setColors({Colors::teal(), Colors::cyan()});
    gradients->addSubview(plain);
    gradients->addSubview(shadowed);
    return write(*gradients, folder / ("gradient-tiles-" + name + ".png")) && ok;
}

// A page of the tour: a coloured card with a title.
class SamplePage : public NSViewController {
public:
    SamplePage(std::string title, std::shared_ptr<NSColor> color) : title_(std::move(title)), color_(std::move(color)) {}
    void loadView() override {
        auto root = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 560, 368});
        auto card = GradientTileView::make({40, 40, 480, 288});
        card->setColors({color_, color_->withAlphaComponent(0.4)});
        root->addSubview(card);
        auto title = NSTextField::labelWithString(title_);
        title->setFont(NSFont::boldSystemFont(28));
        title->sizeToFit();
        title->setFrameOrigin({280 - title->frame().width() / 2, 170});
        root->addSubview(title);
        setView(root);
    }

private:
    std::string title_;
    std::shared_ptr<NSColor> color_;
};

bool tour(const std::filesystem::path& folder) {
    auto controller = TourController::tourViewController();
    if (!controller) return false;
    controller->setViewControllers({std::make_shared<SamplePage>("Welcome", Colors::teal()),
                                    std::make_shared<SamplePage>("Your devices", Colors::plum()),
                                    std::make_shared<SamplePage>("Stay charged", Colors::peach())});
    auto panel = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 560, 420});
    auto view = controller->view();
    panel->addSubview(view);
    controller->viewWillAppear();
    controller->showNext();
    controller->showNext();
    // Shown again after paging to the last page, the tour starts over: Next shows the second page.
    controller->viewWillAppear();
    controller->showNext();
    return write(*panel, folder / "tour.png");
}

bool confetti(const std::filesystem::path& folder, const std::shared_ptr<VirtualClock>& clock) {
    auto panel = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 400, 300});
    auto label = NSTextField::labelWithString("Well done!");
    label->setFont(NSFont::boldSystemFont(30));
    label->sizeToFit();
    label->setFrameOrigin({200 - label->frame().width() / 2, 130});
    panel->addSubview(label);
    auto view = ConfettiView::make({0, 0, 400, 300});
    panel->addSubview(view);
    view->setContent(filledImage({10, 6}, NSColor::whiteColor(), false));
    view->start();
    clock->advance(2.5);
    return write(*panel, folder / "confetti.png");
}

bool otherApps(const std::filesystem::path& folder) {
    struct Entry {
        const char* id;
        const char* name;
        const char* german;
        const char* english;
        std::shared_ptr<NSColor> color;
    };
    Entry entries[] = {{"com.example.meter", "Meter", "Misst den Strom deiner Geräte.", "Measures the power of your devices.", Colors::teal()},
                       {"com.example.notes", "Notes", "Notizen für jeden Tag.", "Notes for every day.", Colors::plum()},
                       {"com.example.clock", "Clock", "Die Uhrzeit in der Menüleiste.", "The time in the menu bar.", Colors::peach()}};
    // The icons come from the web, here a server of the sample's own.
    std::map<std::string, std::string> icons;
    for (const auto& entry : entries) {
        icons["/" + std::string(entry.id) + ".png"] = stringFromData(filledImage({128, 128}, entry.color, true)->pngData());
    }
    LoopbackServer server([&](const LoopbackServer::Request& request) -> std::optional<std::string> {
        auto icon = icons.find(request.target);
        if (icon == icons.end()) return LoopbackServer::answer(404, "Not Found", "");
        return LoopbackServer::answer(200, "OK", icon->second);
    });
    std::vector<OtherApp> apps;
    for (const auto& entry : entries) {
        apps.push_back({entry.id, entry.name, entry.german, entry.english, server.base() + "/" + entry.id + ".png",
                        "https://apps.example.com/" + std::string(entry.id)});
    }
    auto controller = Marketing::otherAppsController();
    if (!controller) return false;
    auto panel = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 600, 480});
    panel->addSubview(controller->view());
    panel->layoutSubtreeIfNeeded();
    controller->viewWillAppear();
    controller->setApps(apps);
    auto collection = controller->collectionView.lock();
    collection->reloadData();
    RunLoop::main().runUntil(
        [&] {
            for (int i = 0; i < 3; ++i) {
                auto cell = std::dynamic_pointer_cast<OtherAppCell>(collection->item({0, i}));
                if (!cell || !cell->iconView.lock()->image()) return false;
            }
            return true;
        },
        10);
    bool ok = write(*panel, folder / "other-apps.png");

    auto empty = Marketing::otherAppsController();
    auto emptyPanel = std::make_shared<Samples::Backdrop>(CGRect{0, 0, 600, 480});
    emptyPanel->addSubview(empty->view());
    empty->scrollView.lock()->setHidden(true);
    empty->infoView.lock()->setHidden(false);
    return write(*emptyPanel, folder / "other-apps-empty.png") && ok;
}

}  // namespace

int main(int argc, char** argv) {
    auto folder = Samples::outputFolder(argc, argv);
    // Layer contents drawn for a screen of two pixels a point, as the pictures are.
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1440, 900}, 2));
    auto clock = Samples::useVirtualClock();
    Locale::setCurrent("en_US");
    bool ok = true;
    Samples::inEachAppearance([&](const std::string& name) {
        ok &= labels(folder, name);
        ok &= tiles(folder, name);
    });
    NSApplication::shared().setAppearance(NSAppearance::named(NSAppearanceNameAqua));
    ok &= tour(folder);
    ok &= confetti(folder, clock);
    ok &= otherApps(folder);
    return ok ? 0 : 1;
}
