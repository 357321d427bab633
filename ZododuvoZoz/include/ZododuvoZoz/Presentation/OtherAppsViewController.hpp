#pragma once
// The other-apps screen: the maker's other applications as tiles (icon, name, one line in German
// or English) in a collection view, fetched anew each time the screen appears; a click on a tile
// opens the application's store page. An empty list shows the information view instead. Built
// from the module's storyboard "OtherApps", its tiles from the nib "OtherAppCell".
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AppKit/NSCollectionView.hpp"
#include "AppKit/NSCollectionViewItem.hpp"
#include "AppKit/NSImageView.hpp"
#include "AppKit/NSScrollView.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSViewController.hpp"
#include "AppKit/Selector.hpp"
#include "ZododuvoZoz/Presentation/OtherApps.hpp"

namespace ZododuvoZoz {

/// One tile of the screen; its views come from the nib.
class OtherAppCell : public NSCollectionViewItem {
public:
    std::weak_ptr<NSImageView> iconView;
    std::weak_ptr<NSTextField> appTitle;
    std::weak_ptr<NSTextField> appSubtitle;
};

class OtherAppsViewController : public NSViewController,
                                public NSCollectionViewDataSource,
                                public NSCollectionViewDelegateFlowLayout {
public:
    // Outlets, connected by the storyboard.
    std::weak_ptr<NSScrollView> scrollView;
    std::weak_ptr<NSCollectionView> collectionView;
    /// Shown instead of the tiles when the list is empty.
    std::weak_ptr<NSView> infoView;

    /// The applications shown, in feed order; empty until the first fetch completes.
    const std::vector<OtherApp>& apps() const { return apps_; }
    void setApps(const std::vector<OtherApp>& apps) { apps_ = apps; }
    /// The bundle identifier left out of the list; set by the host before the screen is shown.
    virtual const std::optional<std::string>& filter() const { return filter_; }
    virtual void setFilter(const std::optional<std::string>& filter) { filter_ = filter; }

    /// Fetches the feed again; the screen shows the result once it is back, on the main queue,
    /// unless a newer fetch has begun meanwhile.
    virtual void refresh();
    /// The action "refresh" of controls and menus.
    void refresh(const Selector::Sender& sender);
    static Selector refreshAction();
    /// Turns off the backgrounds of the scroll views around the scroll view and around the
    /// collection view, so the window's shows through.
    virtual void clearBackgrounds();

    /// Registers the nib "OtherAppCell" for the tiles and becomes the collection's data source
    /// and delegate.
    void viewDidLoad() override;
    void viewWillAppear() override;
    /// Fetches the feed.
    void viewDidAppear() override;

    // The collection's data source: one section, one tile per application.
    int numberOfSections(NSCollectionView& collectionView) override;
    int numberOfItems(NSCollectionView& collectionView, int section) override;
    /// The tile for an application; stops the process with "Could not create cell." when the
    /// collection view makes no OtherAppCell. The icon, fetched over http or https only, arrives
    /// later, on the main queue.
    std::shared_ptr<NSCollectionViewItem> itemForRepresentedObjectAt(NSCollectionView& collectionView,
                                                                     const IndexPath& indexPath) override;
    // Its layout: tiles of 256 by 232, lines 16 apart, tiles 8 apart, insets 24, 24, 24, 32.
    std::optional<CGSize> sizeForItemAt(NSCollectionView&, NSCollectionViewLayout&, const IndexPath&) override;
    std::optional<CGFloat> minimumLineSpacingForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) override;
    std::optional<NSEdgeInsets> insetForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) override;
    /// Opens the store page of the first selected application (when its address parses), then
    /// deselects everything.
    void didSelectItemsAt(NSCollectionView& collectionView, const std::set<IndexPath>& indexPaths) override;

private:
    /// Shows a fetched list: stores it, shows the tiles or the information view, reloads.
    void show(std::vector<OtherApp> apps);

    std::vector<OtherApp> apps_;
    std::optional<std::string> filter_;
    /// The number of the newest fetch; only its answer is shown.
    std::atomic<std::uint64_t> latestFetch_ = 0;
};

}  // namespace ZododuvoZoz
