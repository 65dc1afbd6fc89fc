// DAO dates (days since 1899-12-30, the fraction the time of day) and the calendar.
#pragma once

#include <string>

#include "store/engine/value.h"

namespace engine {

// The current local date and time, as DAO's Now() gives it.
Date localNow();

// "YYYY-MM-DD HH:MM:SS"; the time is left out when it is midnight.
std::string formatDate(Date d);

}  // namespace engine
