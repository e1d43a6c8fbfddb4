// Debug traces on standard output, written only when the environment
// variable MEASURIX_TRACE is set when the program starts, so that the hot
// paths do no formatting in normal use. The end-to-end tests read them to
// see what the program asked of the system where Wine cannot show it.
#pragma once

bool TraceEnabled();
void Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
