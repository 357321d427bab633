#include <gtest/gtest.h>

#include <functional>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSOutlineView.hpp"
#include "AppKit/NSScrollView.hpp"
#include "AppKit/NSTableCellView.hpp"
#include "AppKit/NSTableView.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "AppKitTestSupport.hpp"

namespace {
// A cell prototype: a cell view with a text field, counting how often it was woken.
class CountingCell : public NSTableCellView {
public:
    using NSTableCellView::NSTableCellView;
    void awakeFromNib() override { ++awakenings; }
    int awakenings = 0;
};

// A table's data source and delegate over a list of texts; a row of an empty text gets no view,
// one of a text starting with "~" a cell of the identifier "other".
class Rows : public NSTableViewDataSource, public NSTableViewDelegate {
public:
    std::vector<std::string> texts;
    int countQueries = 0;
    std::vector<int> asked;

    int numberOfRows(NSTableView&) override {
        ++countQueries;
        return static_cast<int>(texts.size());
    }
    std::shared_ptr<NSView> viewFor(NSTableView& table, const std::shared_ptr<NSTableColumn>&, int row) override {
        asked.push_back(row);
        const std::string& text = texts.at(std::size_t(row));  // throws past the end
        if (text.empty()) return nullptr;
        auto cell = std::dynamic_pointer_cast<NSTableCellView>(table.makeView(text.starts_with('~') ? "other" : "single"));
        if (!cell) return nullptr;
        cell->textField()->setStringValue(text);
        return cell;
    }
};

NSTableView::CellFactory prototype(int* built) {
    return [built] {
        if (built) ++*built;
        auto cell = std::make_shared<CountingCell>(CGRect{0, 0, 300, 96});
        auto field = NSTextField::labelWithString("");
        cell->addSubview(field);
        cell->setTextField(field);
        return cell;
    };
}

std::shared_ptr<NSTableView> tableWithPrototype(int* built = nullptr) {
    auto table = NSTableView::make({0, 0, 300, 0});
    table->setRowHeight(96);
    table->setIntercellSpacing({0, 0});
    table->registerCellFactory("single", prototype(built));
    return table;
}

std::string textOfRow(const NSTableView& table, int row) {
    auto cell = std::dynamic_pointer_cast<NSTableCellView>(table.view(0, row));
    return cell && cell->textField() ? cell->textField()->stringValue() : "<none>";
}
}  // namespace

using TableView = AppKitTest;

TEST_F(TableView, ReloadLaysRowsOutTopDownAtTheRowHeight) {
    auto rows = std::make_shared<Rows>();
    rows->texts = {"Mouse", "Keyboard", "Trackpad"};
    auto table = tableWithPrototype();
    table->setDataSource(rows);
    table->setDelegate(rows);
    table->reloadData();

    EXPECT_EQ(rows->countQueries, 1);
    EXPECT_EQ(rows->asked, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(table->numberOfRows(), 3);
    EXPECT_TRUE(table->isFlipped());
    EXPECT_EQ(table->frame().size, (CGSize{300, 288}));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(table->rectOfRow(row), (CGRect{0, 96.0 * row, 300, 96}));
        EXPECT_EQ(table->rowView(row)->frame(), (CGRect{0, 96.0 * row, 300, 96}));
        EXPECT_EQ(table->view(0, row)->frame(), (CGRect{0, 0, 300, 96}));
        EXPECT_EQ(table->view(0, row)->identifier(), "single");
    }
    EXPECT_EQ(textOfRow(*table, 0), "Mouse");
    EXPECT_EQ(textOfRow(*table, 2), "Trackpad");
    EXPECT_FALSE(table->view(0, 3));
    EXPECT_EQ(table->rectOfRow(3), CGRect::zero());

    // With spacing, rows are rowHeight + spacing apart and cells sit half the spacing in.
    table->setIntercellSpacing({4, 2});
    EXPECT_EQ(table->rowView(1)->frame(), (CGRect{0, 98, 300, 98}));
    EXPECT_EQ(table->view(0, 1)->frame(), (CGRect{2, 1, 296, 96}));
}

TEST_F(TableView, CellsAreReusedByIdentifierAndWokenOnceWhenBuilt) {
    int built = 0;
    auto rows = std::make_shared<Rows>();
    rows->texts = {"a", "b", "c"};
    auto table = tableWithPrototype(&built);
    table->setDataSource(rows);
    table->setDelegate(rows);
    table->reloadData();
    ASSERT_EQ(built, 3);
    std::vector<std::shared_ptr<NSView>> first{table->view(0, 0), table->view(0, 1), table->view(0, 2)};

    table->reloadData();
    EXPECT_EQ(built, 3);  // all three came back from the reuse queue
    for (int row = 0; row < 3; ++row) {
        EXPECT_NE(std::find(first.begin(), first.end(), table->view(0, row)), first.end());
        EXPECT_EQ(table->view(0, row)->superview(), table->rowView(row));
        EXPECT_EQ(std::static_pointer_cast<CountingCell>(table->view(0, row))->awakenings, 1);
    }

    // Rows of two identifiers in turn: each gets a cell of its own identifier back.
    int others = 0;
    table->registerCellFactory("other", prototype(&others));
    rows->texts = {"a", "~b", "c"};
    table->reloadData();
    table->reloadData();
    EXPECT_EQ(built, 3);
    EXPECT_EQ(others, 1);
    EXPECT_EQ(table->view(0, 1)->identifier(), "other");
    EXPECT_EQ(table->view(0, 2)->identifier(), "single");

    rows->texts = {"a", "b", "c", "d", "e"};  // more rows: two more cells are built
    table->reloadData();
    EXPECT_EQ(built, 5);
    EXPECT_EQ(table->frame().height(), 480);
    rows->texts = {"z"};  // fewer rows: the rest wait in the queue
    table->reloadData();
    EXPECT_EQ(table->subviews().size(), 1u);
    EXPECT_EQ(table->frame().height(), 96);
    EXPECT_EQ(textOfRow(*table, 0), "z");
    rows->texts.clear();
    table->reloadData();
    EXPECT_EQ(table->numberOfRows(), 0);
    EXPECT_TRUE(table->subviews().empty());
    EXPECT_EQ(table->frame().height(), 0);

    EXPECT_FALSE(table->makeView("double"));  // no prototype of that name
    table->registerCellFactory("single", nullptr);  // the five set aside are still handed out
    int handedOut = 0;
    while (table->makeView("single")) ++handedOut;
    EXPECT_EQ(handedOut, 5);
}

TEST_F(TableView, OnlyTheRowsInViewHaveViewsAndScrollingReusesThem) {
    int built = 0;
    auto rows = std::make_shared<Rows>();
    for (int i = 0; i < 200; ++i) rows->texts.push_back("row " + std::to_string(i));
    auto table = tableWithPrototype(&built);
    table->setDataSource(rows);
    table->setDelegate(rows);
    auto scroll = NSScrollView::make({0, 0, 300, 960});  // ten rows
    scroll->setDocumentView(table);
    auto asked = [&rows](int from, int to) {
        std::vector<int> expected;
        for (int row = from; row < to; ++row) expected.push_back(row);
        bool same = rows->asked == expected;
        rows->asked.clear();
        return same;
    };
    table->reloadData();
    EXPECT_EQ(table->frame().height(), 200 * 96);
    EXPECT_TRUE(asked(0, 10));
    EXPECT_EQ(built, 10);
    EXPECT_FALSE(table->view(0, 10));
    EXPECT_FALSE(table->rowView(10));

    // Five and a half rows down: rows 10 to 15 come in, in the views of the five that left.
    scroll->scrollTowardsEnd(5.5 * 96);
    EXPECT_TRUE(asked(10, 16));
    EXPECT_EQ(built, 11);
    EXPECT_EQ(table->subviews().size(), 11u);
    EXPECT_FALSE(table->view(0, 4));
    EXPECT_EQ(textOfRow(*table, 15), "row 15");
    EXPECT_EQ(table->rowView(15)->frame().minY(), 15 * 96);

    // A reload asks for the rows in view alone, each keeping its views.
    auto cell = table->view(0, 7);
    table->reloadData();
    EXPECT_TRUE(asked(5, 16));
    EXPECT_EQ(table->view(0, 7), cell);
    scroll->scrollTowardsEnd(200 * 96);
    EXPECT_TRUE(asked(190, 200));
    EXPECT_EQ(textOfRow(*table, 199), "row 199");
    EXPECT_EQ(built, 11);
}

TEST_F(TableView, RowsWithoutViewsStayEmptyAndTheTableLivesOn) {
    auto rows = std::make_shared<Rows>();
    rows->texts = {"first", "", "third"};
    auto table = tableWithPrototype();
    table->setDataSource(rows);
    table->setDelegate(rows);
    table->reloadData();
    ASSERT_EQ(table->numberOfRows(), 3);
    EXPECT_FALSE(table->view(0, 1));
    EXPECT_TRUE(table->rowView(1)->subviews().empty());
    EXPECT_EQ(textOfRow(*table, 2), "third");
    EXPECT_EQ(table->rowView(2)->frame().minY(), 192);
    EXPECT_TRUE(ViewRenderer::image(*table));

    // Without a delegate every row is empty; without a data source there are no rows.
    table->setDelegate(nullptr);
    table->reloadData();
    EXPECT_EQ(table->numberOfRows(), 3);
    EXPECT_FALSE(table->view(0, 0));
    rows.reset();  // the table holds both weakly
    table->reloadData();
    EXPECT_EQ(table->numberOfRows(), 0);
}

TEST_F(TableView, ColumnsShareTheRowAndTheLastTakesTheRest) {
    struct Columns : NSTableViewDataSource, NSTableViewDelegate {
        std::vector<std::string> seen;
        int numberOfRows(NSTableView&) override { return 1; }
        std::shared_ptr<NSView> viewFor(NSTableView&, const std::shared_ptr<NSTableColumn>& column, int) override {
            seen.push_back(column ? column->identifier() : "<none>");
            return NSView::make();
        }
    };
    auto columns = std::make_shared<Columns>();
    auto table = NSTableView::make({0, 0, 300, 100});
    table->setDataSource(columns);
    table->setDelegate(columns);
    table->reloadData();
    EXPECT_EQ(columns->seen, (std::vector<std::string>{"<none>"}));

    auto name = NSTableColumn::make("name");
    name->setWidth(120);
    table->addTableColumn(name);
    table->addTableColumn(NSTableColumn::make("level"));
    table->reloadData();
    EXPECT_EQ(columns->seen, (std::vector<std::string>{"<none>", "name", "level"}));
    EXPECT_EQ(table->view(0, 0)->frame(), (CGRect{1.5, 1, 117, 17}));
    EXPECT_EQ(table->view(1, 0)->frame(), (CGRect{121.5, 1, 177, 17}));
}

TEST_F(TableView, AScrollViewShowsTheTableAtItsWidthWithTheHeaderAbove) {
    auto rows = std::make_shared<Rows>();
    rows->texts = {"a", "b", "c", "d"};
    auto table = tableWithPrototype();
    table->setDataSource(rows);
    table->setDelegate(rows);
    auto scroll = NSScrollView::make({0, 0, 240, 200});
    scroll->setDocumentView(table);
    table->reloadData();

    EXPECT_EQ(table->enclosingScrollView(), scroll);
    EXPECT_EQ(table->superview(), scroll->contentView());
    EXPECT_EQ(table->frame().size, (CGSize{240, 384}));
    EXPECT_EQ(scroll->documentVisibleRect(), (CGRect{0, 0, 240, 200}));  // the top rows
    EXPECT_FALSE(scroll->headerClipView());

    // The wheel scrolls within the document: down, then past the end, then back past the top;
    // a wheel's line is a row.
    NSEvent wheel;
    wheel.type = NSEvent::EventType::scrollWheel;
    wheel.hasPreciseScrollingDeltas = true;  // in points
    wheel.scrollingDeltaY = -50;
    table->view(0, 0)->scrollWheel(wheel);  // passed up from the cell to the scroll view
    EXPECT_EQ(scroll->documentVisibleRect().minY(), 50);
    wheel.scrollingDeltaY = -1000;
    scroll->scrollWheel(wheel);
    EXPECT_EQ(scroll->documentVisibleRect().minY(), 184);
    wheel.scrollingDeltaY = 1000;
    scroll->scrollWheel(wheel);
    EXPECT_EQ(scroll->documentVisibleRect().minY(), 0);
    wheel.hasPreciseScrollingDeltas = false;  // in lines
    wheel.scrollingDeltaY = -1;
    scroll->scrollWheel(wheel);
    EXPECT_EQ(scroll->documentVisibleRect().minY(), 96);

    // A shorter table still fills the clip view; a wider scroll view widens it.
    rows->texts = {"a"};
    table->reloadData();
    EXPECT_EQ(table->frame().size, (CGSize{240, 200}));
    scroll->setFrameSize({320, 200});
    scroll->layoutSubtreeIfNeeded();
    EXPECT_EQ(table->frame().width(), 320);
    EXPECT_EQ(table->view(0, 0)->frame().width(), 320);

    table->setHeaderView(NSTableHeaderView::make());
    auto header = scroll->headerClipView();
    ASSERT_TRUE(header);
    EXPECT_EQ(table->headerView()->superview(), header);
    EXPECT_EQ(header->frame(), (CGRect{0, 172, 320, 28}));
    EXPECT_EQ(scroll->contentView()->frame(), (CGRect{0, 0, 320, 172}));
    table->setHeaderView(nullptr);
    EXPECT_FALSE(scroll->headerClipView());
    EXPECT_EQ(scroll->contentView()->frame(), (CGRect{0, 0, 320, 200}));
}

TEST_F(TableView, RowsDrawWhereTheyAreAndTheClipViewCutsThemOff) {
    // Each row is a coloured bar; the scroll view shows 150 of 3 x 96 points.
    struct Bars : NSTableViewDataSource, NSTableViewDelegate {
        int count = 3;
        int numberOfRows(NSTableView&) override { return count; }
        std::shared_ptr<NSView> viewFor(NSTableView&, const std::shared_ptr<NSTableColumn>&, int row) override {
            auto bar = NSView::make();
            bar->setWantsLayer(true);
            bar->layer()->setBackgroundColor(row % 2 ? CGColor{0, 0, 1, 1} : CGColor{1, 0, 0, 1});
            return bar;
        }
    };
    auto bars = std::make_shared<Bars>();
    auto table = NSTableView::make();
    table->setRowHeight(96);
    table->setIntercellSpacing({0, 0});
    table->setBackgroundColor(NSColor::clearColor());
    table->setDataSource(bars);
    table->setDelegate(bars);
    auto root = NSView::make({0, 0, 100, 200});
    auto scroll = NSScrollView::make({0, 0, 100, 150});
    root->addSubview(scroll);
    scroll->setDocumentView(table);
    scroll->setDrawsBackground(false);
    table->reloadData();

    auto image = ViewRenderer::image(*root);
    EXPECT_EQ(pixelAt(*image, 50, 140), (Bytes{255, 0, 0, 255}));  // row 0 at the top
    EXPECT_EQ(pixelAt(*image, 50, 40), (Bytes{0, 0, 255, 255}));   // row 1 below it
    EXPECT_EQ(pixelAt(*image, 50, 170)[3], 0);                     // nothing above the scroll view

    // Rows that scroll into view are drawn where they are: row 101 at the top, row 102 below.
    bars->count = 200;
    table->reloadData();
    scroll->scrollTowardsEnd(101 * 96);
    image = ViewRenderer::image(*root);
    EXPECT_EQ(pixelAt(*image, 50, 140), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(*image, 50, 40), (Bytes{255, 0, 0, 255}));

    scroll->setHidden(true);
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*root), 50, 140)[3], 0);
}

TEST_F(TableView, BackgroundsOfTablesAndClipViews) {
    auto table = NSOutlineView::make({0, 0, 50, 50});
    auto scroll = NSScrollView::make({0, 0, 50, 50});
    scroll->setDocumentView(table);
    auto image = ViewRenderer::image(*scroll);
    EXPECT_EQ(pixelAt(*image, 25, 25), (Bytes{255, 255, 255, 255}));  // the control background

    table->setBackgroundColor(NSColor::clearColor());
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*scroll), 25, 25), (Bytes{255, 255, 255, 255}));  // the clip view's
    scroll->setDrawsBackground(false);
    EXPECT_FALSE(scroll->contentView()->drawsBackground());
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*scroll), 25, 25)[3], 0);
}
