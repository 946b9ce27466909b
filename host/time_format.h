// The host's rendering of a duration, as format_timestr gives it to the
// plug-in: h:mm:ss.mmm, or m:ss.mmm under an hour.
#pragma once

// Writes at most bufferSize bytes, always zero-terminated when bufferSize
// is at least 1; nothing at all for a bufferSize below 1 or a null buffer.
void FormatTime(double seconds, char* buffer, int bufferSize);
