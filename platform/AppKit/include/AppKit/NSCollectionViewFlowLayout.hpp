#pragma once
// How a collection view places its items. The flow layout sets them in lines from left to right,
// section after section, wrapping where the next item would pass the width less the section's
// insets; lines are as high as their highest item. Sizes, spacings and insets are its own unless
// the collection view's delegate answers them for an item or section.
#include <map>
#include <memory>

#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/IndexPath.hpp"

class NSCollectionView;

struct NSEdgeInsets {
    CGFloat top = 0;
    CGFloat left = 0;
    CGFloat bottom = 0;
    CGFloat right = 0;
    bool operator==(const NSEdgeInsets&) const = default;
};

class NSCollectionViewLayout {
public:
    virtual ~NSCollectionViewLayout() = default;

    struct Placement {
        std::map<IndexPath, CGRect> frames;
        CGSize contentSize;
    };
    /// Where each item of the collection view goes (in its flipped coordinates) for a width.
    virtual Placement place(NSCollectionView& collectionView, CGFloat width) = 0;
};

class NSCollectionViewFlowLayout : public NSCollectionViewLayout {
public:
    static std::shared_ptr<NSCollectionViewFlowLayout> make() { return std::make_shared<NSCollectionViewFlowLayout>(); }

    /// 50 by 50 unless set.
    CGSize itemSize() const { return itemSize_; }
    void setItemSize(CGSize size) { itemSize_ = size; }
    /// Between lines; 10 unless set.
    CGFloat minimumLineSpacing() const { return lineSpacing_; }
    void setMinimumLineSpacing(CGFloat spacing) { lineSpacing_ = spacing; }
    /// Between items of a line; 10 unless set.
    CGFloat minimumInteritemSpacing() const { return interitemSpacing_; }
    void setMinimumInteritemSpacing(CGFloat spacing) { interitemSpacing_ = spacing; }
    /// Around each section; none unless set.
    NSEdgeInsets sectionInset() const { return sectionInset_; }
    void setSectionInset(NSEdgeInsets insets) { sectionInset_ = insets; }

    Placement place(NSCollectionView& collectionView, CGFloat width) override;

private:
    CGSize itemSize_{50, 50};
    CGFloat lineSpacing_ = 10;
    CGFloat interitemSpacing_ = 10;
    NSEdgeInsets sectionInset_;
};
