// The Windows error codes a deck file can fail with, and their standard English texts, so
// a deck is judged here with the words the same failure gives on Windows.
#pragma once

#include <cstdint>
#include <string>

namespace skelda {

enum SystemError : uint32_t {
    ErrorSuccess = 0,
    ErrorFileNotFound = 2,
    ErrorAccessDenied = 5,
    ErrorInvalidData = 13,
    ErrorReadFault = 30,
    ErrorBadExeFormat = 193,
    ErrorFilenameTooLong = 206,
    ErrorFileTooLarge = 223,
    ErrorResourceDataNotFound = 1812,
    ErrorResourceTypeNotFound = 1813,
    ErrorResourceNameNotFound = 1814,
    ErrorResourceLangNotFound = 1815,
};

// The text of a code without its line end; "%1" is left in place for the caller to fill
// (193's text names the file). An unknown code gives a generic text with the number.
std::string SystemErrorText(uint32_t code);

// The text with "%1" replaced by `insert`.
std::string SystemErrorText(uint32_t code, const std::string& insert);

}  // namespace skelda
