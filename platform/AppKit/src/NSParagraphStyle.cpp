#include "AppKit/NSParagraphStyle.hpp"

#include "AppKit/NSMutableParagraphStyle.hpp"

std::shared_ptr<const NSParagraphStyle> NSParagraphStyle::defaultStyle() {
    static const std::shared_ptr<const NSParagraphStyle> style = std::make_shared<NSParagraphStyle>();
    return style;
}

std::shared_ptr<NSMutableParagraphStyle> NSParagraphStyle::mutableCopy() const {
    auto copy = std::make_shared<NSMutableParagraphStyle>();
    copy->setAlignment(alignment_);
    copy->setLineBreakMode(lineBreakMode_);
    return copy;
}
