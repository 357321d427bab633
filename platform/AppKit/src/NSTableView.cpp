#include "AppKit/NSTableView.hpp"

#include <algorithm>
#include <cmath>
#include <span>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSClipView.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSScrollView.hpp"

namespace {
// Sends awakeFromNib to a newly built view tree, as loading it from an interface file would.
void awaken(NSView& view) {
    view.awakeFromNib();
    for (const auto& subview : std::vector<std::shared_ptr<NSView>>(view.subviews())) awaken(*subview);
}

// Whether a view is among a parent's subviews: the same as the view's superview being the parent,
// found without taking hold of the superview (a row view holds a cell or two).
bool isSubview(const std::shared_ptr<NSView>& view, const NSView& parent) {
    const auto& subviews = parent.subviews();
    return std::find(subviews.begin(), subviews.end(), view) != subviews.end();
}
}  // namespace

NSTableView::NSTableView(CGRect frame) : NSView(frame) {}

void NSTableView::registerCellFactory(const std::string& identifier, CellFactory factory) {
    if (factory) {
        factories_[identifier] = std::move(factory);
    } else {
        factories_.erase(identifier);
    }
}

std::vector<std::shared_ptr<NSView>>* NSTableView::reuseQueue(const std::string& identifier, bool make) {
    if (lastQueue_ && lastQueue_->first == identifier) return &lastQueue_->second;
    auto queue = make ? reuseQueue_.try_emplace(identifier).first : reuseQueue_.find(identifier);
    if (queue == reuseQueue_.end()) return nullptr;
    lastQueue_ = &*queue;
    return &queue->second;
}

std::shared_ptr<NSView> NSTableView::makeView(const std::string& identifier, const std::shared_ptr<void>&) {
    if (auto* queued = reuseQueue(identifier, false); queued && !queued->empty()) {
        auto view = std::move(queued->back());
        queued->pop_back();
        return view;
    }
    auto factory = factories_.find(identifier);
    if (factory == factories_.end()) return nullptr;
    auto view = factory->second();
    if (!view) return nullptr;
    view->setIdentifier(identifier);
    awaken(*view);
    return view;
}

void NSTableView::reloadData() {
    auto source = dataSource_.lock();
    numberOfRows_ = source ? std::max(source->numberOfRows(*this), 0) : 0;
    update(true);
}

std::pair<int, int> NSTableView::rowsInView(const NSClipView* clip) const {
    if (!clip || rowPitch() <= 0) return {0, numberOfRows_};
    // The clip view is flipped as the table is: y runs down in both.
    CGRect visible = clip->bounds();
    CGFloat rows = numberOfRows_;
    CGFloat first = std::clamp<CGFloat>(std::floor((visible.minY() - frame().minY()) / rowPitch()), 0, rows);
    CGFloat last = std::clamp<CGFloat>(std::ceil((visible.maxY() - frame().minY()) / rowPitch()), first, rows);
    return {int(first), int(last)};
}

void NSTableView::fillRows(bool reload, const NSClipView* clip) {
    auto [first, last] = rowsInView(clip);
    // The rows are built anew in the room kept from the last fill, the old ones reused in place.
    std::vector<Row> old = std::exchange(rows_, std::move(spareRows_));
    rows_.clear();
    int oldFirst = std::exchange(firstRow_, first);
    auto inView = [&, first = first, last = last](int row) { return row >= first && row < last; };
    auto hadView = [&](int row) { return row >= oldFirst && row < oldFirst + int(old.size()); };

    // The cells of the rows that leave the view (all of them on a reload) are set aside for
    // makeView, still in place, and so are their row views: the top row's last, so that the rows
    // asked for next, from the top, get them in the order they had them. A row showing what it
    // showed keeps its views as they are (and draws nothing anew), and so does a row that takes
    // the place of one that scrolled out. A view the delegate gave to several cells is set aside
    // once, by the row holding it.
    for (int index = oldFirst + int(old.size()) - 1; index >= oldFirst; --index) {
        if (!reload && inView(index)) continue;
        Row& row = old[std::size_t(index - oldFirst)];
        for (auto cell = row.cells.rbegin(); cell != row.cells.rend(); ++cell) {
            if (*cell && !(*cell)->identifier().empty() && isSubview(*cell, *row.view))
                reuseQueue((*cell)->identifier(), true)->push_back(std::move(*cell));
        }
        if (!inView(index)) spareRowViews_.push_back(std::move(row.view));
    }

    // Whether a row view is still among the table's subviews, looked for from where the last one
    // was found: the rows mostly sit there in their order.
    auto inTable = [this, hint = std::size_t(0)](const std::shared_ptr<NSTableRowView>& view) mutable {
        const auto& subviews = this->subviews();
        auto from = subviews.begin() + std::ptrdiff_t(std::min(hint, subviews.size()));
        auto found = std::find(from, subviews.end(), view);
        if (found == subviews.end() && (found = std::find(subviews.begin(), from, view)) == from) return false;
        hint = std::size_t(found - subviews.begin()) + 1;
        return true;
    };
    // The delegate is asked for rows in view only, never past the count it was given, for the
    // columns as they are now (a table without columns has one cell a row, asked with none).
    auto delegate = delegate_.lock();
    std::vector<std::shared_ptr<NSTableColumn>> columns = columns_;
    const std::shared_ptr<NSTableColumn> noColumn;
    std::span<const std::shared_ptr<NSTableColumn>> askedColumns{columns};
    if (columns.empty()) askedColumns = {&noColumn, 1};
    for (int index = first; index < last; ++index) {
        if (hadView(index) && !reload) {
            rows_.push_back(std::move(old[std::size_t(index - oldFirst)]));
            continue;
        }
        Row row;
        if (hadView(index)) {
            row = std::move(old[std::size_t(index - oldFirst)]);
            row.cells.clear();
        } else if (!spareRowViews_.empty()) {
            row.view = std::move(spareRowViews_.back());
            spareRowViews_.pop_back();
        } else {
            row.view = std::make_shared<NSTableRowView>();
        }
        if (!inTable(row.view)) addSubview(row.view);
        for (const auto& column : askedColumns) {
            auto cell = delegate ? delegate->viewFor(*this, column, index) : nullptr;
            if (cell && !isSubview(cell, *row.view)) row.view->addSubview(cell);
            row.cells.push_back(std::move(cell));
        }
        rows_.push_back(std::move(row));
    }

    // What was not taken again leaves the rows: cells the delegate did not use, and the row views
    // of rows out of view.
    for (auto& [identifier, queued] : reuseQueue_) {
        for (auto& cell : queued) {
            if (cell->superview()) cell->removeFromSuperview();
        }
    }
    for (auto& spare : spareRowViews_) {
        if (spare->superview().get() != this) continue;
        spare->removeFromSuperview();
        for (auto& subview : std::vector<std::shared_ptr<NSView>>(spare->subviews())) subview->removeFromSuperview();
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!reload && hadView(first + int(i))) continue;
        // A row's cells that the delegate replaced.
        Row& row = rows_[i];
        auto replaced = [&row](const std::shared_ptr<NSView>& subview) {
            return std::find(row.cells.begin(), row.cells.end(), subview) == row.cells.end();
        };
        if (std::none_of(row.view->subviews().begin(), row.view->subviews().end(), replaced)) continue;
        for (auto& subview : std::vector<std::shared_ptr<NSView>>(row.view->subviews())) {
            if (replaced(subview)) {
                subview->removeFromSuperview();
                if (!subview->identifier().empty()) reuseQueue(subview->identifier(), true)->push_back(subview);
            }
        }
    }
    old.clear();
    spareRows_ = std::move(old);
}

void NSTableView::setRowHeight(CGFloat height) {
    rowHeight_ = std::max<CGFloat>(height, 0);
    tile();
}

void NSTableView::setIntercellSpacing(CGSize spacing) {
    intercellSpacing_ = spacing;
    tile();
}

CGRect NSTableView::rectOfRow(int row) const {
    if (row < 0 || row >= numberOfRows_) return CGRect::zero();
    return {0, row * rowPitch(), bounds().width(), rowPitch()};
}

std::shared_ptr<NSTableRowView> NSTableView::rowView(int row) const {
    if (row < firstRow_ || row - firstRow_ >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[std::size_t(row - firstRow_)].view;
}

std::shared_ptr<NSView> NSTableView::view(int column, int row) const {
    if (row < firstRow_ || row - firstRow_ >= static_cast<int>(rows_.size())) return nullptr;
    const auto& cells = rows_[std::size_t(row - firstRow_)].cells;
    if (column < 0 || column >= static_cast<int>(cells.size())) return nullptr;
    return cells[std::size_t(column)];
}

void NSTableView::scrollRowToVisible(int row) {
    auto clip = std::dynamic_pointer_cast<NSClipView>(superview());
    CGRect rect = rectOfRow(row);
    if (!clip || rect.isEmpty()) return;
    // The table is flipped, as its clip view then is: y runs down in both.
    CGRect visible = clip->bounds();
    CGPoint origin = visible.origin;
    if (rect.maxY() > visible.maxY()) origin.y = rect.maxY() - visible.height();
    if (rect.minY() < origin.y) origin.y = rect.minY();
    clip->scroll(origin);
}

void NSTableView::keyDown(const NSEvent& event) {
    bool down = event.keyCode == NSEvent::KeyCode::downArrow;
    if (!down && event.keyCode != NSEvent::KeyCode::upArrow) {
        NSView::keyDown(event);
        return;
    }
    auto clip = std::dynamic_pointer_cast<NSClipView>(superview());
    if (!clip || numberOfRows_ == 0) return;
    CGRect visible = clip->bounds();
    // The first row reaching below the view, or the last reaching above it.
    int row = down ? int(std::floor(visible.maxY() / rowPitch() + 1e-9)) : int(std::ceil(visible.minY() / rowPitch() - 1e-9)) - 1;
    scrollRowToVisible(std::clamp(row, 0, numberOfRows_ - 1));
}

void NSTableView::addTableColumn(const std::shared_ptr<NSTableColumn>& column) {
    if (!column || std::find(columns_.begin(), columns_.end(), column) != columns_.end()) return;
    columns_.push_back(column);
    if (headerView_) headerView_->setNeedsDisplay();
}

void NSTableView::removeTableColumn(const std::shared_ptr<NSTableColumn>& column) {
    std::erase(columns_, column);
    if (headerView_) headerView_->setNeedsDisplay();
}

void NSTableView::setBackgroundColor(const std::shared_ptr<NSColor>& color) {
    if (color == backgroundColor_) return;
    backgroundColor_ = color;
    setNeedsDisplay();
}

void NSTableView::setHeaderView(const std::shared_ptr<NSTableHeaderView>& headerView) {
    if (headerView_ == headerView) return;
    if (headerView_) headerView_->removeFromSuperview();
    headerView_ = headerView;
    if (headerView_) {
        if (auto self = std::dynamic_pointer_cast<NSTableView>(weak_from_this().lock())) headerView_->setTableView(self);
    }
    if (auto scrollView = enclosingScrollView()) scrollView->tile();
}

void NSTableView::tile() { update(false); }

void NSTableView::update(bool reload) {
    // A clip view that scrolls while the table sizes itself or asks its delegate calls tile again.
    if (updating_ && !reload) return;
    struct Updating {
        bool& flag;
        bool was;
        ~Updating() { flag = was; }
    } updating{updating_, std::exchange(updating_, true)};

    CGRect frame = this->frame();
    CGFloat height = numberOfRows_ * rowPitch();
    auto clip = std::dynamic_pointer_cast<NSClipView>(superview());
    if (clip) {
        frame.size.width = clip->bounds().width();
        height = std::max(height, clip->bounds().height());
    }
    frame.size.height = height;
    if (frame != this->frame()) {
        setFrame(frame);
        // A shorter table may leave the clip view scrolled past its end.
        if (clip) clip->scroll(clip->bounds().origin);
    }
    // The clip view is no scroll view: the one the table is in is the clip view's.
    auto scrollView = clip ? clip->enclosingScrollView() : enclosingScrollView();
    if (scrollView) scrollView->setVerticalLineScroll(rowPitch());
    fillRows(reload, clip.get());
    placeRows();
}

void NSTableView::placeRows() {
    CGFloat width = bounds().width();
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        Row& row = rows_[index];
        row.view->setFrame({0, CGFloat(firstRow_ + int(index)) * rowPitch(), width, rowPitch()});
        // Cells sit inside their row, half the spacing in from each side.
        CGFloat x = 0;
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            bool last = c + 1 == row.cells.size();
            CGFloat columnWidth = columns_.empty() ? width : columns_[c]->width();
            if (last) columnWidth = std::max(columnWidth, width - x);
            if (auto& cell = row.cells[c]) {
                cell->setFrame({x + intercellSpacing_.width / 2, intercellSpacing_.height / 2,
                                std::max<CGFloat>(0, columnWidth - intercellSpacing_.width), rowHeight_});
            }
            x += columnWidth;
        }
    }
}

void NSTableView::layout() {
    NSView::layout();
    tile();
}

void NSTableView::draw(const CGRect&) {
    if (!backgroundColor_) return;
    backgroundColor_->setFill();
    NSBezierPath::rect(bounds())->fill();
}

void NSTableHeaderView::draw(const CGRect&) {
    CGRect b = bounds();
    if (auto table = tableView()) {
        CGFloat x = 0;
        const auto& columns = table->tableColumns();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            CGFloat width = c + 1 == columns.size() ? std::max(columns[c]->width(), b.width() - x) : columns[c]->width();
            NSAttributedString title(columns[c]->title(),
                                     {{NSAttributedStringKey::font(), NSFont::systemFont(11)},
                                      {NSAttributedStringKey::foregroundColor(), NSColor::secondaryLabelColor()}});
            CGSize size = title.size();
            CGRect cell{x + 6, b.midY() - size.height / 2, std::max<CGFloat>(0, width - 12), size.height};
            title.draw(cell);
            x += width;
        }
    }
    NSColor::separatorColor()->setFill();
    NSBezierPath::rect({b.minX(), b.maxY() - 1, b.width(), 1})->fill();
}
