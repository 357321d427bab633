#pragma once
// The controller of one item of a collection view: its view, shown where the layout places it,
// and whether it is selected.
#include <memory>

#include "AppKit/NSViewController.hpp"

class NSCollectionView;

class NSCollectionViewItem : public NSViewController {
public:
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected) { selected_ = selected; }
    /// The collection view showing the item; none before it is shown.
    std::shared_ptr<NSCollectionView> collectionView() const { return collectionView_.lock(); }
    void setCollectionView(const std::shared_ptr<NSCollectionView>& view) { collectionView_ = view; }

private:
    bool selected_ = false;
    std::weak_ptr<NSCollectionView> collectionView_;
};
