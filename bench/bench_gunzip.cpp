// Inflating a gzip stream of several megabytes: the module's gunzipped() against zlib's own
// inflate into a buffer of the exact size, on the same data in the same run.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "ZuzeDiv/DataExtensions.hpp"

namespace {
// About 24 MB of log-like text with a modest vocabulary: it deflates to a few megabytes.
const Data& plainText() {
    static const Data text = [] {
        std::mt19937 generator(42);
        const char* words[] = {"battery", "level", "mouse", "keyboard", "trackpad", "connected", "charging",
                               "peripheral", "service", "characteristic", "refresh", "device", "percent", "serial"};
        std::string out;
        out.reserve(24u << 20);
        while (out.size() < (24u << 20)) {
            out += std::to_string(generator() % 100000);
            out += ' ';
            for (int i = 0; i < 6; ++i) {
                out += words[generator() % 14];
                out += (generator() % 7 == 0) ? ", " : " ";
            }
            out += std::to_string(generator() % 101) + "%\n";
        }
        return Data(out.begin(), out.end());
    }();
    return text;
}

const Data& gzipStream() {
    static const Data gzip = [] {
        const Data& input = plainText();
        z_stream stream{};
        deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
        Data output(deflateBound(&stream, input.size()));
        stream.next_in = const_cast<Bytef*>(input.data());
        stream.avail_in = static_cast<uInt>(input.size());
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
        deflate(&stream, Z_FINISH);
        output.resize(stream.total_out);
        deflateEnd(&stream);
        return output;
    }();
    return gzip;
}

void setCounters(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plainText().size()));
    state.counters["gzip_MB"] = static_cast<double>(gzipStream().size()) / 1e6;
    state.counters["plain_MB"] = static_cast<double>(plainText().size()) / 1e6;
}

// zlib on its own: one inflate call into a buffer of exactly the right size, allocated (not
// zero-filled) for each run.
void zlibInflate(benchmark::State& state) {
    const Data& gzip = gzipStream();
    const std::size_t size = plainText().size();
    for (auto _ : state) {
        std::unique_ptr<Bytef[]> output(new Bytef[size]);
        z_stream stream{};
        inflateInit2(&stream, 47);
        stream.next_in = const_cast<Bytef*>(gzip.data());
        stream.avail_in = static_cast<uInt>(gzip.size());
        stream.next_out = output.get();
        stream.avail_out = static_cast<uInt>(size);
        if (inflate(&stream, Z_FINISH) != Z_STREAM_END) state.SkipWithError("zlib failed");
        inflateEnd(&stream);
        benchmark::DoNotOptimize(output.get());
    }
    setCounters(state);
}

void moduleGunzipped(benchmark::State& state) {
    const Data& gzip = gzipStream();
    for (auto _ : state) {
        auto output = ZuzeDiv::gunzipped(gzip);
        if (!output || output->size() != plainText().size()) state.SkipWithError("gunzipped failed");
        benchmark::DoNotOptimize(output->data());
    }
    setCounters(state);
}

// The same data, but a stream without a size hint (zlib format): the output grows as it goes.
const Data& zlibStream() {
    static const Data data = [] {
        const Data& input = plainText();
        uLongf size = compressBound(static_cast<uLong>(input.size()));
        Data output(size);
        compress2(output.data(), &size, input.data(), static_cast<uLong>(input.size()), Z_DEFAULT_COMPRESSION);
        output.resize(size);
        return output;
    }();
    return data;
}

void moduleGunzippedWithoutSizeHint(benchmark::State& state) {
    const Data& stream = zlibStream();
    for (auto _ : state) {
        auto output = ZuzeDiv::gunzipped(stream);
        if (!output || output->size() != plainText().size()) state.SkipWithError("gunzipped failed");
        benchmark::DoNotOptimize(output->data());
    }
    setCounters(state);
}
}  // namespace

BENCHMARK(zlibInflate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(moduleGunzipped)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(moduleGunzippedWithoutSizeHint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
