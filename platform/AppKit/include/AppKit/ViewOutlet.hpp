#pragma once
// An outlet to a view of another view's tree, held weakly as outlets are. The view that owns the
// outlet can borrow the view through it without taking hold of it while it holds that view among
// its own subviews: filling a table's row then sets its views without touching a reference count.
#include <memory>

#include "AppKit/NSView.hpp"

template <class View>
class ViewOutlet {
public:
    /// The outlet's view for the time a caller uses it: a plain pointer while the owner holds the
    /// view among its subviews, else the view held here.
    class Borrowed {
    public:
        View* get() const { return view_; }
        View* operator->() const { return view_; }
        View& operator*() const { return *view_; }
        explicit operator bool() const { return view_ != nullptr; }

    private:
        friend class ViewOutlet;
        explicit Borrowed(View* view) : view_(view) {}
        explicit Borrowed(std::shared_ptr<View> held) : view_(held.get()), held_(std::move(held)) {}
        View* view_;
        std::shared_ptr<View> held_;
    };

    ViewOutlet() = default;
    ViewOutlet(const std::shared_ptr<View>& view) : view_(view), pointer_(view.get()) {}
    ViewOutlet& operator=(const std::shared_ptr<View>& view) {
        view_ = view;
        pointer_ = view.get();
        return *this;
    }

    std::shared_ptr<View> lock() const { return view_.lock(); }
    bool expired() const { return view_.expired(); }
    void reset() { *this = ViewOutlet(); }

    /// The view as lock() gives it, borrowed from `owner` when it is one of owner's subviews. The
    /// subview shares the view's owner (its control block), so the view lives as long as the
    /// owner holds it, and the pointer taken when the outlet was set is the one lock() gives.
    Borrowed borrow(const NSView& owner) const {
        if (!pointer_) return Borrowed(nullptr);
        for (const auto& subview : owner.subviews()) {
            if (!subview.owner_before(view_) && !view_.owner_before(subview)) return Borrowed(pointer_);
        }
        return Borrowed(view_.lock());
    }

private:
    std::weak_ptr<View> view_;
    View* pointer_ = nullptr;
};
