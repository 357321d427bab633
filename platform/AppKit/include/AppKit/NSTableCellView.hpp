#pragma once
// The usual view of a table cell: a view with outlets to an image view and a text field among its
// subviews, which whoever builds the cell connects.
#include <memory>

#include "AppKit/NSImageView.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSView.hpp"

class NSTableCellView : public NSView {
public:
    explicit NSTableCellView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<NSTableCellView> make(CGRect frame = {}) { return std::make_shared<NSTableCellView>(frame); }

    /// Outlets, held weakly: the views belong to the cell's tree.
    std::shared_ptr<NSImageView> imageView() const { return imageView_.lock(); }
    void setImageView(const std::shared_ptr<NSImageView>& view) { imageView_ = view; }
    std::shared_ptr<NSTextField> textField() const { return textField_.lock(); }
    void setTextField(const std::shared_ptr<NSTextField>& field) { textField_ = field; }

private:
    std::weak_ptr<NSImageView> imageView_;
    std::weak_ptr<NSTextField> textField_;
};
