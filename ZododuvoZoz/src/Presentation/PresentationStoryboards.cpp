#include "Presentation/PresentationStoryboards.hpp"

#include <mutex>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "StoryboardLayout.hpp"
#include "ZododuvoZoz/Presentation/OtherAppsViewController.hpp"
#include "ZododuvoZoz/Presentation/TourViewController.hpp"
#include "ZododuvoZoz/Resources.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

namespace ZododuvoZoz {
namespace {

using namespace StoryboardLayout;

std::shared_ptr<NSTextField> centredLabel(bool wrapping, const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color) {
    auto field = label(wrapping, font, color);
    field->setAlignment(NSTextAlignment::center);
    return field;
}

// One tile: the icon at the top, the name under it and the description under the name.
class StoryboardOtherAppCell final : public OtherAppCell {
public:
    void loadView() override {
        auto root = NSView::make(CGRect{0, 0, 256, 232});
        auto icon = constrained(NSImageView::make());
        icon->setImageScaling(NSImageScaling::scaleProportionallyUpOrDown);
        auto title = centredLabel(false, NSFont::boldSystemFont(15), NSColor::labelColor());
        auto subtitle = centredLabel(true, NSFont::systemFont(12), NSColor::secondaryLabelColor());
        root->addSubview(icon);
        root->addSubview(title);
        root->addSubview(subtitle);
        active(icon->topAnchor().constraint(root->topAnchor(), 24));
        active(icon->centerXAnchor().constraint(root->centerXAnchor()));
        fixSize(*icon, 104, 104);
        row(*title, icon->bottomAnchor(), 12, *root, 12, 22);
        active(subtitle->topAnchor().constraint(title->bottomAnchor(), 4));
        active(subtitle->leadingAnchor().constraint(root->leadingAnchor(), 16));
        active(subtitle->trailingAnchor().constraint(root->trailingAnchor(), -16));
        active(subtitle->bottomAnchor().constraint(root->bottomAnchor(), -12));
        iconView = icon;
        appTitle = title;
        appSubtitle = subtitle;
        setView(root);
    }
};

// The screen: the tiles in a scroll view, and the information view in its place.
class StoryboardOtherAppsViewController final : public OtherAppsViewController {
public:
    void loadView() override {
        auto root = NSView::make(CGRect{0, 0, 600, 480});
        auto scroll = constrained(NSScrollView::make());
        auto collection = NSCollectionView::make();
        collection->setSelectable(true);
        collection->setBackgroundColors({NSColor::clearColor()});
        scroll->setDocumentView(collection);
        auto info = constrained(NSView::make());
        info->setHidden(true);
        auto message = centredLabel(true, NSFont::systemFont(15), NSColor::secondaryLabelColor());
        message->setStringValue(Resources::localized("NO_OTHER_APPS"));
        root->addSubview(scroll);
        root->addSubview(info);
        info->addSubview(message);
        ZuzeDiv::pinToSuperview(*scroll);
        ZuzeDiv::pinToSuperview(*info);
        active(message->centerYAnchor().constraint(info->centerYAnchor()));
        active(message->leadingAnchor().constraint(info->leadingAnchor(), 40));
        active(message->trailingAnchor().constraint(info->trailingAnchor(), -40));
        active(message->heightAnchor().constraint(44.0));
        scrollView = scroll;
        collectionView = collection;
        infoView = info;
        setView(root);
    }
};

// The tour: the page above, the previous and next buttons at the bottom corners and the dots
// between them.
class StoryboardTourViewController final : public TourViewController {
public:
    void loadView() override {
        auto root = NSView::make(CGRect{0, 0, 560, 420});
        auto host = constrained(NSView::make());
        auto back = constrained(NSButton::make(Resources::localized("PREVIOUS"), nullptr));
        auto forward = constrained(NSButton::make(Resources::localized("NEXT"), nullptr));
        auto dots = constrained(DotView::make());
        root->addSubview(host);
        root->addSubview(back);
        root->addSubview(forward);
        root->addSubview(dots);
        active(host->topAnchor().constraint(root->topAnchor()));
        active(host->leadingAnchor().constraint(root->leadingAnchor()));
        active(host->trailingAnchor().constraint(root->trailingAnchor()));
        active(host->bottomAnchor().constraint(root->bottomAnchor(), -52));
        for (const auto& button : {back, forward}) {
            active(button->bottomAnchor().constraint(root->bottomAnchor(), -12));
            fixSize(*button, 96, 28);
            button->setTarget(shared_from_this());
        }
        active(back->leadingAnchor().constraint(root->leadingAnchor(), 20));
        active(forward->trailingAnchor().constraint(root->trailingAnchor(), -20));
        back->setAction(previousClickedAction());
        forward->setAction(nextClickedAction());
        active(dots->centerXAnchor().constraint(root->centerXAnchor()));
        active(dots->bottomAnchor().constraint(root->bottomAnchor(), -21));
        fixSize(*dots, 240, 10);
        previous = back;
        next = forward;
        hostView = host;
        dotsView = dots;
        setView(root);
    }
};

}  // namespace

void registerPresentationStoryboards() {
    static std::once_flag once;
    std::call_once(once, [] {
        auto bundle = Resources::bundle();
        NSStoryboard::registerStoryboard(
            "OtherApps", {"otherApps", {{"otherApps", [] { return std::make_shared<StoryboardOtherAppsViewController>(); }}}},
            bundle);
        NSStoryboard::registerStoryboard(
            "OtherAppCell", {"cell", {{"cell", [] { return std::make_shared<StoryboardOtherAppCell>(); }}}}, bundle);
        NSStoryboard::registerStoryboard(
            "Tour", {"tour", {{"tour", [] { return std::make_shared<StoryboardTourViewController>(); }}}}, bundle);
    });
}

}  // namespace ZododuvoZoz
