#include "documents/zip_archive.h"
