#pragma once
// A view that shows a collection of items in a layout. Only its background is built here: the
// first of its background colours fills its bounds, and a background view, when set, lies under
// all its other content, filling its bounds.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

class NSCollectionView : public NSView {
public:
    explicit NSCollectionView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<NSCollectionView> make(CGRect frame = {}) { return std::make_shared<NSCollectionView>(frame); }

    /// The control background colour alone unless set; the first colour is drawn.
    const std::vector<std::shared_ptr<NSColor>>& backgroundColors() const { return backgroundColors_; }
    void setBackgroundColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    virtual std::shared_ptr<NSView> backgroundView() const { return backgroundView_; }
    virtual void setBackgroundView(const std::shared_ptr<NSView>& view);

    bool isFlipped() const override { return true; }
    void layout() override;
    void draw(const CGRect& dirtyRect) override;

private:
    std::vector<std::shared_ptr<NSColor>> backgroundColors_{NSColor::controlBackgroundColor()};
    std::shared_ptr<NSView> backgroundView_;
};
