#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>

#include "Foundation/PropertyList.hpp"
#include "Foundation/StringCompare.hpp"
#include "Foundation/StringTrimming.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/UUID.hpp"
#include "Testing/TestEnvironment.hpp"

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
    PropertyListValue::Dictionary dictionary{
        {"bool", true}, {"int", std::int64_t{-42}}, {"unsigned", std::numeric_limits<std::uint64_t>::max()},
        {"real", -1e9 - 0.25}, {"text", "h\xC3\xA9llo\r\n\t<&>"}, {"data", Data{0, 255, 7}}, {"date", Date(1700000000.0)},
        {"before 1933", Date(-2208988800.0)}, {"after 2069", Date(4115534400.0)},
        {"array", PropertyListValue::Array{1, "two"}}, {"nested", PropertyListValue::Dictionary{{"k", "v"}}}};
    for (auto format : {PropertyListSerialization::Format::xml, PropertyListSerialization::Format::binary}) {
        auto bytes = PropertyListSerialization::data(PropertyListValue(dictionary), format);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(PropertyListSerialization::propertyList(*bytes), PropertyListValue(dictionary));
    }
    // Equal values written once are still read within the memory allowed for the list's size.
    const PropertyListValue repeated(PropertyListValue::Array(20000, std::string(100, 'x')));
    EXPECT_EQ(PropertyListSerialization::propertyList(*PropertyListSerialization::data(repeated, PropertyListSerialization::Format::binary)), repeated);
    // The binary format also keeps texts with a NUL, nulls and fractions of a second; XML has
    // whole seconds, no null, and cannot hold a NUL at all.
    const std::string withNul("\xC3\xA4\0b", 4);
    dictionary.insert({{"nul", withNul}, {withNul, "key with a NUL"}, {"null", PropertyListValue()}, {"fraction", Date(-1e9 - 0.25)}});
    auto binary = PropertyListSerialization::data(PropertyListValue(dictionary), PropertyListSerialization::Format::binary);
    EXPECT_EQ(PropertyListSerialization::propertyList(*binary), PropertyListValue(dictionary));
    EXPECT_FALSE(PropertyListSerialization::data(PropertyListValue(dictionary), PropertyListSerialization::Format::xml));
    EXPECT_FALSE(PropertyListSerialization::propertyList(dataFromString("not a plist")));
    EXPECT_FALSE(PropertyListSerialization::propertyList(Data{}));
}

TEST(PropertyList, DamagedTooDeepAndTooExpansiveListsAreRefused) {
    auto nested = [](int depth) {
        PropertyListValue value = PropertyListValue::Array{};
        for (int i = 1; i < depth; ++i) value = PropertyListValue::Array{value};
        return *PropertyListSerialization::data(value, PropertyListSerialization::Format::binary);
    };
    EXPECT_TRUE(PropertyListSerialization::propertyList(nested(PropertyListSerialization::maximumDepth)));
    EXPECT_FALSE(PropertyListSerialization::propertyList(nested(PropertyListSerialization::maximumDepth + 1)));
    std::string deep = "<plist>";
    for (int i = 0; i < 50000; ++i) deep += "<array>";
    EXPECT_FALSE(PropertyListSerialization::propertyList(dataFromString(deep)));

    // Binary lists of four-byte offsets and one-byte references: objects, then the offset table
    // and the trailer.
    auto binary = [](const std::vector<Data>& objects) {
        Data out = dataFromString("bplist00");
        Data offsets;
        for (const auto& object : objects) {
            for (int shift = 24; shift >= 0; shift -= 8) offsets.push_back(static_cast<std::uint8_t>(out.size() >> shift));
            out.insert(out.end(), object.begin(), object.end());
        }
        const auto table = out.size();
        out.insert(out.end(), offsets.begin(), offsets.end());
        Data trailer(32, 0);
        trailer[6] = 4;
        trailer[7] = 1;
        trailer[15] = static_cast<std::uint8_t>(objects.size());
        for (int i = 0; i < 8; ++i) trailer[31 - i] = static_cast<std::uint8_t>(table >> (8 * i));
        out.insert(out.end(), trailer.begin(), trailer.end());
        return out;
    };
    // An array of `count` references to object `to`.
    auto references = [](std::uint32_t count, std::uint8_t to) {
        Data array{0xAF, 0x12};
        for (int shift = 24; shift >= 0; shift -= 8) array.push_back(static_cast<std::uint8_t>(count >> shift));
        array.insert(array.end(), count, to);
        return array;
    };
    EXPECT_FALSE(PropertyListSerialization::propertyList(binary({{0xA1, 0x00}})));  // an array holding itself
    std::vector<Data> doubling;  // each array holds the next one twice: 2^40 values from 41 objects
    for (std::uint8_t i = 0; i < 40; ++i) doubling.push_back({0xA2, static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1)});
    doubling.push_back({0xA0});
    EXPECT_FALSE(PropertyListSerialization::propertyList(binary(doubling)));
    // A megabyte that would take gigabytes: a million references to the array itself, or to one
    // text of 16 kB. Sharing within the allowed multiple of the size reads.
    EXPECT_FALSE(PropertyListSerialization::propertyList(binary({references(1'000'000, 0)})));
    Data text{0x5F, 0x11, 0x40, 0x00};
    text.insert(text.end(), 16384, 'x');
    EXPECT_FALSE(PropertyListSerialization::propertyList(binary({references(1'000'000, 1), text})));
    EXPECT_FALSE(PropertyListSerialization::propertyList(binary({references(2'000, 1), text})));
    auto shared = PropertyListSerialization::propertyList(binary({references(200, 1), {0x09}}));
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->arrayValue()->size(), 200u);
    EXPECT_TRUE(PropertyListSerialization::propertyList(binary({{0xD1, 0x01, 0x02}, {0x51, 'k'}, {0x53, 'a', 0x00, 'b'}})));
    // The writer shares a text as long as the reader takes the list, and past that writes it where
    // it occurs: the most references to one text of three CJK characters that read, found with
    // the reader, are written shared; one more are not.
    Data cjk{0x63, 0x6F, 0x22, 0x5B, 0x57, 0x8A, 0x9E};
    std::uint32_t accepted = 1000, refused = 40000;
    while (refused - accepted > 1) {
        const auto middle = (accepted + refused) / 2;
        (PropertyListSerialization::propertyList(binary({references(middle, 1), cjk})) ? accepted : refused) = middle;
    }
    for (auto [count, sharesIt] : {std::pair{accepted, true}, std::pair{refused, false}}) {
        const PropertyListValue list(PropertyListValue::Array(count, "\xE6\xBC\xA2\xE5\xAD\x97\xE8\xAA\x9E"));
        const auto bytes = *PropertyListSerialization::data(list, PropertyListSerialization::Format::binary);
        EXPECT_EQ(bytes.size() < 2 * count, sharesIt) << count << " references, " << bytes.size() << " bytes";
        EXPECT_EQ(PropertyListSerialization::propertyList(bytes), list) << count;
    }

    // Every damaged byte of a valid list reads as something or as nothing, never out of bounds.
    auto valid = *PropertyListSerialization::data(
        PropertyListValue::Dictionary{{"list", PropertyListValue::Array{1, "\xC3\xA4", 2.5}}}, PropertyListSerialization::Format::binary);
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

namespace {
// Runs a Python program with the folder as its argument; its exit status, or -1 without Python.
int python(const TemporaryDirectory& folder, const std::string& program) {
    if (::access("/usr/bin/python3", X_OK) != 0) return -1;
    const auto script = folder.write("program.py", program);
    return std::system(("/usr/bin/python3 " + script.string() + " " + folder.path().string()).c_str());
}

Data contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Data(std::istreambuf_iterator<char>(file), {});
}
}  // namespace

TEST(PropertyList, BinaryListsOfPythonsPlistlibAreWrittenBackBitForBit) {
    TemporaryDirectory folder;
    const int status = python(folder, R"(
import datetime, os, plistlib, sys
seen = datetime.datetime(2024, 5, 1, 12, 0, 0)
devices = [{"name": name, "level": 50, "charging": False, "seen": seen, "id": b"\x01\x02", "ratio": 0.5} for name in ("Mouse", "Keyboard", "Mouse")]
values = {"date": datetime.datetime(2024, 5, 1, 12, 0, 0, 1007), "null": None, "unsigned": 2**64 - 1, "negative": -5,
          "shared": {"devices": devices, "names": ["Mouse", "name", "level"], "level": 50}}
for name, value in values.items():
    with open(os.path.join(sys.argv[1], name + ".bplist"), "wb") as file:
        file.write(plistlib.dumps(value, fmt=plistlib.FMT_BINARY))
)");
    if (status == -1) GTEST_SKIP() << "no python3";
    ASSERT_EQ(status, 0);
    // Equal texts, numbers, data and dates (keys too) share one object, in both writers.
    for (const char* name : {"date", "null", "unsigned", "negative", "shared"}) {
        const auto bytes = contents(folder.path() / (std::string(name) + ".bplist"));
        auto value = PropertyListSerialization::propertyList(bytes);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(PropertyListSerialization::data(*value, PropertyListSerialization::Format::binary), bytes) << name;
    }
    auto read = [&](const char* name) { return *PropertyListSerialization::propertyList(contents(folder.path() / name)); };
    EXPECT_TRUE(read("null.bplist").isNull());
    EXPECT_EQ(read("unsigned.bplist").unsignedIntegerValue(), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(read("negative.bplist").integerValue(), -5);
}

TEST(PropertyList, XMLIsReadAndWrittenAsPythonsPlistlibDoes) {
    TemporaryDirectory folder;
    // Writes files in other encodings, and once "ours.plist" exists, checks what it holds.
    const std::string program = R"(
import os, plistlib, sys
folder = sys.argv[1]
def save(name, data):
    with open(os.path.join(folder, name), "wb") as file:
        file.write(data)
text = plistlib.dumps({"text": "caf\u00e9"}).decode()
save("latin1.plist", text.replace("UTF-8", "ISO-8859-1").encode("latin-1"))
save("utf16.plist", text.replace("UTF-8", "UTF-16").encode("utf-16"))
save("utf16be.plist", text.replace("UTF-8", "UTF-16").encode("utf-16-be"))
if os.path.exists(os.path.join(folder, "ours.plist")):
    with open(os.path.join(folder, "ours.plist"), "rb") as file:
        ours = plistlib.load(file)
    sys.exit(0 if ours == {"a": "tab\t, lines\r\n\r", "b": "<&>\u00e9\U0001F600\x7f", "c": float("inf")} else 1)
)";
    const int status = python(folder, program);
    if (status == -1) GTEST_SKIP() << "no python3";
    ASSERT_EQ(status, 0);
    for (const char* name : {"latin1.plist", "utf16.plist", "utf16be.plist"}) {
        auto value = PropertyListSerialization::propertyList(contents(folder.path() / name));
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(value->find("text")->stringValue(), "caf\xC3\xA9") << name;
    }
    // A number beyond a double's range reads as infinity, as the platform reads it.
    auto huge = PropertyListSerialization::propertyList(dataFromString("<plist><array><real>1e400</real><real>-1e400</real></array></plist>"));
    ASSERT_TRUE(huge);
    EXPECT_EQ(*huge, PropertyListValue(PropertyListValue::Array{HUGE_VAL, -HUGE_VAL}));

    // What XML cannot hold (control characters, bytes that are no UTF-8) is not written.
    EXPECT_FALSE(PropertyListSerialization::data(PropertyListValue("bell\x07"), PropertyListSerialization::Format::xml));
    EXPECT_FALSE(PropertyListSerialization::data(PropertyListValue("\xE9"), PropertyListSerialization::Format::xml));
    auto ours = PropertyListSerialization::data(
        PropertyListValue::Dictionary{{"a", "tab\t, lines\r\n\r"}, {"b", "<&>\xC3\xA9\xF0\x9F\x98\x80\x7F"}, {"c", HUGE_VAL}},
        PropertyListSerialization::Format::xml);
    ASSERT_TRUE(ours);
    folder.write("ours.plist", stringFromData(*ours));
    EXPECT_EQ(python(folder, program), 0);
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
