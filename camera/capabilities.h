// The vocabulary of what the attached sensor offers, as plain data: the rows of the effect and
// still-size tables, and what the last menu build learnt about the sensor. The controller
// keeps the latter; the capability rules write it and the still command reads the first row.
#pragma once

#include <cstdint>

// One effect or frame: the driver's id and the LanguageIni key of its menu text. Id 0 is a
// separator row with an empty key; it keeps its place so that row i is always command 32710 + i.
struct EffectRow {
    int32_t nEffectId;
    char szIniKey[64];
};

// One still-image size; the row index is what PROP_STILL_SIZE carries to the driver.
struct ResolutionRow {
    char szSize[64];
};

struct CameraCapabilities {
    int32_t m_nSensorKind = 0;      // last PROP_SENSOR_KIND answer, -1 without the interface
    int32_t m_nSensorPixels = 0;    // last PROP_SENSOR_PIXELS answer
    int32_t m_nFirstSizeIndex = 0;  // first ResolutionTable row of the current size list
    int32_t m_nLastSizeIndex = 0;   // last ResolutionTable row of the current size list
};
