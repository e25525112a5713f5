// The one application object of a widget test program: the real TApplication (which installs the
// Qt screen fonts), made once by the test main and kept until the process ends, because Qt's
// input devices must not outlive it at exit.
#pragma once

#include "platform/Application.h"

namespace velmoran::testing {

TApplication& App();

}  // namespace velmoran::testing
