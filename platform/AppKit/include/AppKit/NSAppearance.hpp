#pragma once
// Appearances, known by name: light ("NSAppearanceNameAqua") and dark ("NSAppearanceNameDarkAqua")
// with their vibrant and high-contrast kin. Drawing and colours follow the current drawing
// appearance of the thread: the one a drawing pass or a caller set, else the application's.
#include <functional>
#include <memory>
#include <string>

inline const std::string NSAppearanceNameAqua = "NSAppearanceNameAqua";
inline const std::string NSAppearanceNameDarkAqua = "NSAppearanceNameDarkAqua";
inline const std::string NSAppearanceNameVibrantLight = "NSAppearanceNameVibrantLight";
inline const std::string NSAppearanceNameVibrantDark = "NSAppearanceNameVibrantDark";
inline const std::string NSAppearanceNameAccessibilityHighContrastAqua = "NSAppearanceNameAccessibilityHighContrastAqua";
inline const std::string NSAppearanceNameAccessibilityHighContrastDarkAqua =
    "NSAppearanceNameAccessibilityHighContrastDarkAqua";
inline const std::string NSAppearanceNameAccessibilityHighContrastVibrantLight =
    "NSAppearanceNameAccessibilityHighContrastVibrantLight";
inline const std::string NSAppearanceNameAccessibilityHighContrastVibrantDark =
    "NSAppearanceNameAccessibilityHighContrastVibrantDark";

class NSAppearance : public std::enable_shared_from_this<NSAppearance> {
public:
    /// The appearance of a known name (always the same object); nullptr for any other name.
    static std::shared_ptr<NSAppearance> named(const std::string& name);

    const std::string& name() const { return name_; }

    /// The thread's current appearance: the one set, else the application's effective appearance.
    static std::shared_ptr<NSAppearance> current();
    /// Sets the thread's current appearance; nullptr goes back to the application's.
    static void setCurrent(const std::shared_ptr<NSAppearance>& appearance);
    /// The appearance drawing follows now; the same as current().
    static std::shared_ptr<NSAppearance> currentDrawing();
    /// Runs the block with this appearance as the current one, then restores the previous one.
    void performAsCurrentDrawingAppearance(const std::function<void()>& block);

    explicit NSAppearance(std::string name) : name_(std::move(name)) {}

private:
    std::string name_;
};
