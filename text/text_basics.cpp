#include "text/text_basics.h"
