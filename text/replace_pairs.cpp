#include "text/replace_pairs.h"
