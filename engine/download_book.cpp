#include "engine/download_book.h"
