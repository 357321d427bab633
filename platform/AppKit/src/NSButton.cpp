#include "AppKit/NSButton.hpp"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "ControlDrawing.hpp"

namespace {
constexpr CGFloat spacing = 4;         // between image and title
constexpr CGFloat titlePadding = 12;   // left and right of the title on a bezel
constexpr CGFloat contentPadding = 4;  // around the content otherwise

bool showsTitle(NSCellImagePosition position, const std::string& title) {
    return position != NSCellImagePosition::imageOnly && !title.empty();
}
}  // namespace

std::shared_ptr<NSButton> NSButton::make(const std::string& title, Action action) {
    auto button = make();
    button->setTitle(title);
    button->setAction(std::move(action));
    button->sizeToFit();
    return button;
}

std::shared_ptr<NSButton> NSButton::make(const std::shared_ptr<NSImage>& image, Action action) {
    auto button = make(CGRect{CGPoint{}, image ? image->size() : CGSize{}});
    button->setTitle("");
    button->setImage(image);
    button->setImagePosition(NSCellImagePosition::imageOnly);
    button->setBordered(false);
    button->setAction(std::move(action));
    return button;
}

void NSButton::setTitle(const std::string& title) {
    title_ = title;
    setNeedsDisplay();
}

void NSButton::setImage(const std::shared_ptr<NSImage>& image) {
    image_ = image;
    setNeedsDisplay();
}

void NSButton::setImagePosition(NSCellImagePosition position) {
    imagePosition_ = position;
    setNeedsDisplay();
}

void NSButton::setBezelStyle(NSBezelStyle style) {
    bezelStyle_ = style;
    setNeedsDisplay();
}

void NSButton::setBordered(bool bordered) {
    bordered_ = bordered;
    setNeedsDisplay();
}

namespace {
NSAttributedString titleText(const std::string& title, const std::shared_ptr<NSFont>& font, bool enabled) {
    NSAttributes attributes{{NSAttributedStringKey::foregroundColor(),
                             enabled ? NSColor::labelColor() : NSColor::tertiaryLabelColor()}};
    if (font) attributes[NSAttributedStringKey::font()] = font;
    return NSAttributedString(title, attributes);
}

bool sideBySide(NSCellImagePosition position) {
    return position == NSCellImagePosition::imageLeft || position == NSCellImagePosition::imageRight ||
           position == NSCellImagePosition::noImage;
}
}  // namespace

CGSize NSButton::fittingSize() const {
    CGSize text = showsTitle(imagePosition_, title_) ? titleText(title_, font(), true).size() : CGSize{};
    bool hasImage = image_ && imagePosition_ != NSCellImagePosition::noImage;
    CGSize picture = hasImage ? image_->size() : CGSize{};
    CGSize content;
    if (imagePosition_ == NSCellImagePosition::imageOverlaps || !hasImage || text.width == 0) {
        content = {std::max(text.width, picture.width), std::max(text.height, picture.height)};
    } else if (sideBySide(imagePosition_)) {
        content = {text.width + spacing + picture.width, std::max(text.height, picture.height)};
    } else {
        content = {std::max(text.width, picture.width), text.height + spacing + picture.height};
    }
    CGFloat padX = bordered_ && text.width > 0 ? titlePadding : contentPadding;
    CGFloat padY = bordered_ ? 3 : 0;
    return {std::ceil(content.width + 2 * padX), std::ceil(std::max<CGFloat>(content.height + 2 * padY, bordered_ ? 22 : 0))};
}

void NSButton::draw(const CGRect&) {
    if (bordered_) drawBezel();
    drawContent();
}

void NSButton::drawBezel() {
    CGRect frame = bounds().insetBy(0.5, 0.5);
    if (frame.isNull() || frame.isEmpty()) return;
    if (bezelStyle_ == NSBezelStyle::recessed && !isHighlighted()) return;
    std::shared_ptr<NSBezierPath> path;
    CGFloat capsule = std::min(frame.width(), frame.height()) / 2;
    switch (bezelStyle_) {
        case NSBezelStyle::rounded: path = NSBezierPath::roundedRect(frame, 5, 5); break;
        case NSBezelStyle::texturedRounded: path = NSBezierPath::roundedRect(frame, 4, 4); break;
        case NSBezelStyle::regularSquare: path = NSBezierPath::roundedRect(frame, 2, 2); break;
        case NSBezelStyle::smallSquare: path = NSBezierPath::rect(frame); break;
        case NSBezelStyle::circular: {
            CGFloat side = std::min(frame.width(), frame.height());
            path = NSBezierPath::ovalIn({frame.midX() - side / 2, frame.midY() - side / 2, side, side});
            break;
        }
        case NSBezelStyle::recessed: path = NSBezierPath::roundedRect(frame, capsule, capsule); break;
    }
    ControlDrawing::bezelColor()->setFill();
    path->fill();
    if (isHighlighted()) {
        ControlDrawing::pressedOverlayColor()->setFill();
        path->fill();
    }
    ControlDrawing::bezelBorderColor()->setStroke();
    path->setLineWidth(1);
    path->stroke();
}

void NSButton::drawContent() {
    bool title = showsTitle(imagePosition_, title_);
    bool picture = image_ && imagePosition_ != NSCellImagePosition::noImage;
    NSAttributedString text = titleText(title ? title_ : "", font(), isEnabled());
    CGSize textSize = title ? text.size() : CGSize{};
    CGSize imageSize = picture ? image_->size() : CGSize{};
    CGRect b = bounds();
    // Image and title as one block, centred in the bounds (y up).
    CGRect imageRect{b.midX() - imageSize.width / 2, b.midY() - imageSize.height / 2, imageSize.width, imageSize.height};
    CGRect textRect{b.midX() - textSize.width / 2, b.midY() - textSize.height / 2, textSize.width, textSize.height};
    if (title && picture && imagePosition_ != NSCellImagePosition::imageOverlaps) {
        if (sideBySide(imagePosition_)) {
            CGFloat width = imageSize.width + spacing + textSize.width;
            CGFloat left = b.midX() - width / 2;
            bool imageFirst = imagePosition_ != NSCellImagePosition::imageRight;
            imageRect.origin.x = imageFirst ? left : left + textSize.width + spacing;
            textRect.origin.x = imageFirst ? left + imageSize.width + spacing : left;
        } else {
            CGFloat height = imageSize.height + spacing + textSize.height;
            CGFloat bottom = b.midY() - height / 2;
            bool imageOnTop = imagePosition_ == NSCellImagePosition::imageAbove;
            imageRect.origin.y = imageOnTop ? bottom + textSize.height + spacing : bottom;
            textRect.origin.y = imageOnTop ? bottom : bottom + imageSize.height + spacing;
        }
    }
    if (picture) {
        // Whole points keep bitmaps and symbols sharp.
        imageRect.origin = {std::round(imageRect.minX()), std::round(imageRect.minY())};
        ControlDrawing::drawImage(*image_, imageRect, isEnabled() ? NSColor::labelColor() : NSColor::tertiaryLabelColor());
    }
    if (title) text.draw(CGPoint{textRect.minX(), textRect.minY()});
}
