#include "Foundation/NSError.hpp"

#include <cerrno>
#include <cstring>

#include "Foundation/URL.hpp"

NSError NSError::posix(int number) {
    return NSError{NSPOSIXErrorDomain, number, std::strerror(number), nullptr};
}

NSError NSError::fileError(int number, const std::string& path, bool writing) {
    const std::string name = "\u201c" + lastPathComponent(path) + "\u201d";
    NSError error;
    error.domain = NSCocoaErrorDomain;
    error.underlyingError = std::make_shared<NSError>(posix(number));
    if (number == ENOENT || number == ENOTDIR) {
        error.code = writing ? NSFileNoSuchFileError : NSFileReadNoSuchFileError;
        error.localizedDescription = "The file " + name + " couldn\u2019t be opened because there is no such file.";
    } else if (number == EPERM || number == EACCES) {
        error.code = writing ? NSFileWriteNoPermissionError : NSFileReadNoPermissionError;
        error.localizedDescription = writing
                                         ? name + " couldn\u2019t be changed because you don\u2019t have permission to access it."
                                         : "The file " + name +
                                               " couldn\u2019t be opened because you don\u2019t have permission to view it.";
    } else {
        error.code = writing ? NSFileWriteUnknownError : NSFileReadUnknownError;
        error.localizedDescription = writing ? name + " couldn\u2019t be changed." : "The file " + name + " couldn\u2019t be opened.";
    }
    return error;
}
