#include "engine/book_file.h"
