#include "text/replace_text.h"
