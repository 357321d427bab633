#pragma once
// What the sample programs share: the folder they write into, the two appearances they draw in, a
// clock of their own, grounds in the window background colour, and writing pictures as PNG files.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Clock.hpp"

namespace Samples {

/// The folder named on the command line ("samples" without one), made when it is missing.
inline std::filesystem::path outputFolder(int argc, char** argv) {
    std::filesystem::path folder = argc > 1 ? argv[1] : "samples";
    std::filesystem::create_directories(folder);
    return folder;
}

/// Runs the body in the light and then in the dark appearance of the application, with the name
/// the pictures of that appearance carry ("light" or "dark").
template <class Body>
void inEachAppearance(Body&& body) {
    for (const auto& [name, appearance] : {std::pair{"light", NSAppearanceNameAqua}, {"dark", NSAppearanceNameDarkAqua}}) {
        NSApplication::shared().setAppearance(NSAppearance::named(appearance));
        body(std::string(name));
    }
}

/// Makes a virtual clock the current one, so that animations stand still until the program moves
/// it on and each picture shows a chosen moment.
inline std::shared_ptr<VirtualClock> useVirtualClock() {
    auto clock = std::make_shared<VirtualClock>();
    Clock::setCurrent(clock);
    return clock;
}

/// Writes the picture as a PNG file; when that fails, says so on the standard error under the
/// program's name and returns false.
inline bool writeImage(const std::shared_ptr<CGImage>& image, const std::filesystem::path& file) {
    if (image && image->writePNG(file)) return true;
    std::fprintf(stderr, "%s: cannot write %s\n", program_invocation_short_name, file.c_str());
    return false;
}

/// The view rendered at two pixels a point, as the pictures are, and written as a PNG file.
inline bool writeView(NSView& view, const std::filesystem::path& file) {
    return writeImage(ViewRenderer::image(view, 2.0), file);
}

/// A view whose layer is filled with the window background colour of the appearance it was made in,
/// to set other views on.
inline std::shared_ptr<NSView> layerGround(CGRect frame) {
    auto view = NSView::make(frame);
    view->setWantsLayer(true);
    view->layer()->setBackgroundColor(NSColor::windowBackgroundColor()->cgColor());
    return view;
}

/// A view that draws itself in the window background colour of the appearance it is drawn in, as
/// the views set on it would be seen in a window.
class Backdrop : public NSView {
public:
    using NSView::NSView;
    void draw(const CGRect&) override {
        NSColor::windowBackgroundColor()->setFill();
        NSBezierPath::rect(bounds())->fill();
    }
};

}  // namespace Samples
