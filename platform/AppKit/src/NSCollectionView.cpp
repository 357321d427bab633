#include "AppKit/NSCollectionView.hpp"

#include <algorithm>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSClipView.hpp"
#include "AppKit/NSEvent.hpp"

namespace {
// A view built by a factory hears awakeFromNib, as one loaded from an interface file does.
void awaken(NSView& view) {
    view.awakeFromNib();
    for (const auto& subview : std::vector<std::shared_ptr<NSView>>(view.subviews())) awaken(*subview);
}
}  // namespace

void NSCollectionView::setBackgroundColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    backgroundColors_ = colors;
    setNeedsDisplay();
}

void NSCollectionView::setBackgroundView(const std::shared_ptr<NSView>& view) {
    if (view == backgroundView_) return;
    if (backgroundView_ && backgroundView_->superview().get() == this) backgroundView_->removeFromSuperview();
    backgroundView_ = view;
    if (!view) return;
    addSubview(view, Ordering::below, nullptr);
    view->setFrame(bounds());
}

void NSCollectionView::setCollectionViewLayout(const std::shared_ptr<NSCollectionViewLayout>& layout) {
    layout_ = layout ? layout : NSCollectionViewFlowLayout::make();
    tile();
}

void NSCollectionView::registerNib(const std::shared_ptr<NSNib>& nib, const std::string& identifier) {
    if (!nib) {
        factories_.erase(identifier);
        return;
    }
    factories_[identifier] = [nib] { return std::dynamic_pointer_cast<NSCollectionViewItem>(nib->instantiate()); };
}

void NSCollectionView::registerItem(ItemFactory factory, const std::string& identifier) {
    if (factory) {
        factories_[identifier] = std::move(factory);
    } else {
        factories_.erase(identifier);
    }
}

std::shared_ptr<NSCollectionViewItem> NSCollectionView::makeItem(const std::string& identifier, const IndexPath&) {
    auto factory = factories_.find(identifier);
    if (factory == factories_.end()) return nullptr;
    auto item = factory->second();
    if (!item) return nullptr;
    auto view = item->view();
    if (view) awaken(*view);
    return item;
}

void NSCollectionView::reloadData() {
    for (auto& [path, item] : items_) {
        if (auto view = item->isViewLoaded() ? item->view() : nullptr; view && view->superview().get() == this) {
            view->removeFromSuperview();
        }
        item->setSelected(false);
    }
    items_.clear();
    counts_.clear();
    selection_.clear();
    auto self = std::static_pointer_cast<NSCollectionView>(shared_from_this());
    if (auto source = dataSource_.lock()) {
        int sections = std::max(source->numberOfSections(*this), 0);
        for (int section = 0; section < sections; ++section) counts_.push_back(std::max(source->numberOfItems(*this, section), 0));
        // Only the index paths just counted are asked for.
        for (int section = 0; section < sections; ++section) {
            for (int index = 0; index < counts_[std::size_t(section)]; ++index) {
                IndexPath path{section, index};
                auto item = source->itemForRepresentedObjectAt(*this, path);
                if (!item) continue;
                item->setCollectionView(self);
                if (auto view = item->view()) addSubview(view);
                items_[path] = item;
            }
        }
    }
    tile();
    setNeedsDisplay();
}

int NSCollectionView::numberOfItems(int section) const {
    if (section < 0 || section >= int(counts_.size())) return 0;
    return counts_[std::size_t(section)];
}

std::shared_ptr<NSCollectionViewItem> NSCollectionView::item(const IndexPath& indexPath) const {
    auto it = items_.find(indexPath);
    return it == items_.end() ? nullptr : it->second;
}

std::optional<IndexPath> NSCollectionView::indexPathForItem(CGPoint point) const {
    for (const auto& [path, item] : items_) {
        auto frame = frames_.find(path);
        if (frame != frames_.end() && frame->second.contains(point)) return path;
    }
    return std::nullopt;
}

void NSCollectionView::setSelectionIndexPaths(const std::set<IndexPath>& indexPaths) {
    selection_.clear();
    for (const auto& path : indexPaths) {
        if (path.section >= 0 && path.item >= 0 && path.item < numberOfItems(path.section)) selection_.insert(path);
    }
    for (auto& [path, item] : items_) item->setSelected(selection_.contains(path));
    setNeedsDisplay();
}

void NSCollectionView::tile() {
    auto clip = std::dynamic_pointer_cast<NSClipView>(superview());
    CGFloat width = clip ? clip->bounds().width() : bounds().width();
    auto placement = layout_->place(*this, width);
    frames_ = placement.frames;
    if (clip) {
        CGRect frame = this->frame();
        frame.size = {width, std::max(placement.contentSize.height, clip->bounds().height())};
        if (frame != this->frame()) {
            setFrame(frame);
            clip->scroll(clip->bounds().origin);
        }
    }
    for (auto& [path, item] : items_) {
        auto frame = frames_.find(path);
        if (frame == frames_.end() || !item->isViewLoaded()) continue;
        item->view()->setFrame(frame->second);
    }
}

void NSCollectionView::layout() {
    NSView::layout();
    if (backgroundView_) backgroundView_->setFrame(bounds());
    tile();
}

void NSCollectionView::draw(const CGRect&) {
    if (backgroundColors_.empty() || !backgroundColors_.front()) return;
    backgroundColors_.front()->setFill();
    NSBezierPath::rect(bounds())->fill();
}

void NSCollectionView::mouseDown(const NSEvent& event) {
    if (!selectable_) return;
    auto path = indexPathForItem(convert(event.locationInWindow, nullptr));
    if (!path) return;
    std::set<IndexPath> selected{*path};
    setSelectionIndexPaths(selected);
    if (auto delegate = delegate_.lock()) delegate->didSelectItemsAt(*this, selected);
}
