#include "text/text_between.h"
