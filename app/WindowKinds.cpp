#include "app/WindowKinds.h"

std::int32_t iNextWindowKind = KIND_STATION;
std::int32_t iSaveLayout = 0;
std::int32_t iRestoreLayout = 0;
std::int32_t iSaveSettings = 0;
