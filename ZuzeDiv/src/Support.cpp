#include "ZuzeDiv/Support.hpp"

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/URL.hpp"

namespace ZuzeDiv {

const std::string Support::contactPageAddress = "http://quillon.example.com/contact";
const std::string Support::faqPageAddress = "http://quillon.example.com/faq";

void Support::openURL(const std::string& address) {
    if (auto url = URL::string(address)) NSWorkspace::shared().open(*url);
}

void Support::openContactPage() { openURL(contactPageAddress); }

void Support::openFAQPage() { openURL(faqPageAddress); }

}  // namespace ZuzeDiv
