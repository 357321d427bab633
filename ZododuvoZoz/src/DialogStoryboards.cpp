#include "DialogStoryboards.hpp"

#include <mutex>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "ZododuvoZoz/About.hpp"
#include "ZododuvoZoz/GradientDialog.hpp"
#include "ZododuvoZoz/Gradients.hpp"
#include "ZododuvoZoz/Resources.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

namespace ZododuvoZoz {
namespace {

// Constraints of the scenes: one place that makes them active.
std::shared_ptr<NSLayoutConstraint> active(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    constraint->setActive(true);
    return constraint;
}

template <class View>
std::shared_ptr<View> constrained(const std::shared_ptr<View>& view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

std::shared_ptr<NSTextField> label(CGFloat size, NSFont::Weight weight, const std::shared_ptr<NSColor>& color) {
    auto field = NSTextField::labelWithString("");
    field->setTranslatesAutoresizingMaskIntoConstraints(false);
    field->setFont(NSFont::systemFont(size, weight));
    field->setTextColor(color);
    return field;
}

std::shared_ptr<NSTextField> wrappingLabel(CGFloat size, const std::shared_ptr<NSColor>& color) {
    auto field = NSTextField::wrappingLabelWithString("");
    field->setTranslatesAutoresizingMaskIntoConstraints(false);
    field->setFont(NSFont::systemFont(size));
    field->setTextColor(color);
    return field;
}

// The dialog: a gradient header with the title block and the focus box, the content area under it
// and the close button at the bottom right.
class StoryboardGradientDialogViewController final : public GradientDialogViewController {
public:
    void loadView() override {
        auto root = NSView::make(CGRect{0, 0, 380, 360});
        auto header = constrained(NSView::make());
        auto gradient = constrained(GradientView::make());
        auto block = constrained(NSView::make());
        auto title = label(22, NSFont::Weight::bold(), NSColor::whiteColor());
        auto subtitle = label(15, NSFont::Weight::medium(), NSColor::white(1, 0.85));
        auto box = constrained(NSView::make());
        auto focus = label(13, NSFont::Weight::semibold(), NSColor::whiteColor());
        auto content = constrained(NSView::make());
        auto close = NSButton::make(Resources::localized("CLOSE"), nullptr);
        close->setTranslatesAutoresizingMaskIntoConstraints(false);

        root->addSubview(header);
        header->addSubview(gradient);
        header->addSubview(block);
        header->addSubview(box);
        block->addSubview(title);
        block->addSubview(subtitle);
        box->addSubview(focus);
        root->addSubview(content);
        root->addSubview(close);

        // The header across the top; the gradient fills it.
        active(header->topAnchor().constraint(root->topAnchor()));
        active(header->leadingAnchor().constraint(root->leadingAnchor()));
        active(header->trailingAnchor().constraint(root->trailingAnchor()));
        auto height = active(header->heightAnchor().constraint(140.0));
        ZuzeDiv::pinToSuperview(*gradient);
        // The title block, pinned inside the header under the title bar.
        auto blockTop = active(block->topAnchor().constraint(header->topAnchor(), 40));
        auto blockLeft = active(block->leadingAnchor().constraint(header->leadingAnchor(), 24));
        auto blockRight = active(block->trailingAnchor().constraint(header->trailingAnchor(), -24));
        active(block->heightAnchor().constraint(54.0));
        active(title->topAnchor().constraint(block->topAnchor()));
        active(title->leadingAnchor().constraint(block->leadingAnchor()));
        active(title->trailingAnchor().constraint(block->trailingAnchor()));
        active(title->heightAnchor().constraint(30.0));
        active(subtitle->topAnchor().constraint(block->topAnchor(), 32));
        active(subtitle->leadingAnchor().constraint(block->leadingAnchor()));
        active(subtitle->trailingAnchor().constraint(block->trailingAnchor()));
        active(subtitle->heightAnchor().constraint(22.0));
        // The focus line in its black box under the title block.
        active(box->topAnchor().constraint(block->bottomAnchor(), 10));
        active(box->leadingAnchor().constraint(header->leadingAnchor(), 24));
        active(box->widthAnchor().constraint(140.0));
        active(box->heightAnchor().constraint(26.0));
        ZuzeDiv::pinToSuperview(*focus, 4, 10, -4, -10);
        // The content under the header, the close button under the content.
        auto gap = active(content->topAnchor().constraint(header->bottomAnchor(), 16));
        active(content->leadingAnchor().constraint(root->leadingAnchor(), 24));
        active(content->trailingAnchor().constraint(root->trailingAnchor(), -24));
        active(content->bottomAnchor().constraint(root->bottomAnchor(), -60));
        active(close->bottomAnchor().constraint(root->bottomAnchor(), -16));
        active(close->trailingAnchor().constraint(root->trailingAnchor(), -24));
        active(close->widthAnchor().constraint(96.0));
        active(close->heightAnchor().constraint(28.0));

        titleLabel = title;
        subtitleLabel = subtitle;
        focusLabel = focus;
        blackContainer = box;
        contentContainer = content;
        closeButton = close;
        heightConstraint = height;
        bottomConstraint = gap;
        container = block;
        headerContainer = header;
        gradientView = gradient;
        left = blockLeft;
        top = blockTop;
        right = blockRight;
        std::weak_ptr<GradientDialogViewController> self =
            std::static_pointer_cast<GradientDialogViewController>(shared_from_this());
        close->setTarget(self.lock(), &GradientDialogViewController::closeClicked);
        setView(root);
    }
};

// The About content: the rights notice, the privacy text and the home-page button.
class StoryboardAboutViewController final : public AboutViewController {
public:
    void loadView() override {
        auto root = NSView::make(CGRect{0, 0, 332, 144});
        auto copyright = wrappingLabel(12, NSColor::secondaryLabelColor());
        auto privacy = wrappingLabel(11, NSColor::secondaryLabelColor());
        auto homepage = NSButton::make(Resources::localized("HOMEPAGE"), nullptr);
        homepage->setTranslatesAutoresizingMaskIntoConstraints(false);
        root->addSubview(copyright);
        root->addSubview(privacy);
        root->addSubview(homepage);
        active(copyright->topAnchor().constraint(root->topAnchor()));
        active(copyright->leadingAnchor().constraint(root->leadingAnchor()));
        active(copyright->trailingAnchor().constraint(root->trailingAnchor()));
        active(copyright->heightAnchor().constraint(34.0));
        active(privacy->topAnchor().constraint(copyright->bottomAnchor(), 8));
        active(privacy->leadingAnchor().constraint(root->leadingAnchor()));
        active(privacy->trailingAnchor().constraint(root->trailingAnchor()));
        active(privacy->heightAnchor().constraint(64.0));
        active(homepage->topAnchor().constraint(privacy->bottomAnchor(), 8));
        active(homepage->leadingAnchor().constraint(root->leadingAnchor()));
        active(homepage->widthAnchor().constraint(120.0));
        active(homepage->heightAnchor().constraint(26.0));
        lblCopyright = copyright;
        lblPrivacy = privacy;
        homepage->setTarget(std::static_pointer_cast<AboutViewController>(shared_from_this()),
                            &AboutViewController::homepageClicked);
        setView(root);
    }
};

}  // namespace

void registerDialogStoryboards() {
    static std::once_flag once;
    std::call_once(once, [] {
        auto bundle = Resources::bundle();
        NSStoryboard::registerStoryboard(
            "GradientDialog",
            {"dialog", {{"dialog", [] { return std::make_shared<StoryboardGradientDialogViewController>(); }}}}, bundle);
        NSStoryboard::registerStoryboard(
            "About", {"about", {{"about", [] { return std::make_shared<StoryboardAboutViewController>(); }}}}, bundle);
    });
}

}  // namespace ZododuvoZoz
