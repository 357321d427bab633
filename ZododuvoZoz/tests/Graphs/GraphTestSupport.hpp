#pragma once
// A canvas that records what a graph view's drawing pass draws, and small helpers to read it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSScreen.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Graphs/GraphCanvas.hpp"

// Helpers of these tests only, in a namespace of their own: other tests of the same program
// have helpers of the same names.
namespace standalone_graph_tests {

struct Drawn {
    enum class Kind { stroke, fill, text, image } kind;
    CGPath path;
    CGFloat lineWidth = 0;
    std::shared_ptr<NSColor> color;
    std::string text;
    CGRect rect;
    NSAttributes attributes;
    std::shared_ptr<NSImage> image;

    /// The end points of the path's elements (closes left out).
    std::vector<CGPoint> points() const {
        std::vector<CGPoint> result;
        for (const auto& e : path.elements()) {
            if (e.type != CGPathElementType::closeSubpath) result.push_back(e.endPoint());
        }
        return result;
    }
    CGColor rgba() const { return color ? color->cgColor() : CGColor::clear(); }
};

class RecordingCanvas : public ZododuvoZoz::GraphCanvas {
public:
    void stroke(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) override {
        items.push_back({Drawn::Kind::stroke, ZododuvoZoz::cgPath(path), path.lineWidth(), color});
    }
    void fill(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) override {
        items.push_back({Drawn::Kind::fill, ZododuvoZoz::cgPath(path), path.lineWidth(), color});
    }
    void drawText(const std::string& text, const CGRect& rect, const NSAttributes& attributes) override {
        Drawn item{Drawn::Kind::text};
        item.text = text;
        item.rect = rect;
        item.attributes = attributes;
        items.push_back(item);
    }
    void drawImage(const std::shared_ptr<NSImage>& image, const CGRect& rect) override {
        Drawn item{Drawn::Kind::image};
        item.image = image;
        item.rect = rect;
        items.push_back(item);
    }

    std::vector<Drawn> of(Drawn::Kind kind) const {
        std::vector<Drawn> result;
        for (const auto& item : items) {
            if (item.kind == kind) result.push_back(item);
        }
        return result;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const auto& item : of(Drawn::Kind::text)) result.push_back(item.text);
        return result;
    }

    std::vector<Drawn> items;
};

template <class View>
RecordingCanvas recordPass(View& view) {
    RecordingCanvas canvas;
    view.draw(canvas);
    return canvas;
}

inline NSEvent mouseAt(CGFloat x, CGFloat y, NSEvent::EventType type = NSEvent::EventType::mouseMoved) {
    NSEvent event;
    event.type = type;
    event.locationInWindow = {x, y};
    return event;
}

inline void expectPoints(const std::vector<CGPoint>& actual, const std::vector<CGPoint>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-9) << "point " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-9) << "point " << i;
    }
}

inline void expectColor(const CGColor& actual, CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
    EXPECT_NEAR(actual.red, r, 1e-9);
    EXPECT_NEAR(actual.green, g, 1e-9);
    EXPECT_NEAR(actual.blue, b, 1e-9);
    EXPECT_NEAR(actual.alpha, a, 1e-9);
}

using Pixel = std::array<std::uint8_t, 4>;

/// A pixel of a render at one pixel per point, y up.
inline Pixel pixelAt(const CGImage& image, double x, double y) {
    return image.pixel(std::size_t(x), image.height() - 1 - std::size_t(y));
}

class StandaloneGraphTest : public ::testing::Test {
protected:
    void TearDown() override {
        NSScreen::setMain(nullptr);
        NSApplication::shared().setAppearance(nullptr);
    }
};

}  // namespace standalone_graph_tests

using namespace standalone_graph_tests;
