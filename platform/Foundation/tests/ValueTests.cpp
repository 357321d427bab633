#include <gtest/gtest.h>

#include "Foundation/PropertyList.hpp"
#include "Foundation/StringCompare.hpp"
#include "Foundation/StringTrimming.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/UUID.hpp"

TEST(URL, RejectsTextsThatFormNoAddress) {
    EXPECT_FALSE(URL::string(""));
    EXPECT_FALSE(URL::string("http://example.com/a b"));
    EXPECT_FALSE(URL::string("http://example.com/{x}"));
    EXPECT_FALSE(URL::string("http://example.com/%zz"));
    EXPECT_FALSE(URL::string("http://example.com/\xC3\xA4"));
    auto url = URL::string("HTTP://example.com:8080/files/Apps.json?x=1#top");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "http");
    EXPECT_EQ(url->host(), "example.com");
    EXPECT_EQ(url->port(), 8080);
    EXPECT_EQ(url->path(), "/files/Apps.json");
    EXPECT_EQ(url->query(), "x=1");
    EXPECT_EQ(url->fragment(), "top");
    EXPECT_EQ(url->lastPathComponent(), "Apps.json");
    EXPECT_EQ(url->pathExtension(), "json");
}

TEST(URL, FileAddressesAndPercentEncoding) {
    auto file = URL::fileURLWithPath("/tmp/a b/c%.txt");
    EXPECT_EQ(file.absoluteString(), "file:///tmp/a%20b/c%25.txt");
    EXPECT_EQ(file.path(), "/tmp/a b/c%.txt");
    EXPECT_TRUE(file.isFileURL());
    EXPECT_EQ(file.deletingLastPathComponent().path(), "/tmp/a b");
    EXPECT_EQ(URL::fileURLWithPath("/tmp").appendingPathComponent("x y").path(), "/tmp/x y");
    EXPECT_EQ(addingPercentEncoding("a b#%?&\xC3\xA4", URLCharacterSet::urlQueryAllowed), "a%20b%23%25?&%C3%A4");
    EXPECT_FALSE(removingPercentEncoding("%E4"));  // a lone Latin-1 byte is no UTF-8
    EXPECT_EQ(lastPathComponent("/a/b/"), "b");
    EXPECT_EQ(lastPathComponent("/"), "/");
    EXPECT_EQ(lastPathComponent(""), "");
}

TEST(StringCompare, RunsOfDigitsCompareByValue) {
    EXPECT_EQ(compareNumeric("1.9", "1.10"), ComparisonResult::orderedAscending);
    EXPECT_EQ(compareNumeric("2.0", "1.12"), ComparisonResult::orderedDescending);
    EXPECT_EQ(compareNumeric("1.2", "1.2"), ComparisonResult::orderedSame);
    EXPECT_EQ(compareNumeric("1.2", "1.2.1"), ComparisonResult::orderedAscending);
    EXPECT_EQ(compareNumeric("01", "1"), ComparisonResult::orderedDescending);
    EXPECT_EQ(compareNumeric("file99", "file100"), ComparisonResult::orderedAscending);
    EXPECT_EQ(compareNumeric("99999999999999999999999", "100000000000000000000000"), ComparisonResult::orderedAscending);
}

TEST(PropertyList, RoundTripsEveryKindInBothFormats) {
    const std::string withNul("\xC3\xA4\0b", 4);
    PropertyListValue::Dictionary dictionary{
        {"bool", true}, {"int", std::int64_t{-42}}, {"real", -1e9 - 0.25}, {"text", "h\xC3\xA9llo"},
        {"data", Data{0, 255, 7}}, {"date", Date(1700000000.0)}, {"before 1933", Date(-2208988800.0)},
        {"after 2069", Date(4115534400.0)}, {"nul", withNul}, {withNul, "key with a NUL"},
        {"array", PropertyListValue::Array{1, "two"}}, {"nested", PropertyListValue::Dictionary{{"k", "v"}}}};
    for (auto format : {PropertyListSerialization::Format::xml, PropertyListSerialization::Format::binary}) {
        auto bytes = PropertyListSerialization::data(PropertyListValue(dictionary), format);
        auto read = PropertyListSerialization::propertyList(bytes);
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, PropertyListValue(dictionary));
    }
    // The binary format keeps fractions of a second; XML has whole seconds.
    auto fraction = PropertyListSerialization::data(Date(-1e9 - 0.25), PropertyListSerialization::Format::binary);
    EXPECT_EQ(PropertyListSerialization::propertyList(fraction)->dateValue()->timeIntervalSince1970(), -1e9 - 0.25);
    EXPECT_FALSE(PropertyListSerialization::propertyList(dataFromString("not a plist")));
    EXPECT_FALSE(PropertyListSerialization::propertyList(Data{}));
}

TEST(PropertyList, DamagedAndTooDeepListsAreRefused) {
    auto nested = [](int depth) {
        PropertyListValue value = PropertyListValue::Array{};
        for (int i = 1; i < depth; ++i) value = PropertyListValue::Array{value};
        return PropertyListSerialization::data(value, PropertyListSerialization::Format::binary);
    };
    EXPECT_TRUE(PropertyListSerialization::propertyList(nested(PropertyListSerialization::maximumDepth)));
    EXPECT_FALSE(PropertyListSerialization::propertyList(nested(PropertyListSerialization::maximumDepth + 1)));
    std::string deep = "<plist>";
    for (int i = 0; i < 50000; ++i) deep += "<array>";
    EXPECT_FALSE(PropertyListSerialization::propertyList(dataFromString(deep)));

    // Binary lists of one-byte offsets and references: objects, then the offset table and trailer.
    auto binary = [](const std::vector<Data>& objects) {
        Data out = dataFromString("bplist00");
        Data offsets;
        for (const auto& object : objects) {
            offsets.push_back(static_cast<std::uint8_t>(out.size()));
            out.insert(out.end(), object.begin(), object.end());
        }
        const auto table = static_cast<std::uint8_t>(out.size());
        out.insert(out.end(), offsets.begin(), offsets.end());
        Data trailer(32, 0);
        trailer[6] = trailer[7] = 1;
        trailer[15] = static_cast<std::uint8_t>(objects.size());
        trailer[31] = table;
        out.insert(out.end(), trailer.begin(), trailer.end());
        return out;
    };
    EXPECT_FALSE(PropertyListSerialization::propertyList(binary({{0xA1, 0x00}})));  // an array holding itself
    std::vector<Data> doubling;  // each array holds the next one twice: 2^40 values from 41 objects
    for (std::uint8_t i = 0; i < 40; ++i) doubling.push_back({0xA2, static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1)});
    doubling.push_back({0xA0});
    EXPECT_FALSE(PropertyListSerialization::propertyList(binary(doubling)));
    EXPECT_TRUE(PropertyListSerialization::propertyList(binary({{0xD1, 0x01, 0x02}, {0x51, 'k'}, {0x53, 'a', 0x00, 'b'}})));

    // Every damaged byte of a valid list reads as something or as nothing, never out of bounds.
    auto valid = PropertyListSerialization::data(PropertyListValue::Dictionary{{"list", PropertyListValue::Array{1, "\xC3\xA4", 2.5}}},
                                                 PropertyListSerialization::Format::binary);
    for (std::size_t i = 0; i < valid.size(); ++i) {
        for (std::uint8_t bits : {0x01, 0x0F, 0x80, 0xFF}) {
            auto damaged = valid;
            damaged[i] ^= bits;
            (void)PropertyListSerialization::propertyList(damaged);
            damaged.resize(i);
            (void)PropertyListSerialization::propertyList(damaged);
        }
    }
}

TEST(UUID, TextFormRoundTrips) {
    UUID random;
    auto text = random.uuidString();
    EXPECT_EQ(text.size(), 36u);
    EXPECT_EQ(text[14], '4');
    EXPECT_EQ(UUID::fromString(text), random);
    EXPECT_EQ(UUID::fromString("6f1a2b3c-0000-4000-8000-00000000a001")->uuidString(), "6F1A2B3C-0000-4000-8000-00000000A001");
    EXPECT_FALSE(UUID::fromString("6F1A2B3C-0000-4000-8000-00000000A00"));
    EXPECT_FALSE(UUID::fromString("6F1A2B3C+0000-4000-8000-00000000A001"));
}

TEST(StringTrimming, BlanksOnlyOrBlanksAndLineEnds) {
    const std::string padded = "\t\xC2\xA0 Name: \n";  // a tab, a no-break space, a blank; a line end
    EXPECT_EQ(trimmingCharacters(padded, CharacterSet::whitespaces), "Name: \n");
    EXPECT_EQ(trimmingCharacters(padded, CharacterSet::whitespacesAndNewlines), "Name:");
    EXPECT_EQ(trimmingCharacters(" \n ", CharacterSet::whitespacesAndNewlines), "");
    EXPECT_EQ(trimmingCharacters("\xFF x \xFF", CharacterSet::whitespaces), "\xFF x \xFF");  // malformed bytes stay
}
