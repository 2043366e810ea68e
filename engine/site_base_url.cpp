#include "engine/site_base_url.h"

namespace cuijian {

Text SiteBaseUrl() { return CUIJIAN_SITE_BASE_URL; }

}  // namespace cuijian
