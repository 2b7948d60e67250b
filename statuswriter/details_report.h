// The reports of `vantrel --details` and `vantrel --json`: one reading of the whole picture.
#pragma once

#include <string>

#include "platform/power_details.h"

namespace Battery {

// The English report: the details' lines, each ended by a line end.
std::string DetailsReport(const platform::PowerDetails& details);

// One JSON object, ended by a line end: the record's five values by their system names, then
// seconds_to_full, draw_watts and the batteries; null where unknown. Watt-hours and watts are
// rounded to the milli, the health to a tenth of a percent.
std::string DetailsJson(const platform::PowerDetails& details);

} // namespace Battery
