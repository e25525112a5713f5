// Fixed texts of the program's exceptions.
#include "platform/core/Exceptions.h"
#include "platform/core/ExceptionHandler.h"
#include "platform/core/Text.h"

#include <utility>

namespace velmoran {

EConvertError EConvertError::InvalidInteger(std::string_view text)
{
    return EConvertError("'" + Excerpt(text) + "' ist kein gültiger Integerwert");
}

EConvertError EConvertError::InvalidFloat(std::string_view text)
{
    return EConvertError("'" + Excerpt(text) + "' ist kein gültiger Gleitkommawert");
}

EZeroDivide::EZeroDivide() : EMathError("Gleitkommadivision durch Null") {}
EInvalidOp::EInvalidOp() : EMathError("Ungültige Gleitkommaoperation") {}
EOverflow::EOverflow() : EMathError("Gleitkommaüberlauf") {}

EReadError::EReadError() : EStreamError("Stream-Lesefehler") {}
EWriteError::EWriteError() : EStreamError("Stream-Schreibfehler") {}

EFOpenError EFOpenError::CannotOpen(std::string_view fileName)
{
    return EFOpenError("Datei " + std::string(fileName) + " kann nicht geöffnet werden");
}

EFOpenError EFOpenError::CannotCreate(std::string_view fileName)
{
    return EFOpenError("Datei " + std::string(fileName) + " kann nicht erstellt werden");
}

namespace {
std::function<void()>& ApplicationExceptionHandler()
{
    static std::function<void()> handler;
    return handler;
}
}  // namespace

void SetApplicationExceptionHandler(std::function<void()> handler)
{
    ApplicationExceptionHandler() = std::move(handler);
}

void HandleApplicationException()
{
    if (const std::function<void()>& handler = ApplicationExceptionHandler())
        handler();
    else
        throw;
}

}  // namespace velmoran
