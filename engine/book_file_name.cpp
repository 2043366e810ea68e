#include "engine/book_file_name.h"
