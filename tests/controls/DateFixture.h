// The fixture of the date field's tests, shared with the gallery's picture of it: today is
// 17 March 2026 under the German format settings.
#pragma once

#include "platform/core/DateTime.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

class DateEdit : public ::testing::Test {
protected:
    velmoran::ScopedClock clock{velmoran::EncodeDate(2026, 3, 17)};
    velmoran::ScopedFormatSettings german{velmoran::FormatSettings::German()};
};
