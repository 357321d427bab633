#include "AppKit/NSCollectionViewFlowLayout.hpp"

#include <algorithm>

#include "AppKit/NSCollectionView.hpp"

NSCollectionViewLayout::Placement NSCollectionViewFlowLayout::place(NSCollectionView& collectionView, CGFloat width) {
    Placement placement;
    auto flow = std::dynamic_pointer_cast<NSCollectionViewDelegateFlowLayout>(collectionView.delegate());
    CGFloat top = 0;
    CGFloat widest = 0;
    for (int section = 0; section < collectionView.numberOfSections(); ++section) {
        NSEdgeInsets insets = sectionInset_;
        CGFloat lineSpacing = lineSpacing_, itemSpacing = interitemSpacing_;
        if (flow) {
            insets = flow->insetForSectionAt(collectionView, *this, section).value_or(insets);
            lineSpacing = flow->minimumLineSpacingForSectionAt(collectionView, *this, section).value_or(lineSpacing);
            itemSpacing = flow->minimumInteritemSpacingForSectionAt(collectionView, *this, section).value_or(itemSpacing);
        }
        CGFloat right = width - insets.right;
        CGFloat x = insets.left, y = top + insets.top, lineHeight = 0;
        bool lineEmpty = true;
        for (int index = 0; index < collectionView.numberOfItems(section); ++index) {
            IndexPath path{section, index};
            CGSize size = itemSize_;
            if (flow) size = flow->sizeForItemAt(collectionView, *this, path).value_or(size);
            // Wrap before an item that would pass the right inset, unless it is a line's first.
            if (!lineEmpty && x + size.width > right) {
                x = insets.left;
                y += lineHeight + lineSpacing;
                lineHeight = 0;
                lineEmpty = true;
            }
            placement.frames[path] = CGRect{x, y, size.width, size.height};
            widest = std::max(widest, x + size.width + insets.right);
            x += size.width + itemSpacing;
            lineHeight = std::max(lineHeight, size.height);
            lineEmpty = false;
        }
        top = y + lineHeight + insets.bottom;
    }
    placement.contentSize = {std::max(width, widest), top};
    return placement;
}
