#include "AppKit/NSResponder.hpp"

#include "AppKit/NSEvent.hpp"

void NSResponder::mouseDown(const NSEvent& event) {
    if (auto* next = nextResponder()) next->mouseDown(event);
}
void NSResponder::mouseUp(const NSEvent& event) {
    if (auto* next = nextResponder()) next->mouseUp(event);
}
void NSResponder::mouseDragged(const NSEvent& event) {
    if (auto* next = nextResponder()) next->mouseDragged(event);
}
void NSResponder::mouseMoved(const NSEvent& event) {
    if (auto* next = nextResponder()) next->mouseMoved(event);
}
void NSResponder::mouseEntered(const NSEvent& event) {
    if (auto* next = nextResponder()) next->mouseEntered(event);
}
void NSResponder::mouseExited(const NSEvent& event) {
    if (auto* next = nextResponder()) next->mouseExited(event);
}
void NSResponder::rightMouseDown(const NSEvent& event) {
    if (auto* next = nextResponder()) next->rightMouseDown(event);
}
void NSResponder::rightMouseUp(const NSEvent& event) {
    if (auto* next = nextResponder()) next->rightMouseUp(event);
}
void NSResponder::scrollWheel(const NSEvent& event) {
    if (auto* next = nextResponder()) next->scrollWheel(event);
}
void NSResponder::keyDown(const NSEvent& event) {
    if (auto* next = nextResponder()) next->keyDown(event);
}
void NSResponder::keyUp(const NSEvent& event) {
    if (auto* next = nextResponder()) next->keyUp(event);
}
