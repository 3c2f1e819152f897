#pragma once

// The framework's exception classes. Each carries its fixed English message; the application's
// handler shows Message() to the user.

#include <QString>
#include <exception>
#include <functional>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(const QString& message);
    const QString& Message() const { return message_; }
    void SetMessage(const QString& message);
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

#define BRELNOVA_EXCEPTION(Name, Base)                                                            \
    class Name : public Base {                                                                    \
    public:                                                                                       \
        using Base::Base;                                                                         \
    };

BRELNOVA_EXCEPTION(EStreamError, Exception)
BRELNOVA_EXCEPTION(EReadError, EStreamError)
BRELNOVA_EXCEPTION(EWriteError, EStreamError)
BRELNOVA_EXCEPTION(EFilerError, EStreamError)
BRELNOVA_EXCEPTION(EFOpenError, EStreamError)
BRELNOVA_EXCEPTION(EFCreateError, EStreamError)
BRELNOVA_EXCEPTION(EConvertError, Exception)
// A number outside the values a property or an index allows.
BRELNOVA_EXCEPTION(ERangeError, Exception)
BRELNOVA_EXCEPTION(EResNotFound, Exception)
BRELNOVA_EXCEPTION(EListError, Exception)
BRELNOVA_EXCEPTION(EStringListError, Exception)
BRELNOVA_EXCEPTION(EInvalidGraphic, Exception)
BRELNOVA_EXCEPTION(EInvalidGraphicOperation, Exception)
BRELNOVA_EXCEPTION(EInvalidOperation, Exception)
BRELNOVA_EXCEPTION(EInvalidPointer, Exception)
BRELNOVA_EXCEPTION(EOutOfResources, Exception)
BRELNOVA_EXCEPTION(EOutOfMemory, Exception)
BRELNOVA_EXCEPTION(EAssertionFailed, Exception)
BRELNOVA_EXCEPTION(EComponentError, Exception)
BRELNOVA_EXCEPTION(EInOutError, Exception)
BRELNOVA_EXCEPTION(EOSError, Exception)
BRELNOVA_EXCEPTION(ERegistryException, Exception)
BRELNOVA_EXCEPTION(EIniFileException, Exception)
BRELNOVA_EXCEPTION(EPrinter, Exception)
BRELNOVA_EXCEPTION(EClipboardException, Exception)

// Fixed texts of the framework's own errors.
namespace FrameworkText {
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
inline constexpr const char* FOpenError = "Cannot open file \"%1\"";
inline constexpr const char* FCreateError = "Cannot create file \"%1\"";
inline constexpr const char* InvalidInteger = "'%1' is not a valid integer value";
inline constexpr const char* InvalidFloat = "'%1' is not a valid floating point value";
inline constexpr const char* ListIndexError = "List index out of bounds (%1)";
inline constexpr const char* DuplicateString = "String list does not allow duplicates";
inline constexpr const char* SortedListError = "Operation not allowed on sorted string list";
inline constexpr const char* ResNotFound = "Resource %1 not found";
inline constexpr const char* UnknownExtension = "Unknown picture file extension (.%1)";
inline constexpr const char* InvalidGraphic = "Invalid graphic format";
inline constexpr const char* OutOfResources = "Out of system resources";
inline constexpr const char* AssignError = "Cannot assign a %1 to a %2";
inline constexpr const char* FormatError = "Format '%1' invalid or incompatible with argument";
inline constexpr const char* ListCapacityError = "List capacity out of bounds (%1)";
inline constexpr const char* ListCountError = "List count out of bounds (%1)";
inline constexpr const char* DuplicateName = "A component named %1 already exists";
inline constexpr const char* InvalidName = "'%1' is not a valid component name";
inline constexpr const char* IniFileWriteError = "Unable to write to %1";
inline constexpr const char* RegCreateFailed = "Failed to create key %1";
inline constexpr const char* RegSetDataFailed = "Failed to set data for '%1'";
inline constexpr const char* RegGetDataFailed = "Failed to get data for '%1'";
inline constexpr const char* InvalidRegType = "Invalid data type for '%1'";
inline constexpr const char* UnpairedEndUpdate = "Unpaired EndUpdate";
} // namespace FrameworkText

// Raises EAssertionFailed with the given fixed text.
[[noreturn]] void RaiseAssertion(const QString& text);

// The text the application's handler shows for an exception: its message, with a full stop added
// when the message ends in a letter, digit or another character above ".".
QString ExceptionDisplayText(const std::exception& e);
// Shows an exception as the application's handler does: a stop box titled with the application's
// name holding ExceptionDisplayText. The windows layer may take over the showing (a skinned box,
// or a recorder in tests); an empty function restores the plain box.
void ShowException(const std::exception& e);
using TExceptionDisplay = std::function<void(const QString& title, const QString& text)>;
void SetExceptionDisplay(TExceptionDisplay display);
