#include "text/find_text.h"
