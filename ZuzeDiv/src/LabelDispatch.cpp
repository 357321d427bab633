#include "ZuzeDiv/LabelDispatch.hpp"

#include <atomic>
#include <cstdint>

namespace ZuzeDiv {

std::string LabelDispatch::nextLabel() {
    static std::atomic<std::int64_t> counter{0};
    return "com.threading.dispatchqueue_" + std::to_string(counter.fetch_add(1));
}

}  // namespace ZuzeDiv
