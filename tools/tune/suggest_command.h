#pragma once

#include "polled_trace.h"
#include "tune_options.h"

namespace velmora::tune {

// velmora-tune --suggest: searches the profile in use for a calmer one within the lag budget on
// one half of the trace, prints both measured on the other half, and the lines to paste. Progress
// goes to standard error. The exit status: 0, or 1 when the settings or the trace cannot be used.
int Suggest(const TuneOptions& options, const PolledTrace& trace);

}  // namespace velmora::tune
