#pragma once

#include "text/text_types.h"

namespace cuijian {

/// Scheme and host of the novel site, no trailing slash (chosen at build time with SITE_BASE_URL).
Text SiteBaseUrl();

}  // namespace cuijian
