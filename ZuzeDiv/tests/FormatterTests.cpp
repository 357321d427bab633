#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Foundation/Locale.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzeDiv/DecimalFormatter.hpp"
#include "ZuzeDiv/DiskUtilities.hpp"
#include "ZuzeDiv/FileType.hpp"
#include "ZuzeDiv/Math.hpp"

using namespace ZuzeDiv;

class DecimalFormatterTest : public VirtualTimeTest {};

TEST_F(DecimalFormatterTest, HalfToEvenWithoutGrouping) {
    Locale::setCurrent("en_US");
    EXPECT_EQ(DecimalFormatter::string(2.5), "2");
    EXPECT_EQ(DecimalFormatter::string(3.5), "4");
    EXPECT_EQ(DecimalFormatter::string(-1.5), "-2");
    EXPECT_EQ(DecimalFormatter::string(std::int64_t{1234567}), "1234567");
    EXPECT_EQ(DecimalFormatter::string(3.14159, 2), "3.14");
    EXPECT_EQ(DecimalFormatter::string(2.0, 2), "2");
    EXPECT_EQ(DecimalFormatter::string(2.5f, 1), "2.5");
    EXPECT_EQ(DecimalFormatter::string(std::uint8_t{255}), "255");
    EXPECT_EQ(DecimalFormatter::string(std::int32_t{-7}, 3), "-7");
    Locale::setCurrent("de_DE");
    EXPECT_EQ(DecimalFormatter::string(3.14159, 2), "3,14");
    EXPECT_EQ(DecimalFormatter::string(std::int64_t{1234567}), "1234567");
}

TEST_F(DecimalFormatterTest, EverySixtyFourBitIntegerExactly) {
    Locale::setCurrent("en_US");
    EXPECT_EQ(DecimalFormatter::string(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(DecimalFormatter::string(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(DecimalFormatter::string(std::int64_t{9007199254740993}), "9007199254740993");  // 2^53 + 1: no double
    EXPECT_EQ(DecimalFormatter::string(std::numeric_limits<std::uint32_t>::max(), 4), "4294967295");
}

TEST(SpeedText, ByteBands) {
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{0}, false), "0 B/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{1023}, false), "1023 B/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{1024}, false), "1 KB/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{2047}, false), "1 KB/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{1048575}, false), "1023 KB/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{1048576}, false), "1.00 MB/s");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(std::uint64_t{1048576}, false), "1 MB/s");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(std::uint64_t{1073741823}, false), "1023 MB/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{1610612736}, false), "1.50 GB/s");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(std::uint64_t{1610612736}, false), "1.50 GB/s");
    EXPECT_EQ(DiskUtilities::speedText(std::numeric_limits<std::uint64_t>::max(), false), "17179869184.00 GB/s");
}

TEST(SpeedText, BitBands) {
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{124}, true), "992 b/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{125}, true), "1 Kb/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{125000}, true), "1.00 Mb/s");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(std::uint64_t{125000}, true), "1 Mb/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{124999999999}, true), "1000.00 Gb/s");
    // 10^12 bits per second and more keep their unit instead of reading "0 b/s".
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{125000000000}, true), "1000.00 Gb/s");
    EXPECT_EQ(DiskUtilities::speedText(std::uint64_t{1250000000000}, true), "10000.00 Gb/s");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(std::uint64_t{125000000000}, true), "1000 Gb/s");
    // Byte rates whose bit count does not fit 64 bits have no text.
    const std::uint64_t limit = std::uint64_t{1} << 61;
    EXPECT_EQ(DiskUtilities::speedText(limit, true), "-");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(limit, true), "-");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(limit - 1, true), "18446744073 Gb/s");
}

TEST(SpeedText, FromBytesAndDuration) {
    EXPECT_EQ(DiskUtilities::speedText(std::int64_t{1000}, false, 0.5), "1 KB/s");
    EXPECT_EQ(DiskUtilities::speedText(std::int64_t{1000}, false, 0), "-");
    EXPECT_EQ(DiskUtilities::roundedSpeedText(std::int64_t{1000}, false, -1), "-");
    EXPECT_EQ(DiskUtilities::speedText(std::int64_t{1000}, true, 3), "2 Kb/s");  // 333 B/s cut, times 8
    EXPECT_EQ(DiskUtilities::speedText(std::int64_t{-5}, false, 1), "-");
    EXPECT_EQ(DiskUtilities::speedText(std::int64_t{1} << 62, false, 1e-9), "-");  // beyond 64 bits
    EXPECT_EQ(DiskUtilities::speedText(std::int64_t{1000}, false, std::nan("")), "-");
}

class ByteCountText : public VirtualTimeTest {};

TEST_F(ByteCountText, FileAndMemoryStyles) {
    Locale::setCurrent("en_US");
    EXPECT_EQ(DiskUtilities::fileSizeText(-1), "-");
    EXPECT_EQ(DiskUtilities::fileSizeText(0), "Zero KB");
    EXPECT_EQ(DiskUtilities::fileSizeText(1), "1 byte");
    EXPECT_EQ(DiskUtilities::fileSizeText(999), "999 bytes");
    EXPECT_EQ(DiskUtilities::fileSizeText(1000), "1 KB");
    EXPECT_EQ(DiskUtilities::memorySizeText(1000), "1,000 bytes");
    EXPECT_EQ(DiskUtilities::memorySizeText(1024), "1 KB");
    EXPECT_EQ(DiskUtilities::fileSizeText(999'999), "1 MB");  // 1000 KB after rounding
    EXPECT_EQ(DiskUtilities::fileSizeText(1'500'000), "1.5 MB");
    EXPECT_EQ(DiskUtilities::fileSizeText(2'000'000), "2 MB");
    EXPECT_EQ(DiskUtilities::fileSizeText(1'234'567'890), "1.23 GB");
    EXPECT_EQ(DiskUtilities::memorySizeText(std::int64_t{1} << 40), "1 TB");
    EXPECT_EQ(DiskUtilities::fileSizeText(std::numeric_limits<std::int64_t>::max()), "9.22 EB");
    Locale::setCurrent("de_DE");
    EXPECT_EQ(DiskUtilities::fileSizeText(1'500'000), "1,5 MB");
}

TEST(MathRounding, ToMultiplesOfAStep) {
    EXPECT_EQ(Math::floor(7.3, 0.5), 7.0);
    EXPECT_EQ(Math::ceil(7.3, 0.5), 7.5);
    EXPECT_EQ(Math::round(7.25, 0.5, FloatingPointRoundingRule::toNearestOrAwayFromZero), 7.5);
    EXPECT_EQ(Math::round(7.25, 0.5, FloatingPointRoundingRule::toNearestOrEven), 7.0);
    EXPECT_EQ(Math::round(7.75, 0.5, FloatingPointRoundingRule::toNearestOrEven), 8.0);
    EXPECT_EQ(Math::round(-7.25, 0.5, FloatingPointRoundingRule::toNearestOrAwayFromZero), -7.5);
    EXPECT_EQ(Math::round(1234, 100, FloatingPointRoundingRule::towardZero), 1200);
    EXPECT_TRUE(std::isnan(Math::round(7, 0, FloatingPointRoundingRule::down)));
}

class FileTypeNames : public VirtualTimeTest {};

TEST_F(FileTypeNames, InTheUsersLanguage) {
    Locale::setPreferredLanguages(std::vector<std::string>{"de"});
    EXPECT_EQ(localizedName(FileType::photo), "Foto");
    Locale::setPreferredLanguages(std::vector<std::string>{"en"});
    EXPECT_EQ(localizedName(FileType::photo), "Photo");
    EXPECT_EQ(localizedName(FileType::document), "Document");
    EXPECT_EQ(localizationKey(FileType::archive), "ARCHIVE");
}
