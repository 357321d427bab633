#pragma once
// A view that shows a collection of items in a layout (a flow layout unless set). A data source
// tells the sections, the number of items of each and makes each item, from makeItem(withIdentifier:),
// which builds one from the nib or factory registered for the identifier. A click on an item of a
// selectable collection selects it alone and tells the delegate. The first of its background
// colours fills its bounds, and a background view, when set, lies under all its other content,
// filling its bounds. Inside a scroll view it is as wide as the clip view and as high as its items
// (at least as high as the clip view).
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AppKit/NSCollectionViewFlowLayout.hpp"
#include "AppKit/NSCollectionViewItem.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSNib.hpp"
#include "AppKit/NSView.hpp"
#include "Foundation/IndexPath.hpp"

class NSCollectionView;

class NSCollectionViewDataSource {
public:
    virtual ~NSCollectionViewDataSource() = default;
    /// One unless answered.
    virtual int numberOfSections(NSCollectionView& /*collectionView*/) { return 1; }
    virtual int numberOfItems(NSCollectionView& collectionView, int section) = 0;
    /// The item to show at the index path (made with makeItem); none leaves the place empty.
    virtual std::shared_ptr<NSCollectionViewItem> itemForRepresentedObjectAt(NSCollectionView& collectionView,
                                                                             const IndexPath& indexPath) = 0;
};

class NSCollectionViewDelegate {
public:
    virtual ~NSCollectionViewDelegate() = default;
    /// The user selected the items.
    virtual void didSelectItemsAt(NSCollectionView& /*collectionView*/, const std::set<IndexPath>& /*indexPaths*/) {}
};

/// A delegate that also answers the flow layout's questions; an answer of none leaves the
/// layout's own value.
class NSCollectionViewDelegateFlowLayout : public NSCollectionViewDelegate {
public:
    virtual std::optional<CGSize> sizeForItemAt(NSCollectionView&, NSCollectionViewLayout&, const IndexPath&) {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> minimumLineSpacingForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> minimumInteritemSpacingForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) {
        return std::nullopt;
    }
    virtual std::optional<NSEdgeInsets> insetForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) {
        return std::nullopt;
    }
};

class NSCollectionView : public NSView {
public:
    /// Builds a new item with its view and outlets.
    using ItemFactory = std::function<std::shared_ptr<NSCollectionViewItem>()>;

    explicit NSCollectionView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<NSCollectionView> make(CGRect frame = {}) { return std::make_shared<NSCollectionView>(frame); }

    /// The control background colour alone unless set; the first colour is drawn.
    const std::vector<std::shared_ptr<NSColor>>& backgroundColors() const { return backgroundColors_; }
    void setBackgroundColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    virtual std::shared_ptr<NSView> backgroundView() const { return backgroundView_; }
    virtual void setBackgroundView(const std::shared_ptr<NSView>& view);

    // Data source, delegate and layout.
    /// Held weakly.
    std::shared_ptr<NSCollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<NSCollectionViewDataSource>& dataSource) { dataSource_ = dataSource; }
    /// Held weakly.
    std::shared_ptr<NSCollectionViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<NSCollectionViewDelegate>& delegate) { delegate_ = delegate; }
    const std::shared_ptr<NSCollectionViewLayout>& collectionViewLayout() const { return layout_; }
    void setCollectionViewLayout(const std::shared_ptr<NSCollectionViewLayout>& layout);

    // Items.
    /// Items for the identifier come from the nib (its top-level object) from now on.
    void registerNib(const std::shared_ptr<NSNib>& nib, const std::string& identifier);
    /// Items for the identifier come from the factory from now on; an empty one removes it.
    void registerItem(ItemFactory factory, const std::string& identifier);
    /// A new item with its view loaded; nullptr for an identifier with nothing registered, or a
    /// nib whose object is no item.
    std::shared_ptr<NSCollectionViewItem> makeItem(const std::string& identifier, const IndexPath& indexPath);
    /// Asks the data source for the sections, their item counts and each item, shows the items
    /// where the layout places them and drops the selection.
    void reloadData();
    int numberOfSections() const { return int(counts_.size()); }
    /// The number of items of a section at the last reload; 0 for a section that does not exist.
    int numberOfItems(int section) const;
    /// The item shown at the index path; nullptr when there is none.
    std::shared_ptr<NSCollectionViewItem> item(const IndexPath& indexPath) const;
    /// The index path of the item whose view contains the point (in the collection view's bounds).
    std::optional<IndexPath> indexPathForItem(CGPoint point) const;

    // Selection.
    /// False unless set: clicks select nothing.
    bool isSelectable() const { return selectable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }
    const std::set<IndexPath>& selectionIndexPaths() const { return selection_; }
    /// Selects exactly these items (without telling the delegate).
    void setSelectionIndexPaths(const std::set<IndexPath>& indexPaths);
    void deselectAll(const std::shared_ptr<void>& /*sender*/ = nullptr) { setSelectionIndexPaths({}); }

    /// Sizes the view to its content and places the items' views.
    void tile();

    bool isFlipped() const override { return true; }
    void layout() override;
    void draw(const CGRect& dirtyRect) override;
    /// A click on an item of a selectable collection selects it and tells the delegate.
    void mouseDown(const NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }

private:
    std::vector<std::shared_ptr<NSColor>> backgroundColors_{NSColor::controlBackgroundColor()};
    std::shared_ptr<NSView> backgroundView_;
    std::weak_ptr<NSCollectionViewDataSource> dataSource_;
    std::weak_ptr<NSCollectionViewDelegate> delegate_;
    std::shared_ptr<NSCollectionViewLayout> layout_ = NSCollectionViewFlowLayout::make();
    std::map<std::string, ItemFactory> factories_;
    std::vector<int> counts_;
    std::map<IndexPath, std::shared_ptr<NSCollectionViewItem>> items_;
    std::map<IndexPath, CGRect> frames_;
    bool selectable_ = false;
    std::set<IndexPath> selection_;
};
