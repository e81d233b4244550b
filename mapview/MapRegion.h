#pragma once

#include "catalogue/MapProjection.h"

// The region of the latest accepted zoom drag; every new map view takes a copy.
extern MapRegion g_zoomRegion;
