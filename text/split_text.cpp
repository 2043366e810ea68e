#include "text/split_text.h"
