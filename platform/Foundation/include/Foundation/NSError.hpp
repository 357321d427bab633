#pragma once
// Errors as the platform reports them: a domain, a code, a text for the user and, for file
// operations, the error of the system call underneath.
#include <memory>
#include <string>

inline const std::string NSCocoaErrorDomain = "NSCocoaErrorDomain";
inline const std::string NSPOSIXErrorDomain = "NSPOSIXErrorDomain";

/// Codes of the Cocoa domain used by file operations.
inline constexpr long NSFileNoSuchFileError = 4;
inline constexpr long NSFileReadUnknownError = 256;
inline constexpr long NSFileReadNoPermissionError = 257;
inline constexpr long NSFileReadCorruptFileError = 259;
inline constexpr long NSFileReadNoSuchFileError = 260;
inline constexpr long NSFileWriteUnknownError = 512;
inline constexpr long NSFileWriteNoPermissionError = 513;

struct NSError {
    std::string domain;
    long code = 0;
    std::string localizedDescription;
    /// The error underneath (the user information's underlying-error entry); nullptr when none.
    std::shared_ptr<NSError> underlyingError;

    /// A POSIX error with the system's text for the number.
    static NSError posix(int number);
    /// A Cocoa file error for the path, caused by the POSIX error `number`: the code and text
    /// follow the number (no such file, no permission, or unknown) and whether it was a write.
    static NSError fileError(int number, const std::string& path, bool writing = false);
};
