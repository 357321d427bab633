#include <gtest/gtest.h>

#include "AppKit/NSCollectionView.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSNib.hpp"
#include "AppKit/NSScrollView.hpp"

namespace {
// Items of a fixed size in sections of given counts; records what it was asked.
class Items : public NSCollectionViewDataSource, public NSCollectionViewDelegateFlowLayout {
public:
    std::vector<int> counts{5};
    std::optional<CGSize> size;
    std::optional<NSEdgeInsets> insets;
    std::vector<IndexPath> asked;
    std::vector<std::set<IndexPath>> selections;

    int numberOfSections(NSCollectionView&) override { return int(counts.size()); }
    int numberOfItems(NSCollectionView&, int section) override { return counts.at(std::size_t(section)); }
    std::shared_ptr<NSCollectionViewItem> itemForRepresentedObjectAt(NSCollectionView& view, const IndexPath& path) override {
        asked.push_back(path);
        return view.makeItem("item", path);
    }
    std::optional<CGSize> sizeForItemAt(NSCollectionView&, NSCollectionViewLayout&, const IndexPath&) override { return size; }
    std::optional<NSEdgeInsets> insetForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) override { return insets; }
    void didSelectItemsAt(NSCollectionView&, const std::set<IndexPath>& paths) override { selections.push_back(paths); }
};

struct Collection {
    std::shared_ptr<NSScrollView> scroll = NSScrollView::make({0, 0, 300, 200});
    std::shared_ptr<NSCollectionView> view = NSCollectionView::make();
    std::shared_ptr<Items> items = std::make_shared<Items>();

    Collection() {
        scroll->setDocumentView(view);
        view->registerItem([] { return std::make_shared<NSCollectionViewItem>(); }, "item");
        view->setDataSource(items);
        view->setDelegate(items);
    }
};

NSEvent clickAt(CGPoint point) {
    NSEvent event;
    event.type = NSEvent::EventType::leftMouseDown;
    event.locationInWindow = point;
    return event;
}
}  // namespace

TEST(CollectionView, FlowLayoutFillsLinesAndWrapsWithinTheInsets) {
    Collection c;
    c.items->size = CGSize{80, 40};
    c.items->insets = NSEdgeInsets{5, 10, 5, 20};
    c.view->reloadData();
    ASSERT_EQ(c.view->numberOfItems(0), 5);
    // 10 + 80 + 10 + 80 + 10 + 80 = 270 fits within 300 - 20; the fourth item wraps.
    EXPECT_EQ(c.view->item({0, 0})->view()->frame(), (CGRect{10, 5, 80, 40}));
    EXPECT_EQ(c.view->item({0, 2})->view()->frame(), (CGRect{190, 5, 80, 40}));
    EXPECT_EQ(c.view->item({0, 3})->view()->frame(), (CGRect{10, 55, 80, 40}));
    // As wide as the clip view, at least as high; the items lie in it top down.
    EXPECT_EQ(c.view->frame().size, (CGSize{300, 200}));
    c.items->counts = {20};
    c.view->reloadData();
    EXPECT_EQ(c.view->frame().height(), 5 + 7 * 40 + 6 * 10 + 5);
    EXPECT_EQ(c.view->subviews().size(), 20u);  // the old items' views are gone
}

TEST(CollectionView, AsksOnlyForCountedItemsOfEverySection) {
    Collection c;
    c.items->counts = {2, 0, 1};
    c.view->reloadData();
    EXPECT_EQ(c.items->asked, (std::vector<IndexPath>{{0, 0}, {0, 1}, {2, 0}}));
    EXPECT_EQ(c.view->numberOfSections(), 3);
    EXPECT_EQ(c.view->numberOfItems(7), 0);
    EXPECT_EQ(c.view->item({1, 0}), nullptr);
    // Sections follow each other: the third starts under the first's line.
    EXPECT_EQ(c.view->item({2, 0})->view()->frame().minY(), 50 + 0);
}

TEST(CollectionView, ClicksSelectOneItemOfASelectableCollection) {
    Collection c;
    c.view->reloadData();
    c.view->mouseDown(clickAt({70, 25}));  // item 1 (10 apart, 50 wide); the view is flipped
    EXPECT_TRUE(c.items->selections.empty());
    c.view->setSelectable(true);
    c.view->mouseDown(clickAt({70, 175}));  // 25 under the top of the 200-point scroll view
    ASSERT_EQ(c.items->selections.size(), 1u);
    EXPECT_EQ(c.items->selections[0], (std::set<IndexPath>{{0, 1}}));
    EXPECT_TRUE(c.view->item({0, 1})->isSelected());
    c.view->mouseDown(clickAt({55, 175}));  // between items: nothing
    EXPECT_EQ(c.items->selections.size(), 1u);
    c.view->deselectAll();
    EXPECT_TRUE(c.view->selectionIndexPaths().empty());
    EXPECT_FALSE(c.view->item({0, 1})->isSelected());
    c.view->setSelectionIndexPaths({{0, 4}, {0, 9}});
    EXPECT_EQ(c.view->selectionIndexPaths(), (std::set<IndexPath>{{0, 4}}));  // no item 9
}

TEST(CollectionView, ItemsComeFromRegisteredNibs) {
    NSStoryboard::registerStoryboard("CollectionTestItem", {"item", {{"item", [] {
        auto item = std::make_shared<NSCollectionViewItem>();
        item->setView(NSView::make({0, 0, 10, 10}));
        return item;
    }}}});
    NSStoryboard::registerStoryboard("CollectionTestNotAnItem",
                                     {"item", {{"item", [] { return std::make_shared<NSViewController>(); }}}});
    EXPECT_EQ(NSNib::make("NoSuchNib"), nullptr);
    auto view = NSCollectionView::make();
    view->registerNib(NSNib::make("CollectionTestItem"), "a");
    view->registerNib(NSNib::make("CollectionTestNotAnItem"), "b");
    auto first = view->makeItem("a", {0, 0});
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, view->makeItem("a", {0, 1}));  // a fresh one each time
    EXPECT_EQ(view->makeItem("b", {0, 0}), nullptr);
    EXPECT_EQ(view->makeItem("c", {0, 0}), nullptr);
    NSStoryboard::unregisterStoryboard("CollectionTestItem");
    NSStoryboard::unregisterStoryboard("CollectionTestNotAnItem");
}
