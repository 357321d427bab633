// Writes pictures of ring gauges into a folder, so that a person can look at them:
// gauge-<value>.png for single gauges at several values, light and dark, and double gauges.
#include <cstdio>
#include <filesystem>
#include <string>

#include "AppKit/NSApplication.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/DoubleGauge.hpp"
#include "ZododuvoZoz/Gauge.hpp"

using namespace ZododuvoZoz;

namespace {
bool write(NSView& view, const std::filesystem::path& file) {
    auto image = ViewRenderer::image(view, 2.0);
    if (!image || !image->writePNG(file)) {
        std::fprintf(stderr, "gauge_samples: cannot write %s\n", file.c_str());
        return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path folder = argc > 1 ? argv[1] : "samples";
    std::filesystem::create_directories(folder);
    bool ok = true;
    for (const auto& [name, appearance] : {std::pair{"light", NSAppearanceNameAqua}, {"dark", NSAppearanceNameDarkAqua}}) {
        NSApplication::shared().setAppearance(NSAppearance::named(appearance));
        for (int percent : {0, 10, 25, 50, 75, 83, 90, 100}) {
            auto gauge = Gauge::make({0, 0, 100, 100});
            gauge->setWantsLayer(true);
            gauge->setValue(percent / 100.0);
            gauge->setColor(percent < 20 ? NSColor::systemRedColor() : Colors::teal());
            ok &= write(*gauge, folder / ("gauge-" + std::string(name) + "-" + std::to_string(percent) + ".png"));
        }
        auto plain = Gauge::make({0, 0, 100, 100});
        plain->setWantsLayer(true);
        plain->setValue(0.6);  // no colour: teal arc, no track
        ok &= write(*plain, folder / ("gauge-" + std::string(name) + "-nocolor.png"));

        auto twin = DoubleGauge::make({0, 0, 100, 100});
        twin->setWantsLayer(true);
        twin->setValue1(0.7);
        twin->setValue2(0.4);
        ok &= write(*twin, folder / ("double-gauge-" + std::string(name) + ".png"));
        twin->setColorInner(Colors::blue());
        twin->setColorOuter(Colors::pink());
        ok &= write(*twin, folder / ("double-gauge-" + std::string(name) + "-colors.png"));
    }
    return ok ? 0 : 1;
}
