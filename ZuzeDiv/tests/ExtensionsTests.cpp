#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "Foundation/Locale.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"
#include "ZuzeDiv/BundleExtensions.hpp"
#include "ZuzeDiv/GeometryExtensions.hpp"
#include "ZuzeDiv/NumberExtensions.hpp"
#include "ZuzeDiv/StringExtensions.hpp"
#include "ZuzeDiv/URLExtensions.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

using namespace ZuzeDiv;

TEST(ArrayExtensions, ChunksAndSamples) {
    EXPECT_EQ(chunked(std::vector<int>{1, 2, 3, 4, 5}, 2), (std::vector<std::vector<int>>{{1, 2}, {3, 4}, {5}}));
    EXPECT_TRUE(chunked(std::vector<int>{}, 2).empty());
    EXPECT_TRUE(chunked(std::vector<int>{1, 2}, -1).empty());
    EXPECT_THROW(chunked(std::vector<int>{1}, 0), std::invalid_argument);
    std::vector<int> ten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(every(ten, 3), (std::vector<int>{0, 3, 6, 9}));
    EXPECT_EQ(every(ten, -1), ten);
    EXPECT_THROW(every(ten, 0), std::invalid_argument);
    EXPECT_EQ(floatValues({NSNumber(1), NSNumber(2.5), NSNumber(std::uint64_t{3})}), (std::vector<float>{1.0f, 2.5f, 3.0f}));
}

TEST(ArrayExtensions, SimplifiedSeriesKeepTheirPeaks) {
    EXPECT_EQ(simplified(std::vector<std::int64_t>{0, 0, 5, 0, 0}), (std::vector<std::int64_t>{0, 5, 0}));
    EXPECT_EQ(simplified(std::vector<std::int64_t>{0, 1, 2, 3}), (std::vector<std::int64_t>{0, 3}));
    EXPECT_EQ(simplified(std::vector<std::int64_t>{-7, 9, -7}), (std::vector<std::int64_t>{-7, 9, -7}));
    EXPECT_EQ(simplified(std::vector<double>{1.5, 1.6, 1.5, 1.4}), (std::vector<double>{1.5, 1.4}));
    EXPECT_TRUE(simplified(std::vector<double>{}).empty());
}

TEST(ArrayExtensions, SortsFilesNewestFirstWithUnreadableLast) {
    TemporaryDirectory folder;
    auto stamp = [&](const char* name, int age) {
        auto path = folder.write(name, "x");
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(age));
        return URL::fileURLWithPath(path.string());
    };
    auto old = stamp("old.txt", 48), fresh = stamp("fresh.txt", 1), sameA = stamp("a.txt", 10);
    auto sameB = URL::fileURLWithPath((folder.path() / "b.txt").string());
    std::filesystem::copy_file(sameA.path(), sameB.path());
    std::filesystem::last_write_time(sameB.path(), std::filesystem::last_write_time(sameA.path()));
    auto missing = URL::fileURLWithPath((folder.path() / "missing.txt").string());
    auto sorted = sortedByModificationDate({missing, old, sameA, fresh, sameB});
    EXPECT_EQ(sorted, (std::vector<URL>{fresh, sameA, sameB, old, missing}));
}

TEST(BundleExtensions, NameAndVersionWithFallbacks) {
    TemporaryDirectory folder;
    folder.write("App/Info.plist",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                 "<key>CFBundleName</key><string>Quillon</string>"
                 "<key>CFBundleShortVersionString</key><integer>3</integer></dict></plist>");
    auto bundle = Bundle::atPath(folder.path() / "App");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(appName(*bundle), "Quillon");
    EXPECT_EQ(appVersion(*bundle), "Unknown Version");  // not a text
    std::filesystem::create_directories(folder.path() / "Bare");
    EXPECT_EQ(appName(*Bundle::atPath(folder.path() / "Bare")), "Unknown App");
}

TEST(GeometryExtensions, CentreAndDistance) {
    EXPECT_EQ(center(CGRect(10, 20, 30, 40)), (CGPoint{25, 40}));
    // Paris to London, about 343.9 km on the ellipsoid.
    const double paris = distance({48.8566, 2.3522}, {51.5074, -0.1278});
    EXPECT_NEAR(paris, 343'900, 1'000);
    EXPECT_EQ(distance({10, 10}, {10, 10}), 0);
    EXPECT_NEAR(distance({0, 0}, {0, 1}), 111'319.5, 1);  // one degree along the equator
    EXPECT_GT(distance({0, 0}, {0.5, 179.7}), 19'000'000);  // nearly antipodal places still answer
}

TEST(NumberExtensions, FixedTextsAndRounding) {
    EXPECT_EQ(oneDecimal(2.25), "2.2");  // the double below 2.25 is exact: printf rounds half to even
    EXPECT_EQ(twoDecimals(1.005), "1.00");
    EXPECT_EQ(fiveDecimals(-0.000004), "-0.00000");
    EXPECT_EQ(rounded(1.005, 2), 1.0);
    EXPECT_EQ(rounded(2.675, 2), 2.67);
    EXPECT_EQ(rounded(2.5, 0), 3.0);
    EXPECT_EQ(rounded(-2.5, 0), -3.0);
    EXPECT_EQ(rounded(7.3, 0.5, FloatingPointRoundingRule::down), 7.0);
    EXPECT_EQ(rounded(7.3, 0.5, FloatingPointRoundingRule::up), 7.5);
    EXPECT_EQ(rounded(-7.3, 0.5, FloatingPointRoundingRule::towardZero), -7.0);
    EXPECT_EQ(rounded(-7.3, 0.5, FloatingPointRoundingRule::awayFromZero), -7.5);
    EXPECT_TRUE(isNaNOrInfinite(std::nan("")));
    EXPECT_TRUE(isNaNOrInfinite(-INFINITY));
    EXPECT_FALSE(isNaNOrInfinite(1e308));
    EXPECT_TRUE(hasValue(std::optional<int>(0)));
    EXPECT_FALSE(hasValue(std::optional<int>()));
}

class GroupedText : public VirtualTimeTest {};

TEST_F(GroupedText, UsesTheLocalesSeparator) {
    Locale::setCurrent("en_US");
    EXPECT_EQ(groupedText(1234567), "1,234,567");
    EXPECT_EQ(groupedText(-1000), "-1,000");
    Locale::setCurrent("de_DE");
    EXPECT_EQ(groupedText(1234567), "1.234.567");
    Locale::setCurrent("fr_FR");
    EXPECT_EQ(groupedText(1234567), "1\u202f234\u202f567");
    EXPECT_EQ(groupedText(INT64_MIN), "-9\u202f223\u202f372\u202f036\u202f854\u202f775\u202f808");
}

TEST(StringExtensions, SlicesCountCharactersNotBytes) {
    const std::string text = "he\u0301llo w\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBDrld";  // é as e + accent, thumbs up + skin tone
    EXPECT_EQ(characterCount(text), 11u);
    EXPECT_EQ(substring(text, 1, 3), "e\u0301ll");
    EXPECT_EQ(substring(text, 7, 1), "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");
    EXPECT_EQ(substring(text, 11, 0), "");
    EXPECT_THROW(substring(text, 9, 3), std::out_of_range);
    EXPECT_THROW(substring(text, -1, 1), std::out_of_range);
    EXPECT_EQ(substringFromTo("abcdef", -4, 3), "abc");
    EXPECT_EQ(substringFromTo("abcdef", 2, 100), "cdef");
    EXPECT_THROW(substringFromTo("abcdef", 4, 2), std::out_of_range);
    EXPECT_EQ(prefixUpTo("abc", 3), "abc");
    EXPECT_EQ(prefixUpTo("abcd", 3), "abc");
    EXPECT_EQ(prefixUpTo(text, 2), "he\u0301");
    EXPECT_EQ(droppingLastFive("report.plist"), "report.");
    EXPECT_EQ(droppingLastFive("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD" "abcde"), "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");
    EXPECT_THROW(droppingLastFive("abcd"), std::out_of_range);
}

TEST(StringExtensions, CodesNumbersPathsAndConstants) {
    EXPECT_EQ(fourCharCode("ABCD"), 0x41424344u);
    EXPECT_EQ(fourCharCode(""), 0u);
    EXPECT_EQ(fourCharCode("\u00e9"), 0x8Eu);  // é in Mac OS Roman
    EXPECT_EQ(fourCharCode("a\xF0\x9F\x91\x8D"), 0u);  // no emoji in Mac OS Roman
    EXPECT_EQ(floatValue("1.5"), 1.5f);
    EXPECT_EQ(floatValue("-2e3"), -2000.0f);
    EXPECT_FALSE(floatValue(" 1.5"));
    EXPECT_FALSE(floatValue("1.5 "));
    EXPECT_FALSE(floatValue("abc"));
    EXPECT_FALSE(floatValue(""));
    EXPECT_EQ(ZuzeDiv::lastPathComponent("/tmp/scratch/"), "scratch");
    EXPECT_EQ(ZuzeDiv::lastPathComponent("/"), "/");
    const auto id = uuidString();
    EXPECT_EQ(id.size(), 36u);
    EXPECT_NE(id, uuidString());
    EXPECT_EQ(StringConstants::bullet, "\u2022");
    EXPECT_EQ(&StringConstants::empty(), &emptyString());
}

class FloatValueLocale : public VirtualTimeTest {};

TEST_F(FloatValueLocale, IgnoresTheUsersDecimalSeparator) {
    Locale::setCurrent("de_DE");
    EXPECT_EQ(floatValue("2.5"), 2.5f);
    EXPECT_FALSE(floatValue("2,5"));
}

TEST(URLExtensions, SuccessKindsAndNames) {
    auto url = *URL::string("http://127.0.0.1/x");
    auto response = [&](int status) { return std::make_shared<HTTPURLResponse>(url, status, std::vector<std::pair<std::string, std::string>>{}); };
    EXPECT_TRUE(isSuccess(response(204)));
    EXPECT_TRUE(isSuccess(response(200)));
    EXPECT_FALSE(isSuccess(response(304)));
    EXPECT_FALSE(isSuccess(response(199)));
    EXPECT_FALSE(isSuccess(std::make_shared<URLResponse>(url, std::nullopt, 0)));
    EXPECT_FALSE(isSuccess(nullptr));

    TemporaryDirectory folder;
    auto file = [&](const char* name) { return URL::fileURLWithPath(folder.write(name, "x").string()); };
    EXPECT_EQ(fileType(file("photo.png")), FileType::photo);
    EXPECT_EQ(fileType(file("clip.mov")), FileType::video);
    EXPECT_EQ(fileType(file("song.mp3")), FileType::audio);
    EXPECT_EQ(fileType(file("bundle.zip")), FileType::archive);
    EXPECT_EQ(fileType(file("manual.pdf")), FileType::document);
    EXPECT_EQ(fileType(file("notes.unknownext")), FileType::other);
    auto directory = URL::fileURLWithPath(folder.path().string(), true);
    EXPECT_EQ(fileType(directory), FileType::other);
    EXPECT_TRUE(isDirectory(directory));
    EXPECT_FALSE(isDirectory(file("plain.txt")));
    auto missing = URL::fileURLWithPath((folder.path() / "gone.png").string());
    EXPECT_FALSE(isDirectory(missing));
    EXPECT_FALSE(typeIdentifier(missing));
    EXPECT_FALSE(isImage(missing));
    EXPECT_EQ(typeIdentifier(file("photo.png")), "public.png");
    EXPECT_EQ(fileName(missing), "gone.png");
}

TEST(ViewExtensions, PinWithInsetsAndCentre) {
    auto parent = NSView::make({0, 0, 200, 100});
    auto child = NSView::make();
    parent->addSubview(child);
    pinToSuperview(*child, 1, 2, 3, 4);
    const auto& constraints = parent->constraints();
    ASSERT_EQ(constraints.size(), 4u);
    const std::pair<NSLayoutAttribute, CGFloat> expected[] = {
        {NSLayoutAttribute::top, 1}, {NSLayoutAttribute::bottom, 3}, {NSLayoutAttribute::leading, 2}, {NSLayoutAttribute::trailing, 4}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(constraints[i]->firstAttribute(), expected[i].first);
        EXPECT_EQ(constraints[i]->constant(), expected[i].second);
    }

    auto other = NSView::make();
    parent->addSubview(other);
    centerInSuperview(*other, 40, 20);
    parent->layoutSubtreeIfNeeded();
    EXPECT_EQ(other->frame(), CGRect(80, 40, 40, 20));
    auto lonely = NSView::make({1, 2, 3, 4});
    centerInSuperview(*lonely, 40, 20);
    EXPECT_TRUE(lonely->translatesAutoresizingMaskIntoConstraints());
}

namespace {
struct LayerHost {
    std::shared_ptr<CALayer> backing;
    std::shared_ptr<CALayer> layer() const { return backing; }
};
}  // namespace

TEST(ViewExtensions, AnchorPointMovesWithoutMovingTheLayer) {
    auto layer = CALayer::make();
    layer->setFrame({10, 20, 100, 50});
    setAnchorPoint(*layer, {0, 0});
    EXPECT_EQ(layer->frame(), CGRect(10, 20, 100, 50));
    EXPECT_EQ(layer->position(), (CGPoint{10, 20}));

    auto scaled = CALayer::make();
    scaled->setBounds({0, 0, 100, 50});
    scaled->setPosition({50, 25});
    scaled->setAffineTransform(CGAffineTransform::scale(2, 2));
    setAnchorPoint(*scaled, {1, 1});
    EXPECT_EQ(scaled->position(), (CGPoint{150, 75}));  // moved by the scaled half size

    LayerHost host{CALayer::make()};
    host.backing->setFrame({0, 0, 10, 10});
    setAnchorPoint(host, {1, 0});
    EXPECT_EQ(host.backing->position(), (CGPoint{10, 0}));
    LayerHost bare{nullptr};
    setAnchorPoint(bare, {1, 0});  // no layer: nothing happens
}
