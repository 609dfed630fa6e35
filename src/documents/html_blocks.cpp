#include "documents/html_blocks.h"
