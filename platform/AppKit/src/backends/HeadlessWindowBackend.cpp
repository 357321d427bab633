#include "AppKit/backends/HeadlessWindowBackend.hpp"

void HeadlessWindowBackend::show(NSWindow& window) { shown_.try_emplace(&window); }

void HeadlessWindowBackend::hide(NSWindow& window) { shown_.erase(&window); }

void HeadlessWindowBackend::display(NSWindow& window, const DirtyRegion& region) {
    auto& shown = shown_[&window];
    shown.window = window.weak_from_this();
    shown.rects = region.rects();
    ++shown.count;
}

std::shared_ptr<CGImage> HeadlessWindowBackend::displayedImage(const NSWindow& window) const {
    auto it = shown_.find(&window);
    if (it == shown_.end() || it->second.count == 0) return nullptr;
    auto shownWindow = it->second.window.lock();
    return shownWindow && shownWindow->backingStore() ? shownWindow->backingStore()->makeImage() : nullptr;
}

std::vector<CGRect> HeadlessWindowBackend::lastDrawnRects(const NSWindow& window) const {
    auto it = shown_.find(&window);
    return it == shown_.end() ? std::vector<CGRect>{} : it->second.rects;
}

int HeadlessWindowBackend::displayCount(const NSWindow& window) const {
    auto it = shown_.find(&window);
    return it == shown_.end() ? 0 : it->second.count;
}

bool HeadlessWindowBackend::writePNG(NSWindow& window, const std::filesystem::path& path) {
    auto image = window.image();
    return image && image->writePNG(path);
}

NSEvent HeadlessWindowBackend::mouseEvent(NSWindow& window, NSEvent::EventType type, CGPoint location) {
    NSEvent event;
    event.type = type;
    event.locationInWindow = location;
    event.window = window.weak_from_this();
    if (type == NSEvent::EventType::leftMouseDown || type == NSEvent::EventType::leftMouseUp ||
        type == NSEvent::EventType::rightMouseDown || type == NSEvent::EventType::rightMouseUp) {
        event.clickCount = 1;
    }
    return event;
}

void HeadlessWindowBackend::moveMouse(NSWindow& window, CGPoint to) {
    window.sendEvent(mouseEvent(window, NSEvent::EventType::mouseMoved, to));
}

void HeadlessWindowBackend::click(NSWindow& window, CGPoint at) {
    window.sendEvent(mouseEvent(window, NSEvent::EventType::leftMouseDown, at));
    window.sendEvent(mouseEvent(window, NSEvent::EventType::leftMouseUp, at));
}

void HeadlessWindowBackend::drag(NSWindow& window, CGPoint from, CGSize by, int steps) {
    steps = std::max(steps, 1);
    // The pointer's place on the screen; each event gives it in the window's coordinates of that
    // moment, since the window may have moved with the pointer.
    const CGPoint start{window.frame().minX() + from.x, window.frame().minY() + from.y};
    auto inWindow = [&](CGPoint screen) { return CGPoint{screen.x - window.frame().minX(), screen.y - window.frame().minY()}; };
    window.sendEvent(mouseEvent(window, NSEvent::EventType::leftMouseDown, from));
    CGPoint screen = start;
    for (int step = 1; step <= steps; ++step) {
        screen = CGPoint{start.x + by.width * step / steps, start.y + by.height * step / steps};
        window.sendEvent(mouseEvent(window, NSEvent::EventType::leftMouseDragged, inWindow(screen)));
    }
    window.sendEvent(mouseEvent(window, NSEvent::EventType::leftMouseUp, inWindow(screen)));
}
