#include "views/WindowKinds.h"

std::int32_t iNextWindowKind = KIND_STATION;
