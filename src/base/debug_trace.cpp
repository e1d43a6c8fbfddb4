#include "base/debug_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

bool TraceEnabled() {
    static const bool enabled = std::getenv("MEASURIX_TRACE") != nullptr;
    return enabled;
}

void Trace(const char* format, ...) {
    if (!TraceEnabled()) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stdout, format, arguments);
    va_end(arguments);
    std::fflush(stdout);
}
