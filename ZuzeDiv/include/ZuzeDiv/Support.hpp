#pragma once
// The maker's support pages, opened in the user's browser.
#include <string>

namespace ZuzeDiv {

class Support {
public:
    Support() = delete;

    static const std::string contactPageAddress;
    static const std::string faqPageAddress;

    /// Opens the address in the default browser; a text that forms no address opens nothing.
    static void openURL(const std::string& address);
    static void openContactPage();
    static void openFAQPage();
};

}  // namespace ZuzeDiv
