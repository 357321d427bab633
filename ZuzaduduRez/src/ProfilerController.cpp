#include "ZuzaduduRez/ProfilerController.hpp"

#include "RarAvi/Shell.hpp"
#include "ZuzaduduRez/ProfilerOutputParser.hpp"

namespace ZuzaduduRez {

std::shared_ptr<OutputTree> ProfilerController::run() {
    auto output = RarAvi::Shell::run({"system_profiler " + service->name});
    return ProfilerOutputParser().parse(output);
}

}  // namespace ZuzaduduRez
