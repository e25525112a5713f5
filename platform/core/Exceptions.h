// The exception classes of the program: every failure carries a German (or, for the in-memory
// tables, a fixed English) message that the application object shows to the user.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace velmoran {

// Base of every exception the program raises; the message is UTF-8.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Ends an operation silently: the application object shows no message for it.
class EAbort : public Exception {
public:
    EAbort() : Exception("") {}
};

// A text that is no valid number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
    static EConvertError InvalidInteger(std::string_view text);
    static EConvertError InvalidFloat(std::string_view text);
};

// Arithmetic errors; the three texts are those the user knows from the floating-point unit.
class EMathError : public Exception {
public:
    using Exception::Exception;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide();
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp();
};
class EOverflow : public EMathError {
public:
    EOverflow();
};

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// An operation a component cannot do in its present state (a dock that holds bars changing its
// edge, a window that needs its form and has none).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// Stream errors: a short read, a failed write, a file that cannot be opened or created.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    EReadError();
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    EWriteError();
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
    static EFOpenError CannotOpen(std::string_view fileName);
    static EFOpenError CannotCreate(std::string_view fileName);
};

}  // namespace velmoran
