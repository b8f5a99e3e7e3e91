#include "crashtrap/core/marker.h"

volatile uint32_t StatementMarker = 0;
