#include "cards/SystemErrors.h"

namespace skelda {

std::string SystemErrorText(uint32_t code) {
    switch (code) {
        case ErrorSuccess: return "The operation completed successfully.";
        case ErrorFileNotFound: return "The system cannot find the file specified.";
        case ErrorAccessDenied: return "Access is denied.";
        case ErrorInvalidData: return "The data is invalid.";
        case ErrorReadFault: return "The system cannot read from the specified device.";
        case ErrorBadExeFormat: return "%1 is not a valid Win32 application.";
        case ErrorFilenameTooLong: return "The filename or extension is too long.";
        case ErrorFileTooLarge:
            return "The file size exceeds the limit allowed and cannot be saved.";
        case ErrorResourceDataNotFound:
            return "The specified image file did not contain a resource section.";
        case ErrorResourceTypeNotFound:
            return "The specified resource type cannot be found in the image file.";
        case ErrorResourceNameNotFound:
            return "The specified resource name cannot be found in the image file.";
        case ErrorResourceLangNotFound:
            return "The specified resource language ID cannot be found in the image file.";
    }
    return "Unknown error " + std::to_string(code) + ".";
}

std::string SystemErrorText(uint32_t code, const std::string& insert) {
    std::string text = SystemErrorText(code);
    const auto at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, insert);
    return text;
}

}  // namespace skelda
