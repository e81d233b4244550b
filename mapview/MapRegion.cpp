#include "mapview/MapRegion.h"

MapRegion g_zoomRegion;
