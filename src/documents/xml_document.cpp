#include "documents/xml_document.h"
