#pragma once
// The cell of a password field: it shows one bullet per character instead of the text.
#include "AppKit/NSTextFieldCell.hpp"

class NSSecureTextFieldCell : public NSTextFieldCell {
public:
    explicit NSSecureTextFieldCell(std::string text = "") : NSTextFieldCell(std::move(text)) {}

    /// True unless set: characters are shown as bullets. Otherwise nothing is shown.
    bool echosBullets() const { return echosBullets_; }
    void setEchosBullets(bool echos) { echosBullets_ = echos; }

protected:
    std::string displayedString() const override;

private:
    bool echosBullets_ = true;
};
