// libsndfile's description of one major format or subtype (its name and
// extension), asked through the binding with no file handle.
#pragma once

#include <sndfile.h>

// True when libsndfile describes the format (a major format masked with
// SF_FORMAT_TYPEMASK, or a subtype masked with SF_FORMAT_SUBMASK) in
// *info. libsndfile clears a record it refuses, so a caller that reports
// the failure names the format it asked for, not the record's.
bool DescribeFormat(int format, SF_FORMAT_INFO* info);
