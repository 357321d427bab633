#pragma once
// The gradient dialog: one floating window at a time with a gradient header carrying a title, a
// subtitle and an emphasised focus line (in a black box) above any caller's view controller, and
// a close button under it. Built from the module's storyboard "GradientDialog".
#include <memory>
#include <optional>
#include <string>

#include "ZododuvoZoz/GradientView.hpp"
#include "AppKit/NSButton.hpp"
#include "AppKit/NSLayoutConstraint.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSViewController.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreGraphics/CGGeometry.hpp"

namespace ZododuvoZoz {

class GradientDialogViewController : public NSViewController {
public:
    // Outlets, connected by the storyboard.
    std::weak_ptr<NSTextField> titleLabel;
    std::weak_ptr<NSTextField> subtitleLabel;
    std::weak_ptr<NSTextField> focusLabel;
    std::weak_ptr<NSView> blackContainer;
    std::weak_ptr<NSView> contentContainer;
    std::weak_ptr<NSButton> closeButton;
    std::weak_ptr<NSLayoutConstraint> heightConstraint;
    std::weak_ptr<NSLayoutConstraint> bottomConstraint;
    std::weak_ptr<NSView> container;
    std::weak_ptr<NSView> headerContainer;
    std::weak_ptr<GradientView> gradientView;
    std::weak_ptr<NSLayoutConstraint> left;
    std::weak_ptr<NSLayoutConstraint> top;
    std::weak_ptr<NSLayoutConstraint> right;

    void viewDidLoad() override;

    /// A present, non-empty text becomes the focus line; otherwise the header collapses to 80
    /// points with the title block centred in the gradient and no black box.
    void setFocus(const std::optional<std::string>& focus);

    /// Closes the view's window, when it has one.
    void closeClicked(NSControl& sender);
};

class GradientDialog : public NSWindowDelegate, public std::enable_shared_from_this<GradientDialog> {
public:
    /// The one dialog of the process, made on first use.
    static std::shared_ptr<GradientDialog> shared();

    /// The window while a dialog is open.
    std::shared_ptr<NSWindow> window;
    /// The content of the open dialog.
    std::shared_ptr<NSViewController> viewController;

    /// Opens the dialog with the texts and content, or, when one is open, brings it to the front
    /// at the floating level without changing its texts or content.
    void show(const std::string& title, const std::string& subtitle, const std::optional<std::string>& focus,
              const std::shared_ptr<NSViewController>& content, bool resizable, bool hideCloseButton,
              std::optional<CGSize> size = std::nullopt);
    /// The window's styling: transparent title bar without a title, content under the title bar,
    /// no miniaturize or zoom button. Nothing without a window.
    void configureWindow();

    void windowWillClose(const Notification& notification) override;
};

}  // namespace ZododuvoZoz
