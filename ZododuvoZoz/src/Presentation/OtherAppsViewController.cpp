#include "ZododuvoZoz/Presentation/OtherAppsViewController.hpp"

#include <algorithm>
#include <cctype>

#include "AppKit/NSNib.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/FatalError.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/URL.hpp"
#include "Presentation/PresentationStoryboards.hpp"
#include "ZododuvoZoz/Resources.hpp"
#include "ZuzeDiv/WebRequest.hpp"

namespace ZododuvoZoz {

namespace {
const char* const cellIdentifier = "OtherAppCell";

// German for a language code that contains "de" in any case; English otherwise.
bool prefersGerman() {
    auto code = Locale::current().languageCode();
    if (!code) return false;
    std::string lower = *code;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.find("de") != std::string::npos;
}

// The scroll view around the view, when there is one, draws no background.
void clearEnclosingScrollView(const std::shared_ptr<NSView>& view) {
    if (!view) return;
    auto scroll = view->enclosingScrollView();
    if (!scroll) return;
    scroll->setDrawsBackground(false);
    scroll->contentView()->setDrawsBackground(false);
    scroll->setBackgroundColor(NSColor::clearColor());
}

// Icons come from the web and from files; an address of another kind shows none.
bool isLoadable(const URL& url) { return url.isFileURL() || url.scheme() == "http" || url.scheme() == "https"; }

// The icon fetched off the main thread, handed to `done` on the main queue (none when it cannot be
// fetched). A file is read as the file manager reads one: only a regular file of bounded size, as a
// FIFO would hold the read and a device would never end.
void loadImage(const URL& url, std::function<void(std::shared_ptr<NSImage>)> done) {
    auto show = [done = std::move(done)](const std::optional<Data>& data) {
        auto image = data ? NSImage::fromData(*data) : nullptr;
        DispatchQueue::main().async([done, image = std::move(image)] { done(image); });
    };
    if (url.isFileURL()) {
        DispatchQueue::global().async([path = url.path(), show] { show(FileManager::defaultManager().contents(path)); });
        return;
    }
    ZuzeDiv::WebRequest::getUnencoded(url.absoluteString(), [show](std::optional<Data> data, std::optional<URLError>) { show(data); });
}
}  // namespace

void OtherAppsViewController::viewDidLoad() {
    NSViewController::viewDidLoad();
    registerPresentationStoryboards();
    auto collection = collectionView.lock();
    if (!collection) return;
    collection->registerNib(NSNib::make(cellIdentifier, Resources::bundle()), cellIdentifier);
    auto self = shared_from_this();
    collection->setDataSource(std::shared_ptr<NSCollectionViewDataSource>(self, static_cast<NSCollectionViewDataSource*>(this)));
    collection->setDelegate(
        std::shared_ptr<NSCollectionViewDelegate>(self, static_cast<NSCollectionViewDelegateFlowLayout*>(this)));
}

void OtherAppsViewController::viewWillAppear() {
    NSViewController::viewWillAppear();
    clearBackgrounds();
}

void OtherAppsViewController::viewDidAppear() {
    NSViewController::viewDidAppear();
    refresh();
}

void OtherAppsViewController::clearBackgrounds() {
    clearEnclosingScrollView(scrollView.lock());
    clearEnclosingScrollView(collectionView.lock());
}

void OtherAppsViewController::refresh() {
    std::weak_ptr<OtherAppsViewController> weak =
        std::static_pointer_cast<OtherAppsViewController>(shared_from_this());
    auto fetch = ++latestFetch_;
    Marketing::fetchApps(filter(), [weak, fetch](std::vector<OtherApp> apps) {
        // Decoded on the session's queue; the views are touched on the main queue only. An answer
        // that comes after a newer fetch began is old news and is dropped.
        DispatchQueue::main().async([weak, fetch, apps = std::move(apps)]() mutable {
            auto self = weak.lock();
            if (self && self->latestFetch_ == fetch) self->show(std::move(apps));
        });
    });
}

void OtherAppsViewController::refresh(const Selector::Sender&) { refresh(); }

Selector OtherAppsViewController::refreshAction() {
    return Selector::make<OtherAppsViewController>(
        "refresh", static_cast<void (OtherAppsViewController::*)(const Selector::Sender&)>(&OtherAppsViewController::refresh));
}

void OtherAppsViewController::show(std::vector<OtherApp> apps) {
    apps_ = std::move(apps);
    if (auto scroll = scrollView.lock()) scroll->setHidden(apps_.empty());
    if (auto info = infoView.lock()) info->setHidden(!apps_.empty());
    if (auto collection = collectionView.lock()) collection->reloadData();
}

int OtherAppsViewController::numberOfSections(NSCollectionView&) { return 1; }

int OtherAppsViewController::numberOfItems(NSCollectionView&, int) { return int(apps_.size()); }

std::shared_ptr<NSCollectionViewItem> OtherAppsViewController::itemForRepresentedObjectAt(NSCollectionView& collection,
                                                                                          const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<OtherAppCell>(collection.makeItem(cellIdentifier, indexPath));
    if (!cell) fatalError("Could not create cell.");
    if (indexPath.item < 0 || std::size_t(indexPath.item) >= apps_.size()) return cell;
    const OtherApp& app = apps_[std::size_t(indexPath.item)];
    if (auto title = cell->appTitle.lock()) title->setStringValue(app.name);
    if (auto subtitle = cell->appSubtitle.lock()) subtitle->setStringValue(prefersGerman() ? app.german : app.english);
    auto url = URL::string(app.iconUrl);
    if (!url || !isLoadable(*url)) {
        if (auto icon = cell->iconView.lock()) icon->setImage(nullptr);
        return cell;
    }
    // Read off the main thread, so that a slow host never holds up the screen; a tile made anew
    // meanwhile is a new object, and the old one's icon goes nowhere.
    std::weak_ptr<OtherAppCell> weakCell = cell;
    loadImage(*url, [weakCell](std::shared_ptr<NSImage> image) {
        auto tile = weakCell.lock();
        if (!tile) return;
        if (auto icon = tile->iconView.lock()) {
            icon->setImage(image);
            icon->setNeedsLayout(true);
        }
    });
    return cell;
}

std::optional<CGSize> OtherAppsViewController::sizeForItemAt(NSCollectionView&, NSCollectionViewLayout&, const IndexPath&) {
    return CGSize{256, 232};
}

std::optional<CGFloat> OtherAppsViewController::minimumLineSpacingForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) {
    return 16;
}

std::optional<CGFloat> OtherAppsViewController::minimumInteritemSpacingForSectionAt(NSCollectionView&,
                                                                                     NSCollectionViewLayout&, int) {
    return 8;
}

std::optional<NSEdgeInsets> OtherAppsViewController::insetForSectionAt(NSCollectionView&, NSCollectionViewLayout&, int) {
    return NSEdgeInsets{24, 24, 24, 32};
}

void OtherAppsViewController::didSelectItemsAt(NSCollectionView& collection, const std::set<IndexPath>& indexPaths) {
    if (!indexPaths.empty()) {
        const IndexPath& first = *indexPaths.begin();
        if (first.item >= 0 && std::size_t(first.item) < apps_.size()) {
            if (auto url = URL::string(apps_[std::size_t(first.item)].storeUrl)) NSWorkspace::shared().open(*url);
        }
    }
    collection.deselectAll();
}

}  // namespace ZododuvoZoz
