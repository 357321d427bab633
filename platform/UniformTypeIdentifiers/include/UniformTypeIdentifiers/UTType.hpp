#pragma once
// Uniform type identifiers: the kind of a file ("public.png"), what kinds it belongs to
// ("public.image"), its MIME type, and the kind of a file on disk, told by the desktop's content
// types (shared-mime-info) from its name and first bytes. Kinds the platform has no identifier for
// are dynamic types ("dyn." followed by their MIME type).
#include <optional>
#include <string>
#include <vector>

#include "Foundation/URL.hpp"

class UTType {
public:
    explicit UTType(std::string identifier);

    /// The type of a file name extension ("png"); absent for an extension no type claims.
    static std::optional<UTType> fromFilenameExtension(const std::string& extension);
    /// The type of a MIME type ("image/png"); absent for a text that is no MIME type.
    static std::optional<UTType> fromMIMEType(const std::string& mimeType);
    /// The type of a file on disk: a folder, a package, or the type its name and contents tell
    /// (the name alone for what is no regular file); absent when nothing exists there.
    static std::optional<UTType> ofFile(const URL& url);

    static UTType item() { return UTType("public.item"); }
    static UTType content() { return UTType("public.content"); }
    static UTType data() { return UTType("public.data"); }
    static UTType folder() { return UTType("public.folder"); }
    static UTType directory() { return UTType("public.directory"); }
    static UTType image() { return UTType("public.image"); }
    static UTType movie() { return UTType("public.movie"); }
    static UTType audio() { return UTType("public.audio"); }
    static UTType audiovisualContent() { return UTType("public.audiovisual-content"); }
    static UTType archive() { return UTType("public.archive"); }
    static UTType pdf() { return UTType("com.adobe.pdf"); }
    static UTType text() { return UTType("public.text"); }
    static UTType plainText() { return UTType("public.plain-text"); }
    static UTType application() { return UTType("com.apple.application"); }
    static UTType applicationBundle() { return UTType("com.apple.application-bundle"); }

    const std::string& identifier() const { return identifier_; }
    /// The preferred extension of the type, when it has one.
    std::optional<std::string> preferredFilenameExtension() const;
    /// The MIME type of the type, when it has one.
    std::optional<std::string> preferredMIMEType() const;
    /// Whether the type is `other` or (through its parents) belongs to it.
    bool conforms(const UTType& other) const;
    std::vector<UTType> supertypes() const;

    bool operator==(const UTType& other) const { return identifier_ == other.identifier_; }

private:
    std::string identifier_;
};

/// The C-style test of the platform, on identifiers.
bool UTTypeConformsTo(const std::string& identifier, const std::string& conformsTo);
