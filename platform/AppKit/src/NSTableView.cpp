#include "AppKit/NSTableView.hpp"

#include <algorithm>
#include <cmath>

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

}  // namespace

NSTableView::NSTableView(CGRect frame) : NSView(frame) {}

void NSTableView::registerCellFactory(const std::string& identifier, CellFactory factory) {
    if (factory) {
        factories_[identifier] = std::move(factory);
    } else {
        factories_.erase(identifier);
    }
}

std::shared_ptr<NSView> NSTableView::makeView(const std::string& identifier, const std::shared_ptr<void>&) {
    auto queued = reuseQueue_.find(identifier);
    if (queued != reuseQueue_.end() && !queued->second.empty()) {
        auto view = std::move(queued->second.back());
        queued->second.pop_back();
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
    std::vector<Row> old = std::exchange(rows_, {});
    int oldFirst = std::exchange(firstRow_, first);
    auto inView = [first = first, last = last](int row) { return row >= first && row < last; };

    // The cells of the rows asked anew (all of them on a reload) and of those that leave the view
    // are set aside for makeView, still in place; the row views of rows that leave the view are
    // kept for those that come into it. Bottom row first, so that the rows asked for next, from
    // the top, get the cells they had. On a scroll, a row that stays in view keeps its views as
    // they are and draws nothing anew.
    for (int index = oldFirst + int(old.size()) - 1; index >= oldFirst; --index) {
        if (!reload && inView(index)) continue;
        Row& row = old[std::size_t(index - oldFirst)];
        const auto& cells = row.view->subviews();
        for (auto cell = cells.rbegin(); cell != cells.rend(); ++cell) {
            if (!(*cell)->identifier().empty()) reuseQueue_[(*cell)->identifier()].push_back(*cell);
        }
        if (!inView(index)) spareRowViews_.push_back(std::move(row.view));
    }

    // The rows in view, top down: a row that was in view keeps its row view (and on a scroll its
    // cells), another takes a spare one. The delegate is asked for rows in view only, never past
    // the count it was given, for the columns as they are now (a table without columns has one
    // cell a row, asked with none). A cell given back to the row it was in stays where it is.
    auto delegate = delegate_.lock();
    std::vector<std::shared_ptr<NSTableColumn>> columns = columns_;
    if (columns.empty()) columns.push_back(nullptr);
    for (int index = first; index < last; ++index) {
        bool hadView = index >= oldFirst && index < oldFirst + int(old.size());
        if (hadView && !reload) {
            rows_.push_back(std::move(old[std::size_t(index - oldFirst)]));
            continue;
        }
        Row row;
        if (hadView) {
            row.view = std::move(old[std::size_t(index - oldFirst)].view);
        } else if (!spareRowViews_.empty()) {
            row.view = std::move(spareRowViews_.back());
            spareRowViews_.pop_back();
        } else {
            row.view = std::make_shared<NSTableRowView>();
        }
        if (row.view->superview().get() != this) addSubview(row.view);
        for (const auto& column : columns) {
            auto cell = delegate ? delegate->viewFor(*this, column, index) : nullptr;
            if (cell && cell->superview() != row.view) row.view->addSubview(cell);
            row.cells.push_back(std::move(cell));
        }
        // The views the row had and did not get back leave it; those set aside wait in the queue.
        for (const auto& subview : std::vector<std::shared_ptr<NSView>>(row.view->subviews())) {
            if (std::find(row.cells.begin(), row.cells.end(), subview) == row.cells.end()) subview->removeFromSuperview();
        }
        rows_.push_back(std::move(row));
    }

    // What was not taken again leaves the rows: the cells set aside, and the row views of rows
    // out of view.
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
