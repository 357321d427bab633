#include "ZododuvoZoz/GradientDialog.hpp"

#include "AppKit/NSColor.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSWindowController.hpp"
#include "CoreGraphics/CGWindowLevel.hpp"
#include "DialogStoryboards.hpp"
#include "ZododuvoZoz/Resources.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

namespace ZododuvoZoz {

void GradientDialogViewController::viewDidLoad() {
    NSViewController::viewDidLoad();
    if (auto box = blackContainer.lock()) {
        box->setWantsLayer(true);
        box->layer()->setBackgroundColor(NSColor::blackColor()->cgColor());
        box->layer()->setCornerRadius(6.0);
    }
    if (auto header = gradientView.lock()) {
        header->setCornerRadius(0);
        header->setColorTheme(ColorTheme::custom);
    }
}

void GradientDialogViewController::setFocus(const std::optional<std::string>& focus) {
    if (focus && !focus->empty()) {
        if (auto label = focusLabel.lock()) label->setStringValue(*focus);
        return;
    }
    if (auto height = heightConstraint.lock()) height->setConstant(80.0);
    if (auto box = blackContainer.lock()) box->removeFromSuperview();
    if (auto bottom = bottomConstraint.lock()) bottom->setConstant(0);
    auto header = headerContainer.lock();
    if (header) {
        for (const auto& pin : {top.lock(), left.lock(), right.lock()}) {
            if (!pin) continue;
            header->removeConstraint(pin);
            pin->setActive(false);
        }
    }
    auto block = container.lock();
    auto gradient = gradientView.lock();
    if (block && gradient) {
        block->centerYAnchor().constraint(gradient->centerYAnchor())->setActive(true);
        block->centerXAnchor().constraint(gradient->centerXAnchor())->setActive(true);
    }
    view()->layoutSubtreeIfNeeded();
    if (header) header->layoutSubtreeIfNeeded();
}

void GradientDialogViewController::closeClicked(NSControl&) {
    if (auto window = view()->window()) window->close();
}

std::shared_ptr<GradientDialog> GradientDialog::shared() {
    static const std::shared_ptr<GradientDialog> dialog = std::make_shared<GradientDialog>();
    return dialog;
}

void GradientDialog::show(const std::string& title, const std::string& subtitle, const std::optional<std::string>& focus,
                          const std::shared_ptr<NSViewController>& content, bool resizable, bool hideCloseButton,
                          std::optional<CGSize> size) {
    if (window) {
        // The open dialog keeps its texts and the content it shows: replacing the controller here
        // would let go of the controller whose view is on screen, and its buttons would stop working.
        window->makeKeyAndOrderFront(nullptr);
        window->setLevel(CGWindowLevelForKey(CGWindowLevelKey::floatingWindow));
        return;
    }
    viewController = content;

    registerDialogStoryboards();
    auto storyboard = NSStoryboard::make("GradientDialog", Resources::bundle());
    auto dialog = storyboard ? std::dynamic_pointer_cast<GradientDialogViewController>(storyboard->instantiateInitialController())
                             : nullptr;
    if (!dialog) return;

    window = NSWindow::make(dialog);
    window->setDelegate(shared_from_this());
    configureWindow();

    if (size) {
        window->setContentSize(*size);
        window->setContentMinSize(*size);
        window->setMinSize(*size);
        window->layoutIfNeeded();
    }

    if (auto label = dialog->titleLabel.lock()) label->setStringValue(title);
    if (auto label = dialog->subtitleLabel.lock()) label->setStringValue(subtitle);
    dialog->setFocus(focus);

    if (content) {
        auto view = content->view();
        if (auto container = dialog->contentContainer.lock()) {
            ZuzeDiv::removeAllSubviews(*container);
            container->addSubview(view);
            ZuzeDiv::pinToSuperview(*view);
        }
    }

    if (hideCloseButton) {
        if (auto button = dialog->closeButton.lock()) {
            button->setHidden(true);
            button->removeFromSuperview();
        }
        if (auto height = dialog->heightConstraint.lock()) height->setConstant(8.0);
    }
    if (!resizable) window->setStyleMask(window->styleMask().removing(NSWindow::StyleMask::resizable()));

    window->makeKeyAndOrderFront(nullptr);
    window->setLevel(CGWindowLevelForKey(CGWindowLevelKey::floatingWindow));
    window->setMovableByWindowBackground(true);
    window->center();
}

void GradientDialog::configureWindow() {
    if (!window) return;
    if (auto controller = window->windowController()) controller->window();
    window->setTitlebarAppearsTransparent(true);
    window->setTitle("");
    window->setTitleVisibility(NSWindow::TitleVisibility::hidden);
    window->setStyleMask(window->styleMask().inserting(NSWindow::StyleMask::fullSizeContentView()));
    for (auto type : {NSWindow::ButtonType::miniaturizeButton, NSWindow::ButtonType::zoomButton}) {
        if (auto button = window->standardWindowButton(type)) button->setHidden(true);
    }
}

void GradientDialog::windowWillClose(const Notification&) {
    if (viewController && viewController->isViewLoaded()) viewController->view()->removeFromSuperview();
    viewController.reset();
    if (window) window->setDelegate(nullptr);
    window.reset();
}

}  // namespace ZododuvoZoz
