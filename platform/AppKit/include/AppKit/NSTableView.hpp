#pragma once
// A view-based table: a data source tells the number of rows and a delegate makes the view of
// each row (and column). Rows run top down (the table is flipped), each rowHeight plus the
// vertical intercell spacing apart. Only the rows in view have views: inside a clip view those
// its bounds show, else all of them. Cell views come from makeView(withIdentifier:), which takes a
// view the table set aside (from a row that left the view, or at a reload) or builds one with the
// factory registered for the identifier (the stand-in for a storyboard's cell prototypes).
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSTableColumn.hpp"
#include "AppKit/NSTableHeaderView.hpp"
#include "AppKit/NSView.hpp"

class NSClipView;
class NSTableView;

class NSTableViewDataSource {
public:
    virtual ~NSTableViewDataSource() = default;
    /// The number of rows; none unless answered.
    virtual int numberOfRows(NSTableView& /*tableView*/) { return 0; }
};

class NSTableViewDelegate {
public:
    virtual ~NSTableViewDelegate() = default;
    /// The view for a row in a column (no column for a table without columns); none leaves the
    /// cell empty.
    virtual std::shared_ptr<NSView> viewFor(NSTableView& /*tableView*/, const std::shared_ptr<NSTableColumn>& /*tableColumn*/,
                                            int /*row*/) {
        return nullptr;
    }
};

/// One row of a table, holding the row's cell views.
class NSTableRowView : public NSView {
public:
    explicit NSTableRowView(CGRect frame = {}) : NSView(frame) {}
    bool isFlipped() const override { return true; }
};

class NSTableView : public NSView {
public:
    /// Builds a new cell view with its subviews and outlets; the table sets its identifier and
    /// sends awakeFromNib to each view of it.
    using CellFactory = std::function<std::shared_ptr<NSView>()>;

    explicit NSTableView(CGRect frame = {});
    static std::shared_ptr<NSTableView> make(CGRect frame = {}) { return std::make_shared<NSTableView>(frame); }

    /// Held weakly.
    std::shared_ptr<NSTableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<NSTableViewDataSource>& dataSource) { dataSource_ = dataSource; }
    std::shared_ptr<NSTableViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<NSTableViewDelegate>& delegate) { delegate_ = delegate; }

    // Cell views.
    /// Registers the factory of cell views for an identifier (replacing an earlier one); an empty
    /// factory removes it.
    void registerCellFactory(const std::string& identifier, CellFactory factory);
    /// A cell view set aside under the identifier, else a new one from the
    /// factory; nullptr for an identifier without a factory (or a factory that made nothing).
    /// The owner is accepted as the platform's callers pass it; it plays no part here.
    std::shared_ptr<NSView> makeView(const std::string& identifier, const std::shared_ptr<void>& owner = nullptr);

    // Rows.
    /// Asks the data source for the number of rows once, sizes the table to them, then asks the
    /// delegate for the view of each row in view (per column) and lays those rows out top down.
    /// The views the rows had are set aside by their identifier for makeView, each offered first
    /// to the row it was in; rows and cells that stay as they were are not drawn again.
    void reloadData();
    /// The number of rows of the last reload.
    int numberOfRows() const { return numberOfRows_; }
    /// 17 points unless set.
    CGFloat rowHeight() const { return rowHeight_; }
    void setRowHeight(CGFloat height);
    /// (3, 2) unless set: horizontal space between columns, vertical space between rows.
    CGSize intercellSpacing() const { return intercellSpacing_; }
    void setIntercellSpacing(CGSize spacing);
    /// The rectangle of a row (rowHeight plus the vertical spacing high, the table's width);
    /// empty for a row that does not exist.
    CGRect rectOfRow(int row) const;
    /// The row's view; nullptr for a row that does not exist or is out of view.
    std::shared_ptr<NSTableRowView> rowView(int row) const;
    /// The cell view of a row in a column (column 0 in a table without columns); nullptr for an
    /// empty cell, or one that does not exist or is out of view.
    std::shared_ptr<NSView> view(int column, int row) const;
    /// Scrolls the enclosing scroll view as little as brings the whole row into view.
    void scrollRowToVisible(int row);

    // Columns.
    const std::vector<std::shared_ptr<NSTableColumn>>& tableColumns() const { return columns_; }
    void addTableColumn(const std::shared_ptr<NSTableColumn>& column);
    void removeTableColumn(const std::shared_ptr<NSTableColumn>& column);

    // Looks.
    /// The control background colour unless set; drawn over the table's bounds.
    virtual std::shared_ptr<NSColor> backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(const std::shared_ptr<NSColor>& color);
    /// None unless set; a scroll view shows it above its content.
    std::shared_ptr<NSTableHeaderView> headerView() const { return headerView_; }
    void setHeaderView(const std::shared_ptr<NSTableHeaderView>& headerView);

    /// Sizes the table to its rows (at least as high as the clip view it is in, as wide as it),
    /// makes a row of the enclosing scroll view's line scroll, sets aside the views of rows that
    /// left the view, asks the delegate for those of rows that came into it, and places the rows
    /// and their cells. The clip view calls it whenever it scrolls.
    void tile();

    bool isFlipped() const override { return true; }
    void layout() override;
    void draw(const CGRect& dirtyRect) override;
    /// A table handles presses on its rows, so a drag on it does not move the window.
    bool mouseDownCanMoveWindow() const override { return false; }
    /// A table takes the keys: the down and up arrows bring the next row below or above those in
    /// full view into view; the other keys go on to the next responder (the scroll view pages).
    bool acceptsFirstResponder() const override { return true; }
    void keyDown(const NSEvent& event) override;

private:
    struct Row {
        std::shared_ptr<NSTableRowView> view;
        std::vector<std::shared_ptr<NSView>> cells;  // one per column (one for no columns); may be null
    };
    CGFloat rowPitch() const { return rowHeight_ + intercellSpacing_.height; }
    /// The first row in view of the clip view the table is in (none: every row) and the one past
    /// the last.
    std::pair<int, int> rowsInView(const NSClipView* clip) const;
    /// Sizes the table and gives the rows in view their views (every row asked anew on a reload).
    void update(bool reload);
    void fillRows(bool reload, const NSClipView* clip);
    void placeRows();

    std::weak_ptr<NSTableViewDataSource> dataSource_;
    std::weak_ptr<NSTableViewDelegate> delegate_;
    std::map<std::string, CellFactory> factories_;
    std::map<std::string, std::vector<std::shared_ptr<NSView>>> reuseQueue_;  // by identifier
    std::vector<Row> rows_;  // the rows in view, from firstRow_ on
    int firstRow_ = 0;
    std::vector<std::shared_ptr<NSTableRowView>> spareRowViews_;
    bool updating_ = false;
    int numberOfRows_ = 0;
    CGFloat rowHeight_ = 17;
    CGSize intercellSpacing_{3, 2};
    std::vector<std::shared_ptr<NSTableColumn>> columns_;
    std::shared_ptr<NSColor> backgroundColor_ = NSColor::controlBackgroundColor();
    std::shared_ptr<NSTableHeaderView> headerView_;
};
