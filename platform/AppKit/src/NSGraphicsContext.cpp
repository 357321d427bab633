#include "AppKit/NSGraphicsContext.hpp"

#include <vector>

namespace {
std::shared_ptr<NSGraphicsContext>& threadCurrent() {
    thread_local std::shared_ptr<NSGraphicsContext> current;
    return current;
}
std::vector<std::shared_ptr<NSGraphicsContext>>& savedContexts() {
    thread_local std::vector<std::shared_ptr<NSGraphicsContext>> saved;
    return saved;
}
}  // namespace

std::shared_ptr<NSGraphicsContext> NSGraphicsContext::current() { return threadCurrent(); }

void NSGraphicsContext::setCurrent(const std::shared_ptr<NSGraphicsContext>& context) { threadCurrent() = context; }

void NSGraphicsContext::saveGraphicsState() {
    auto context = threadCurrent();
    if (context) context->context_->saveGState();
    savedContexts().push_back(context);
}

void NSGraphicsContext::restoreGraphicsState() {
    auto& saved = savedContexts();
    if (saved.empty()) return;
    auto context = saved.back();
    saved.pop_back();
    if (context) context->context_->restoreGState();
    threadCurrent() = context;
}

NSImageInterpolation NSGraphicsContext::imageInterpolation() const {
    switch (context_->interpolationQuality()) {
        case CGInterpolationQuality::none: return NSImageInterpolation::none;
        case CGInterpolationQuality::low: return NSImageInterpolation::low;
        case CGInterpolationQuality::medium: return NSImageInterpolation::medium;
        case CGInterpolationQuality::high: return NSImageInterpolation::high;
        case CGInterpolationQuality::defaultQuality: break;
    }
    return NSImageInterpolation::defaultInterpolation;
}

void NSGraphicsContext::setImageInterpolation(NSImageInterpolation interpolation) {
    switch (interpolation) {
        case NSImageInterpolation::none: context_->setInterpolationQuality(CGInterpolationQuality::none); break;
        case NSImageInterpolation::low: context_->setInterpolationQuality(CGInterpolationQuality::low); break;
        case NSImageInterpolation::medium: context_->setInterpolationQuality(CGInterpolationQuality::medium); break;
        case NSImageInterpolation::high: context_->setInterpolationQuality(CGInterpolationQuality::high); break;
        case NSImageInterpolation::defaultInterpolation:
            context_->setInterpolationQuality(CGInterpolationQuality::defaultQuality);
            break;
    }
}

CGBlendMode NSGraphicsContext::blendMode(NSCompositingOperation operation) {
    switch (operation) {
        case NSCompositingOperation::clear: return CGBlendMode::clear;
        case NSCompositingOperation::copy: return CGBlendMode::copy;
        case NSCompositingOperation::sourceOver: return CGBlendMode::normal;
        case NSCompositingOperation::sourceIn: return CGBlendMode::sourceIn;
        case NSCompositingOperation::sourceOut: return CGBlendMode::sourceOut;
        case NSCompositingOperation::sourceAtop: return CGBlendMode::sourceAtop;
        case NSCompositingOperation::destinationOver: return CGBlendMode::destinationOver;
        case NSCompositingOperation::destinationIn: return CGBlendMode::destinationIn;
        case NSCompositingOperation::destinationOut: return CGBlendMode::destinationOut;
        case NSCompositingOperation::destinationAtop: return CGBlendMode::destinationAtop;
        case NSCompositingOperation::exclusiveOr: return CGBlendMode::exclusiveOr;
        case NSCompositingOperation::plusLighter: return CGBlendMode::plusLighter;
    }
    return CGBlendMode::normal;
}

NSCompositingOperation NSGraphicsContext::compositingOperation() const {
    for (auto op : {NSCompositingOperation::clear, NSCompositingOperation::copy, NSCompositingOperation::sourceOver,
                    NSCompositingOperation::sourceIn, NSCompositingOperation::sourceOut, NSCompositingOperation::sourceAtop,
                    NSCompositingOperation::destinationOver, NSCompositingOperation::destinationIn,
                    NSCompositingOperation::destinationOut, NSCompositingOperation::destinationAtop,
                    NSCompositingOperation::exclusiveOr, NSCompositingOperation::plusLighter}) {
        if (blendMode(op) == context_->blendMode()) return op;
    }
    return NSCompositingOperation::sourceOver;
}

void NSGraphicsContext::setCompositingOperation(NSCompositingOperation operation) {
    context_->setBlendMode(blendMode(operation));
}

void NSRectFill(const CGRect& rect) { NSRectFillUsingOperation(rect, NSCompositingOperation::copy); }

void NSRectFillUsingOperation(const CGRect& rect, NSCompositingOperation operation) {
    auto context = NSGraphicsContext::current();
    if (!context) return;
    auto& cg = *context->cgContext();
    cg.saveGState();
    cg.setBlendMode(NSGraphicsContext::blendMode(operation));
    cg.fill(rect);
    cg.restoreGState();
}
