// What the last menu build learnt about the attached sensor. The controller carries these
// members; the capability rules write them and the still command reads the first row.
#pragma once

#include <cstdint>

struct CameraCapabilities {
    int32_t m_nSensorKind = 0;      // last PROP_SENSOR_KIND answer, -1 without the interface
    int32_t m_nSensorPixels = 0;    // last PROP_SENSOR_PIXELS answer
    int32_t m_nFirstSizeIndex = 0;  // first ResolutionTable row of the current size list
    int32_t m_nLastSizeIndex = 0;   // last ResolutionTable row of the current size list
};
