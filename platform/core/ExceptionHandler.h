// The application's handler of the exception being handled: the program installs its error
// display; code below the desktop layer hands exceptions to it without knowing it.
#pragma once

#include <functional>

namespace velmoran {

// Installs the handler (an empty one removes it).
void SetApplicationExceptionHandler(std::function<void()> handler);
// Call in a catch block: hands the exception to the handler, or, with none installed, raises it
// again.
void HandleApplicationException();

}  // namespace velmoran
