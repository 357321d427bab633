#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <random>

#include "ZuzeDiv/DataExtensions.hpp"

using namespace ZuzeDiv;

namespace {
// Deflates with zlib itself: window bits 31 give a gzip member, 15 a zlib stream.
Data deflateWith(const Data& input, int windowBits, int level = Z_BEST_COMPRESSION) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    Data output(deflateBound(&stream, input.size()) + 32);
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    deflate(&stream, Z_FINISH);
    output.resize(stream.total_out);
    deflateEnd(&stream);
    return output;
}

Data randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    Data data(size);
    for (auto& byte : data) byte = static_cast<std::uint8_t>(generator());
    return data;
}
}  // namespace

TEST(RawBytes, ValuesToBytesAndBack) {
    EXPECT_EQ(dataFromValue(std::uint32_t{0x01020304}), (Data{4, 3, 2, 1}));
    EXPECT_EQ(to<std::uint32_t>({1, 0, 0, 0}), 1u);
    EXPECT_FALSE(to<std::uint32_t>({1, 0, 0}));
    EXPECT_EQ(to<double>(dataFromValue(2.5)), 2.5);
}

TEST(Base64URL, ReplacesUnsafeCharactersAndDropsPadding) {
    EXPECT_EQ(base64URLEncodedString({}), "");
    EXPECT_EQ(base64URLEncodedString({0xFB, 0xFF}), "-_8");
    EXPECT_EQ(base64URLEncodedString(dataFromString("f")), "Zg");
    EXPECT_EQ(base64URLEncodedString(dataFromString("foobar")), "Zm9vYmFy");
    EXPECT_EQ(base64URLEncodedString({0xFF, 0xEF, 0xBE}), "_---");
}

TEST(ByteValues, BigEndianFloatAndUnsignedFromDouble) {
    EXPECT_EQ(bigEndianFloat({0x3F, 0x80, 0x00, 0x00}), 1.0f);
    EXPECT_EQ(bigEndianFloat({}), 0.0f);
    EXPECT_EQ(bigEndianFloat({0x40}), 2.0f);  // missing low bytes are 0
    EXPECT_EQ(uint32OrZero(3.99), 3u);
    EXPECT_EQ(uint32OrZero(4294967295.0), 4294967295u);
    EXPECT_EQ(uint32OrZero(4294967295.9), 0u);
    EXPECT_EQ(uint32OrZero(-1.0), 0u);
    EXPECT_EQ(uint32OrZero(std::nan("")), 0u);
    EXPECT_EQ(uint32OrZero(INFINITY), 0u);
}

TEST(Gunzip, InflatesGzipAndZlibAndRefusesDamage) {
    const Data abc = dataFromString("abc");
    const Data gzip = deflateWith(abc, 31);
    EXPECT_FALSE(isGzipped({}));
    EXPECT_FALSE(isGzipped({0x1F}));
    EXPECT_TRUE(isGzipped({0x1F, 0x8B, 0x08}));
    EXPECT_TRUE(isGzipped(gzip));

    EXPECT_FALSE(gunzipped({}));
    EXPECT_EQ(gunzipped(gzip), abc);
    EXPECT_FALSE(gunzipped(Data(gzip.begin(), gzip.end() - 1)));  // truncated trailer
    Data zlibStream = deflateWith(abc, 15);
    ASSERT_EQ(zlibStream[0], 0x78);
    EXPECT_EQ(gunzipped(zlibStream), abc);
    EXPECT_FALSE(gunzipped(dataFromString("not compressed at all")));
    Data corrupt = gzip;
    corrupt[corrupt.size() - 6] ^= 0xFF;  // the checksum no longer matches
    EXPECT_FALSE(gunzipped(corrupt));
}

TEST(Gunzip, GrowsItsOutputFarBeyondTheInput) {
    // 4 MB of zeros deflate to a few kilobytes: the output must grow many times over.
    const Data zeros(4 << 20, 0);
    EXPECT_EQ(gunzipped(deflateWith(zeros, 15)), zeros);
    Data gzip = deflateWith(zeros, 31);
    // A trailer that lies about the size is only a hint.
    gzip[gzip.size() - 4] = 1;
    gzip[gzip.size() - 3] = gzip[gzip.size() - 2] = gzip[gzip.size() - 1] = 0;
    EXPECT_FALSE(gunzipped(gzip));  // the size check of zlib fails, as it must
    const Data random = randomBytes(300'000, 7);
    EXPECT_EQ(gunzipped(deflateWith(random, 31)), random);
}

TEST(Gunzip, OutputsBeyondSixtyFourMebibytesAreTaken) {
    // Both inflaters stop only where zlib's counts do (gunzipped) or not at all (the stream coder).
    const Data zeros((std::size_t{65} << 20) + 1, 0);
    auto inflated = gunzipped(deflateWith(zeros, 31, Z_BEST_SPEED));
    ASSERT_TRUE(inflated);
    EXPECT_EQ(inflated->size(), zeros.size());
    inflated.reset();
    auto decoded = zlibDecompressed(*zlibCompressed(zeros));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), zeros.size());
}

TEST(StreamCompression, RoundTripsAtBufferEdges) {
    EXPECT_FALSE(zlibCompressed({}));
    EXPECT_FALSE(zlibDecompressed({}));
    for (std::size_t size : {1u, 63u, 64u, 65u, 65536u, 65537u, 200000u}) {
        const Data random = randomBytes(size, static_cast<unsigned>(size));
        auto compressed = zlibCompressed(random);
        ASSERT_TRUE(compressed) << size;
        EXPECT_EQ(zlibDecompressed(*compressed), random) << size;
    }
    const Data repetitive(1 << 20, 'x');
    auto small = zlibCompressed(repetitive);
    ASSERT_TRUE(small);
    EXPECT_LT(small->size(), 10000u);
    EXPECT_EQ(zlibDecompressed(*small), repetitive);  // output many times the 64 KiB work buffer
}

TEST(StreamCompression, RawDeflateOnlyAndTruncationRefused) {
    const Data text = dataFromString(std::string(5000, 'q') + "tail");
    auto compressed = zlibCompressed(text);
    ASSERT_TRUE(compressed);
    EXPECT_NE((*compressed)[0], 0x78);  // no zlib header
    EXPECT_FALSE(zlibDecompressed(Data(compressed->begin(), compressed->end() - 2)));
    EXPECT_FALSE(zlibDecompressed(deflateWith(text, 15)));  // a zlib header is not raw deflate data
}
