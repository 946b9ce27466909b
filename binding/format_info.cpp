// DescribeFormat: SFC_GET_FORMAT_INFO, which answers 0 on success.
#include "binding/format_info.h"

#include "binding/sndfile_api.h"

bool DescribeFormat(int format, SF_FORMAT_INFO* info) {
  *info = SF_FORMAT_INFO{};
  info->format = format;
  return SndfileApi.sf_command(nullptr, SFC_GET_FORMAT_INFO, info, sizeof *info) == 0;
}
