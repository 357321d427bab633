#pragma once
// Lists and scroll views that draw no background of their own, so that they sit directly on a
// gradient or translucent window, and two that change how they take the mouse. Each runs its
// setup when made; a view is made before it is put into a scroll view, so the setup can be run
// again once it is in one.
#include <memory>

#include "AppKit/NSCollectionView.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSOutlineView.hpp"
#include "AppKit/NSScrollView.hpp"
#include "AppKit/NSTableView.hpp"

namespace ZododuvoZoz {

/// A collection view with a clear background, whose background view is always none.
class NoBackgroundCollectionView : public NSCollectionView {
public:
    explicit NoBackgroundCollectionView(CGRect frame = {});
    static std::shared_ptr<NoBackgroundCollectionView> make(CGRect frame = {}) {
        return std::make_shared<NoBackgroundCollectionView>(frame);
    }
    /// The enclosing scroll view and its content view stop drawing their backgrounds; the
    /// background colours become clear alone.
    void setup();
    std::shared_ptr<NSView> backgroundView() const override { return nullptr; }
    void setBackgroundView(const std::shared_ptr<NSView>&) override {}
};

/// An outline view with a clear background.
class NoBackgroundOutlineView : public NSOutlineView {
public:
    explicit NoBackgroundOutlineView(CGRect frame = {});
    static std::shared_ptr<NoBackgroundOutlineView> make(CGRect frame = {}) {
        return std::make_shared<NoBackgroundOutlineView>(frame);
    }
    /// The enclosing scroll view and its content view stop drawing their backgrounds; the
    /// background colour becomes clear.
    void setup();
};

/// A table with a clear background and a rounded, clear band behind its header.
class NoBackgroundTableView : public NSTableView {
public:
    explicit NoBackgroundTableView(CGRect frame = {});
    static std::shared_ptr<NoBackgroundTableView> make(CGRect frame = {}) {
        return std::make_shared<NoBackgroundTableView>(frame);
    }
    /// The header view's superview (when there are both) becomes layer-backed with corners of 8
    /// and a clear background; the enclosing scroll view and its content view stop drawing their
    /// backgrounds; the background colour becomes clear.
    void setup();
};

/// A table that lets a drag on it move the window.
class NonInteractiveTableView : public NSTableView {
public:
    explicit NonInteractiveTableView(CGRect frame = {}) : NSTableView(frame) {}
    static std::shared_ptr<NonInteractiveTableView> make(CGRect frame = {}) {
        return std::make_shared<NonInteractiveTableView>(frame);
    }
    bool mouseDownCanMoveWindow() const override { return true; }
};

/// A scroll view that swallows the scroll wheel.
class DisabledScrollView : public NSScrollView {
public:
    explicit DisabledScrollView(CGRect frame = {}) : NSScrollView(frame) {}
    static std::shared_ptr<DisabledScrollView> make(CGRect frame = {}) {
        auto view = std::make_shared<DisabledScrollView>(frame);
        view->tile();
        return view;
    }
    void scrollWheel(const NSEvent&) override {}
};

/// A scroll view that, with its content view, draws no background.
class NoBackgroundScrollView : public NSScrollView {
public:
    explicit NoBackgroundScrollView(CGRect frame = {});
    static std::shared_ptr<NoBackgroundScrollView> make(CGRect frame = {}) {
        auto view = std::make_shared<NoBackgroundScrollView>(frame);
        view->tile();
        return view;
    }
};

}  // namespace ZododuvoZoz
