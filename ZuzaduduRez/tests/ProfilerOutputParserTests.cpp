#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "ZuzaduduRez/ProfilerOutputParser.hpp"

using namespace ZuzaduduRez;

namespace {

std::string readFixture(const std::string& name) {
    std::ifstream file(std::string(QUILLON_FIXTURES_DIR) + "/profiler/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> childNames(const std::shared_ptr<OutputNode>& node) {
    std::vector<std::string> names;
    for (const auto& child : node->children) names.push_back(child->name);
    return names;
}

std::string text(const std::shared_ptr<OutputNode>& node, const std::string& key) {
    return node->properties->value<std::string>(key).value_or("<missing>");
}

const std::string kWorkedExample =
    "Bluetooth:\n"
    "      Bluetooth Controller:\n"
    "          Address: 11-22-33\n"
    "          State: On\n"
    "      Connected:\n"
    "          Headphones:\n"
    "              Left Battery Level: 80%\n"
    "              Right Battery Level: 70%\n"
    "      Not Connected:\n"
    "          Mouse:\n";

}  // namespace

TEST(ProfilerOutputParser, HeadingsGoUnderTheNearestLessIndentedHeading) {
    auto tree = ProfilerOutputParser().parse(kWorkedExample);
    ASSERT_EQ(tree->nodes.size(), 1u);
    auto bluetooth = tree->nodes[0];
    EXPECT_EQ(bluetooth->name, "Bluetooth");
    EXPECT_EQ(bluetooth->parent, nullptr);
    // After the fall of two levels, "Not Connected" is a sibling of "Connected", not its child.
    ASSERT_EQ(childNames(bluetooth), (std::vector<std::string>{"Bluetooth Controller", "Connected", "Not Connected"}));
    auto controller = bluetooth->children[0], connected = bluetooth->children[1], notConnected = bluetooth->children[2];
    EXPECT_EQ(controller->properties->count(), 2u);
    EXPECT_EQ(text(controller, "Address"), "11-22-33");
    EXPECT_EQ(text(controller, "State"), "On");
    ASSERT_EQ(childNames(connected), std::vector<std::string>{"Headphones"});
    auto headphones = connected->children[0];
    EXPECT_EQ(headphones->parent, connected);
    EXPECT_EQ(text(headphones, "Left Battery Level"), "80%");
    EXPECT_EQ(text(headphones, "Right Battery Level"), "70%");
    EXPECT_EQ(notConnected->parent, bluetooth);
    ASSERT_EQ(childNames(notConnected), std::vector<std::string>{"Mouse"});
    EXPECT_EQ(notConnected->children[0]->properties->count(), 0u);

    EXPECT_EQ(tree->description(),
              "Bluetooth:\n"
              "  Bluetooth Controller:\n"
              "    Address: 11-22-33\n"
              "    State: On\n"
              "  Connected:\n"
              "    Headphones:\n"
              "      Left Battery Level: 80%\n"
              "      Right Battery Level: 70%\n"
              "  Not Connected:\n"
              "    Mouse:\n");
}

TEST(ProfilerOutputParser, SiblingDevicesKeepTheirOwnProperties) {
    // A device heading straight after its sibling's heading, and a property line after a fall of
    // indentation: each line lands on the heading it is indented under.
    auto tree = ProfilerOutputParser().parse(
        "Bluetooth:\n"
        "    Connected:\n"
        "        Keyboard:\n"
        "        Headset:\n"
        "            Battery Level: 40%\n"
        "        Earbuds:\n"
        "            Details:\n"
        "                Firmware: 1.2\n"
        "            Left Battery Level: 90%\n"
        "    State: On\n");
    auto bluetooth = tree->nodes.at(0);
    EXPECT_EQ(childNames(bluetooth), std::vector<std::string>{"Connected"});
    EXPECT_EQ(text(bluetooth, "State"), "On");
    auto connected = bluetooth->children.at(0);
    ASSERT_EQ(childNames(connected), (std::vector<std::string>{"Keyboard", "Headset", "Earbuds"}));
    EXPECT_EQ(connected->children[0]->properties->count(), 0u);
    EXPECT_EQ(text(connected->children[1], "Battery Level"), "40%");
    auto earbuds = connected->children[2];
    EXPECT_EQ(text(earbuds, "Left Battery Level"), "90%");
    EXPECT_EQ(text(earbuds->children.at(0), "Firmware"), "1.2");
}

TEST(ProfilerOutputParser, AnEmptyConnectedSectionStaysEmpty) {
    auto tree = ProfilerOutputParser().parse(readFixture("bluetooth-empty-connected.txt"));
    auto bluetooth = tree->nodes.at(0);
    ASSERT_EQ(childNames(bluetooth), (std::vector<std::string>{"Bluetooth Controller", "Connected", "Not Connected"}));
    EXPECT_TRUE(bluetooth->children[1]->children.empty());
    EXPECT_EQ(bluetooth->children[1]->properties->count(), 0u);
    auto notConnected = bluetooth->children[2];
    EXPECT_EQ(childNames(notConnected), (std::vector<std::string>{"Glide Mouse", "Zephyr Buds"}));
    EXPECT_EQ(text(notConnected->children[0], "Battery Level"), "45%");
}

TEST(ProfilerOutputParser, NoTextGivesNoNodes) {
    EXPECT_TRUE(ProfilerOutputParser().parse(std::nullopt)->nodes.empty());
    EXPECT_TRUE(ProfilerOutputParser().parse("")->nodes.empty());
    EXPECT_TRUE(ProfilerOutputParser().parse("\n\n")->nodes.empty());
    auto single = ProfilerOutputParser().parse("Bluetooth:");
    ASSERT_EQ(single->nodes.size(), 1u);
    EXPECT_EQ(single->nodes[0]->name, "Bluetooth");
    EXPECT_TRUE(single->nodes[0]->children.empty());
    EXPECT_EQ(single->nodes[0]->properties->count(), 0u);
}

TEST(ProfilerOutputParser, PropertyLinesSplitAtTheOneSplitter) {
    auto tree = ProfilerOutputParser().parse(
        "Device:\n"
        "          Vendor ID: 0x004C\n"
        "  \t Serial:   A1  \n"
        "  Services: a: b\n"
        "  Empty: \n"
        "  Name::\n"
        "  Glued:value\n");
    auto device = tree->nodes.at(0);
    EXPECT_EQ(text(device, "Vendor ID"), "0x004C");  // key trimmed
    EXPECT_EQ(text(device, "Serial"), "  A1  ");     // value kept as it stands
    EXPECT_FALSE(device->properties->has("Services"));  // value holding ": " is dropped
    EXPECT_EQ(text(device, "Empty"), "");
    EXPECT_EQ(device->properties->count(), 3u);
    // Lines without ": " are headings; only one trailing colon is removed from a name.
    EXPECT_EQ(childNames(device), (std::vector<std::string>{"Name:", "Glued:value"}));
}

TEST(ProfilerOutputParser, BlankLinesDoNotCountButLinesOfSpacesDo) {
    auto withBlanks = ProfilerOutputParser().parse("\n\nBluetooth:\n\n  Connected:\n\n    Mouse:\n      Battery Level: 5%\n\n");
    EXPECT_EQ(withBlanks->description(), "Bluetooth:\n  Connected:\n    Mouse:\n      Battery Level: 5%\n");

    auto withSpaces = ProfilerOutputParser().parse("Bluetooth:\n   \n    Mouse:\n");
    auto bluetooth = withSpaces->nodes.at(0);
    ASSERT_EQ(childNames(bluetooth), std::vector<std::string>{""});
    EXPECT_EQ(childNames(bluetooth->children[0]), std::vector<std::string>{"Mouse"});
}

TEST(ProfilerOutputParser, ALineNotInsideTheTopHeadingEndsTheReport) {
    auto tree = ProfilerOutputParser().parse("  Bluetooth:\n    State: On\n  Other:\n    Mouse:\n");
    ASSERT_EQ(tree->nodes.size(), 1u);
    EXPECT_EQ(tree->description(), "Bluetooth:\n  State: On\n");
    // Property lines at the top heading's indentation right after it are the heading's own.
    auto flat = ProfilerOutputParser().parse("Bluetooth:\nState: On\nPower: Off\n  Mouse:\nLater: 1\n");
    EXPECT_EQ(text(flat->nodes.at(0), "State"), "On");
    EXPECT_EQ(text(flat->nodes.at(0), "Power"), "Off");
    EXPECT_EQ(childNames(flat->nodes.at(0)), std::vector<std::string>{"Mouse"});
    EXPECT_FALSE(flat->nodes.at(0)->properties->has("Later"));
}

TEST(OutputTree, ClearUnlinksEveryNodeAndReleasingFreesThem) {
    auto tree = ProfilerOutputParser().parse(kWorkedExample);
    auto bluetooth = tree->nodes.at(0);
    auto headphones = bluetooth->children.at(1)->children.at(0);
    std::weak_ptr<OutputNode> connected = bluetooth->children.at(1);
    tree->clear();
    EXPECT_TRUE(tree->nodes.empty());
    EXPECT_EQ(headphones->parent, nullptr);
    EXPECT_TRUE(bluetooth->children.empty());
    EXPECT_TRUE(connected.expired());
    EXPECT_EQ(tree->description(), "");

    std::weak_ptr<OutputNode> mouse;
    {
        auto released = ProfilerOutputParser().parse(kWorkedExample);
        mouse = released->nodes.at(0)->children.at(2)->children.at(0);
    }
    EXPECT_TRUE(mouse.expired());
}

TEST(ProfilerOutputParser, DeepAndLongReportsNeedNoDeepRecursion) {
    // Every line one space deeper than the one before: a chain thousands of headings deep.
    constexpr int depth = 3000;
    std::string report;
    for (int i = 0; i < depth; ++i) report += std::string(i, ' ') + "Level " + std::to_string(i) + ":\n";
    report += std::string(depth, ' ') + "Battery Level: 1%\n";
    auto deep = ProfilerOutputParser().parse(report);
    auto node = deep->nodes.at(0);
    int levels = 1;
    for (; !node->children.empty(); ++levels) node = node->children[0];
    EXPECT_EQ(levels, depth);
    EXPECT_EQ(text(node, "Battery Level"), "1%");
    auto description = deep->description();
    EXPECT_EQ(std::count(description.begin(), description.end(), '\n'), depth + 1);

    // Thousands of sibling devices, each with its properties.
    std::string wide = "Bluetooth:\n  Connected:\n";
    for (int i = 0; i < 3000; ++i) {
        wide += "    Device " + std::to_string(i) + ":\n      Battery Level: " + std::to_string(i % 101) + "%\n";
    }
    auto tree = ProfilerOutputParser().parse(wide);
    auto connected = tree->nodes.at(0)->children.at(0);
    ASSERT_EQ(connected->children.size(), 3000u);
    EXPECT_EQ(text(connected->children[2999], "Battery Level"), "70%");
}

TEST(OutputTree, ClearsAndFreesAVeryDeepTreeWithoutRecursion) {
    // Deeper than any report: recursion over it would overflow the stack.
    constexpr int depth = 300000;
    std::weak_ptr<OutputNode> deepest;
    {
        OutputTree tree;
        auto node = OutputNode::make("Level 0:");
        tree.nodes.push_back(node);
        for (int i = 1; i < depth; ++i) {
            auto child = OutputNode::make("Level " + std::to_string(i) + ":");
            child->parent = node;
            node->children.push_back(child);
            node = child;
        }
        deepest = node;
    }
    EXPECT_TRUE(deepest.expired());
}
