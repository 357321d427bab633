#include "DialogStoryboards.hpp"

#include <mutex>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "StoryboardLayout.hpp"
#include "ZododuvoZoz/About.hpp"
#include "ZododuvoZoz/GradientDialog.hpp"
#include "ZododuvoZoz/Gradients.hpp"
#include "ZododuvoZoz/Resources.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

namespace ZododuvoZoz {
namespace {

using namespace StoryboardLayout;

// The dialog: a gradient header with the title block and the focus box, the content area under it
// and the close button at the bottom right.
class StoryboardGradientDialogViewController final : public GradientDialogViewController {
public:
    void loadView() override {
        auto root = NSView::make(CGRect{0, 0, 380, 360});
        auto header = constrained(NSView::make());
        auto gradient = constrained(GradientView::make());
        auto block = constrained(NSView::make());
        auto title = label(false, NSFont::systemFont(22, NSFont::Weight::bold()), NSColor::whiteColor());
        auto subtitle = label(false, NSFont::systemFont(15, NSFont::Weight::medium()), NSColor::white(1, 0.85));
        auto box = constrained(NSView::make());
        auto focus = label(false, NSFont::systemFont(13, NSFont::Weight::semibold()), NSColor::whiteColor());
        auto content = constrained(NSView::make());
        auto close = constrained(NSButton::make(Resources::localized("CLOSE"), nullptr));

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
        auto headerRow = row(*header, root->topAnchor(), 0, *root, 0, 140);
        ZuzeDiv::pinToSuperview(*gradient);
        // The title block, pinned inside the header under the title bar.
        auto blockRow = row(*block, header->topAnchor(), 40, *header, 24, 54);
        row(*title, block->topAnchor(), 0, *block, 0, 30);
        row(*subtitle, block->topAnchor(), 32, *block, 0, 22);
        // The focus line in its black box under the title block.
        active(box->topAnchor().constraint(block->bottomAnchor(), 10));
        active(box->leadingAnchor().constraint(header->leadingAnchor(), 24));
        fixSize(*box, 140, 26);
        ZuzeDiv::pinToSuperview(*focus, 4, 10, -4, -10);
        // The content under the header, the close button under the content.
        auto gap = active(content->topAnchor().constraint(header->bottomAnchor(), 16));
        active(content->leadingAnchor().constraint(root->leadingAnchor(), 24));
        active(content->trailingAnchor().constraint(root->trailingAnchor(), -24));
        active(content->bottomAnchor().constraint(root->bottomAnchor(), -60));
        active(close->bottomAnchor().constraint(root->bottomAnchor(), -16));
        active(close->trailingAnchor().constraint(root->trailingAnchor(), -24));
        fixSize(*close, 96, 28);

        titleLabel = title;
        subtitleLabel = subtitle;
        focusLabel = focus;
        blackContainer = box;
        contentContainer = content;
        closeButton = close;
        heightConstraint = headerRow.height;
        bottomConstraint = gap;
        container = block;
        headerContainer = header;
        gradientView = gradient;
        left = blockRow.leading;
        top = blockRow.top;
        right = blockRow.trailing;
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
        auto copyright = label(true, NSFont::systemFont(12), NSColor::secondaryLabelColor());
        auto privacy = label(true, NSFont::systemFont(11), NSColor::secondaryLabelColor());
        auto homepage = constrained(NSButton::make(Resources::localized("HOMEPAGE"), nullptr));
        root->addSubview(copyright);
        root->addSubview(privacy);
        root->addSubview(homepage);
        row(*copyright, root->topAnchor(), 0, *root, 0, 34);
        row(*privacy, copyright->bottomAnchor(), 8, *root, 0, 64);
        active(homepage->topAnchor().constraint(privacy->bottomAnchor(), 8));
        active(homepage->leadingAnchor().constraint(root->leadingAnchor()));
        fixSize(*homepage, 120, 26);
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
