#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "Foundation/Date.hpp"
#include "Foundation/NSNull.hpp"
#include "Foundation/NSNumber.hpp"
#include "Foundation/URL.hpp"
#include "ZuzeDiv/AnyCodable.hpp"

using namespace ZuzeDiv;

namespace {
template <class Wrapper>
CodingContainer encoded(const Wrapper& wrapper) {
    CodingContainer container;
    wrapper.encode(container);
    return container;
}

CodingContainer encodedValue(std::any value) { return encoded(AnyEncodable(std::move(value))); }

template <class T>
const T& held(const std::any& value) {
    const T* typed = std::any_cast<T>(&value);
    EXPECT_NE(typed, nullptr) << "holds " << value.type().name();
    static const T fallback{};
    return typed ? *typed : fallback;
}

// JSON documents compared by value, whatever the order of object keys.
nlohmann::json plain(const CodingContainer& container) { return nlohmann::json::parse(container.dump()); }

EncodingError encodingErrorOf(std::any value, const CodingPath& path = {}) {
    try {
        CodingContainer container;
        encodeAnyValue(value, container, path);
    } catch (const EncodingError& error) {
        return error;
    }
    ADD_FAILURE() << "no error";
    return EncodingError(EncodingError::Kind::invalidValue, {}, {});
}
}  // namespace

TEST(AnyCodable, NullIsNeverHeldAsAnAbsentValue) {
    // Absent values wrap as the unit value; a decoded null is NSNull; both write null.
    std::optional<int> none;
    for (const auto& wrapped : {AnyCodable(none), AnyCodable(nullptr), AnyCodable(std::any{}),
                                AnyCodable(std::optional<std::optional<int>>(std::optional<int>{}))}) {
        EXPECT_EQ(wrapped.value().type(), typeid(std::monostate));
        EXPECT_TRUE(encoded(wrapped).is_null());
    }
    EXPECT_EQ(AnyDecodable(std::optional<int>(4)).value().type(), typeid(int));

    auto decoded = AnyCodable::decode(CodingContainer(nullptr));
    EXPECT_EQ(decoded.value().type(), typeid(NSNull));
    EXPECT_TRUE(encoded(decoded).is_null());
}

TEST(AnyCodable, DecodingTriesBooleanThenIntegersThenDoubleThenText) {
    auto decode = [](const char* json) { return AnyDecodable::decode(CodingContainer::parse(json)).value(); };
    EXPECT_EQ(held<bool>(decode("true")), true);  // not the integer 1
    EXPECT_EQ(held<std::int64_t>(decode("42")), 42);
    EXPECT_EQ(held<std::int64_t>(decode("-9223372036854775808")), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(held<std::uint64_t>(decode("9223372036854775808")), 9223372036854775808u);  // beyond signed
    EXPECT_EQ(held<std::uint64_t>(decode("18446744073709551615")), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(held<double>(decode("1.5")), 1.5);
    EXPECT_EQ(held<std::int64_t>(decode("2.0")), 2);  // a whole number reads as an integer
    EXPECT_EQ(held<double>(decode("1e300")), 1e300);
    EXPECT_EQ(held<std::string>(decode("\"héllo\"")), "héllo");
}

TEST(AnyCodable, NestedDocumentsDecodeToPlainValuesAndKeepTheirShape) {
    const char* json = R"({"name": "Mouse", "level": 64, "charging": false, "ratio": 0.25, "note": null,
                          "history": [1, [2, 3], {"deep": [true, null, -7]}, []], "empty": {},
                          "big": 18446744073709551615})";
    auto document = CodingContainer::parse(json);
    auto decoded = AnyCodable::decode(document);

    const auto& top = held<std::map<std::string, std::any>>(decoded.value());
    EXPECT_EQ(held<std::string>(top.at("name")), "Mouse");
    EXPECT_EQ(held<std::int64_t>(top.at("level")), 64);
    EXPECT_EQ(top.at("note").type(), typeid(NSNull));
    const auto& history = held<std::vector<std::any>>(top.at("history"));
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(held<std::vector<std::any>>(history[1]).size(), 2u);  // plain values, never wrappers
    const auto& deep = held<std::vector<std::any>>(held<std::map<std::string, std::any>>(history[2]).at("deep"));
    EXPECT_EQ(held<std::int64_t>(deep[2]), -7);

    EXPECT_EQ(plain(encoded(decoded)), plain(document));
    // Wrapped where a record keeps it: no key and no nesting of its own.
    CodingContainer record = CodingContainer::object();
    decoded.encode(record["payload"]);
    EXPECT_EQ(plain(record["payload"]), plain(document));
}

TEST(AnyCodable, IntegersOfEveryWidthAndFloatingPointRoundTrip) {
    EXPECT_EQ(encodedValue(std::int8_t{-128}), -128);
    EXPECT_EQ(encodedValue(std::uint8_t{255}), 255);
    EXPECT_EQ(encodedValue(std::int16_t{-32768}), -32768);
    EXPECT_EQ(encodedValue(std::uint16_t{65535}), 65535);
    EXPECT_EQ(encodedValue(std::int32_t{-2147483647 - 1}), -2147483648LL);
    EXPECT_EQ(encodedValue(std::uint32_t{4294967295u}), 4294967295LL);
    EXPECT_EQ(encodedValue(std::numeric_limits<std::int64_t>::min()), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(encodedValue(std::numeric_limits<std::uint64_t>::max()), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(encodedValue(1LL), 1);
    EXPECT_EQ(encodedValue(1ULL), 1u);
    EXPECT_EQ(encodedValue(1.1f).dump(), "1.1");  // the float's own digits, not its double's
    EXPECT_EQ(encodedValue(0.1).dump(), "0.1");

    // Each comes back as the widest integer of its sign, or a double.
    auto back = [](std::any value) { return AnyCodable::decode(encodedValue(std::move(value))).value(); };
    EXPECT_EQ(held<std::int64_t>(back(std::int8_t{-5})), -5);
    EXPECT_EQ(held<std::int64_t>(back(std::uint32_t{7})), 7);
    EXPECT_EQ(held<std::uint64_t>(back(std::numeric_limits<std::uint64_t>::max())), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(held<double>(back(2.5f)), 2.5);
    EXPECT_EQ(held<double>(back(-0.001)), -0.001);
}

TEST(AnyCodable, TextsDatesAndURLsAreWrittenAsTheirPlainForms) {
    EXPECT_EQ(encodedValue(std::string("ü")), "ü");
    EXPECT_EQ(encoded(AnyEncodable("literal")), "literal");
    EXPECT_EQ(encoded(AnyCodable('x')), "x");  // a character is a one-character text
    EXPECT_EQ(encodedValue(Date(978307200 + 90.5)), 90.5);  // seconds since 1 January 2001
    EXPECT_EQ(encodedValue(*URL::string("https://example.com/a%20b?q=1")), "https://example.com/a%20b?q=1");
    EXPECT_EQ(encodedValue(URL::fileURLWithPath("/tmp/x")), URL::fileURLWithPath("/tmp/x").absoluteString());
    // Dates and URLs come back as what JSON holds.
    EXPECT_EQ(held<double>(AnyDecodable::decode(encodedValue(Date(978307200 + 90.5))).value()), 90.5);
}

TEST(AnyCodable, ArraysAndDictionariesNestThroughTheEncoder) {
    std::vector<std::any> inner{std::int16_t{1}, std::any{}, NSNull{}, std::string("a")};
    std::map<std::string, std::any> dictionary{{"list", inner}, {"flag", true}, {"nested", std::map<std::string, std::any>{{"x", 1.5}}}};
    EXPECT_EQ(plain(encodedValue(dictionary)), nlohmann::json::parse(R"({"list": [1, null, null, "a"], "flag": true, "nested": {"x": 1.5}})"));

    auto literal = AnyCodable::array({1, "two", 3.5, nullptr, AnyCodable::dictionary({{"k", false}})});
    EXPECT_EQ(plain(encoded(literal)), nlohmann::json::parse(R"([1, "two", 3.5, null, {"k": false}])"));
    EXPECT_EQ(held<std::vector<std::any>>(literal.value()).size(), 5u);
}

TEST(AnyCodable, TypedArraysMapsTextViewsAndOptionalsAreWrittenAsTheirValues) {
    using Strings = std::vector<std::string>;
    std::map<std::string, std::any> document{
        {"ints", std::vector<int>{1, -2}},
        {"names", Strings{"a", "b"}},
        {"maybe", std::vector<std::optional<double>>{0.5, std::nullopt}},
        {"byName", std::map<std::string, Strings>{{"x", {"y"}}}},
        {"view", std::string_view("seen")},
        {"some", std::optional<int>(3)},
        {"none", std::optional<std::string>()},
        {"rows", std::vector<std::map<std::string, std::any>>{{{"k", 1}}}}};
    EXPECT_EQ(plain(encodedValue(document)), nlohmann::json::parse(R"({"ints": [1, -2], "names": ["a", "b"],
        "maybe": [0.5, null], "byName": {"x": ["y"]}, "view": "seen", "some": 3, "none": null, "rows": [{"k": 1}]})"));

    // A wrapper keeps its own copy of a text view's characters.
    std::string text = "copied";
    AnyEncodable wrapped{std::string_view(text)};
    text = "changed";
    EXPECT_EQ(encoded(wrapped), "copied");

    // Failures inside typed collections tell where they happened.
    auto error = encodingErrorOf(std::map<std::string, std::vector<float>>{{"f", {1, NAN}}});
    EXPECT_EQ(error.context().codingPath, (CodingPath{CodingKey::key("f"), CodingKey::index(1)}));
    EXPECT_TRUE(std::isnan(std::any_cast<float>(error.value())));
}

TEST(AnyCodable, DictionaryLiteralKeepsTheFirstValueOfARepeatedKey) {
    auto dictionary = AnyEncodable::dictionary({{"a", 1}, {"b", 2}, {"a", 3}});
    EXPECT_EQ(plain(encoded(dictionary)), nlohmann::json::parse(R"({"a": 1, "b": 2})"));
    auto codable = AnyCodable::dictionary({{"k", "first"}, {"k", "second"}});
    EXPECT_EQ(held<std::string>(held<std::map<std::string, std::any>>(codable.value()).at("k")), "first");
}

TEST(AnyCodable, NumberObjectsAreWrittenByTheirTypeCode) {
    EXPECT_STREQ(NSNumber(true).objCType(), "c");
    EXPECT_EQ(encodedValue(NSNumber(true)), true);
    EXPECT_EQ(encodedValue(NSNumber(false)), false);
    // An 8-bit integer shares the code "c" with Booleans but stays a number.
    EXPECT_STREQ(NSNumber(std::int8_t{65}).objCType(), "c");
    EXPECT_EQ(encodedValue(NSNumber(std::int8_t{65})), 65);
    EXPECT_EQ(encodedValue(NSNumber(std::uint8_t{200})), 200);

    EXPECT_STREQ(NSNumber(std::int16_t{-2}).objCType(), "s");
    EXPECT_EQ(encodedValue(NSNumber(-2).withObjCType('s')), -2);
    EXPECT_EQ(encodedValue(NSNumber(70000).withObjCType('s')), 70000 - 65536);  // read as a short
    EXPECT_STREQ(NSNumber(7).objCType(), "i");
    EXPECT_EQ(encodedValue(NSNumber(std::int64_t{1} << 40).withObjCType('i')), 0);  // read as a 32-bit int
    EXPECT_EQ(encodedValue(NSNumber(std::int64_t{(1LL << 32) + 5}).withObjCType('l')), 5);
    EXPECT_STREQ(NSNumber(std::int64_t{1}).objCType(), "q");
    EXPECT_EQ(encodedValue(NSNumber(3.7).withObjCType('q')), 3);
    EXPECT_EQ(encodedValue(NSNumber(-1).withObjCType('S')), 65535);
    EXPECT_EQ(encodedValue(NSNumber(-1).withObjCType('L')), 4294967295u);
    EXPECT_EQ(encodedValue(NSNumber(std::numeric_limits<std::uint64_t>::max())), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(encodedValue(NSNumber(1.1f)).dump(), "1.1");
    EXPECT_EQ(encodedValue(NSNumber(0.25)), 0.25);

    auto error = encodingErrorOf(NSNumber(true).withObjCType('B'));
    EXPECT_EQ(error.context().debugDescription, "NSNumber cannot be encoded because its type is not handled");
    EXPECT_EQ(std::any_cast<NSNumber>(error.value()).objCType()[0], 'B');
}

TEST(AnyCodable, UnknownKindsAndNumbersJSONCannotHoldRaiseEncodingErrors) {
    auto intKeyed = encodingErrorOf(std::map<std::int64_t, std::any>{{1, 2}});
    EXPECT_EQ(intKeyed.kind(), EncodingError::Kind::invalidValue);
    EXPECT_EQ(intKeyed.context().debugDescription, "AnyEncodable value cannot be encoded");
    EXPECT_TRUE(intKeyed.context().codingPath.empty());

    // Nested failures tell where they happened.
    std::map<std::string, std::any> document{{"items", std::vector<std::any>{1, AnyCodable(2)}}};
    auto nested = encodingErrorOf(document, {CodingKey::key("payload")});
    EXPECT_EQ(nested.context().codingPath,
              (CodingPath{CodingKey::key("payload"), CodingKey::key("items"), CodingKey::index(1)}));
    EXPECT_EQ(nested.value().type(), typeid(AnyCodable));  // a wrapper inside a collection is no known kind

    EXPECT_EQ(encodingErrorOf(std::nan("")).kind(), EncodingError::Kind::invalidValue);
    EXPECT_EQ(encodingErrorOf(std::numeric_limits<float>::infinity()).kind(), EncodingError::Kind::invalidValue);
    EXPECT_EQ(encodingErrorOf(std::vector<std::any>{1.0, HUGE_VAL}).context().codingPath, (CodingPath{CodingKey::index(1)}));
}

TEST(AnyCodable, ValuesJSONHasNoKindForFailToDecode) {
    auto binary = CodingContainer::binary({1, 2, 3});
    try {
        AnyDecodable::decode(CodingContainer::array({1, binary}), {CodingKey::key("blob")});
        FAIL() << "decoded";
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
        EXPECT_EQ(error.context().debugDescription, "AnyDecodable value cannot be decoded");
        EXPECT_EQ(error.context().codingPath, (CodingPath{CodingKey::key("blob")}));  // the value asked for
    }
}

TEST(AnyCodable, NestingBeyondTheDocumentedDepthFailsToDecode) {
    auto nested = [](std::size_t depth) { return CodingContainer::parse(std::string(depth, '[') + std::string(depth, ']')); };
    auto deepest = AnyDecodable::decode(nested(maximumNestingDepth)).value();
    for (std::size_t level = 1; level < maximumNestingDepth; ++level) deepest = held<std::vector<std::any>>(deepest).at(0);
    EXPECT_TRUE(held<std::vector<std::any>>(deepest).empty());

    for (std::size_t depth : {maximumNestingDepth + 1, std::size_t{30000}}) {
        try {
            AnyCodable::decode(nested(depth), {CodingKey::key("deep")});
            ADD_FAILURE() << depth << " levels decoded";
        } catch (const DecodingError& error) {
            EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
            EXPECT_EQ(error.context().debugDescription, "AnyDecodable value cannot be decoded");
            EXPECT_EQ(error.context().codingPath, (CodingPath{CodingKey::key("deep")}));
            // The limit is told by the error behind it.
            EXPECT_THAT([&] { std::rethrow_exception(error.context().underlyingError); },
                        ::testing::ThrowsMessage<std::length_error>(::testing::HasSubstr("512")));
        }
    }
    CodingContainer object = CodingContainer::object();
    CodingContainer* inner = &object;
    for (std::size_t level = 1; level <= maximumNestingDepth; ++level) inner = &(*inner)["k"];
    *inner = CodingContainer::object();
    EXPECT_THROW(AnyDecodable::decode(object), DecodingError);
}
