#pragma once

// The whole byte-string toolkit on code page 936 text.
#include "text/bytes.h"
#include "text/find_text.h"
#include "text/numbers.h"
#include "text/replace_pairs.h"
#include "text/replace_text.h"
#include "text/split_text.h"
#include "text/text_basics.h"
#include "text/text_between.h"
#include "text/text_types.h"
