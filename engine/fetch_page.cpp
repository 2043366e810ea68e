#include "engine/fetch_page.h"
