#pragma once
// Something set into a line of text in place of a character: here an image, in a rectangle whose
// origin is relative to the baseline (a zero rectangle shows the image at its own size on the
// baseline).
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSImage.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/Data.hpp"

class NSTextAttachment {
public:
    NSTextAttachment(std::optional<Data> contents, std::optional<std::string> fileType)
        : contents_(std::move(contents)), fileType_(std::move(fileType)) {}
    virtual ~NSTextAttachment() = default;

    const std::optional<Data>& contents() const { return contents_; }
    const std::optional<std::string>& fileType() const { return fileType_; }
    std::shared_ptr<NSImage> image() const { return image_; }
    void setImage(const std::shared_ptr<NSImage>& image) { image_ = image; }
    CGRect bounds() const { return bounds_; }
    void setBounds(const CGRect& bounds) { bounds_ = bounds; }

private:
    std::optional<Data> contents_;
    std::optional<std::string> fileType_;
    std::shared_ptr<NSImage> image_;
    CGRect bounds_ = CGRect::zero();
};
