// The effect and still-size vocabularies and the two rules that decide how much of each the
// attached camera is offered. Portable: the camera is reached through ICameraOps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "camera/capabilities.h"
#include "camera/extension_props.h"

constexpr int kEffectTableRows = 33;
constexpr int kResolutionTableRows = 15;

extern const EffectRow EffectTable[kEffectTableRows];
extern const ResolutionRow ResolutionTable[kResolutionTableRows];

// Rows of EffectTable the menu walks: all of them.
inline constexpr int g_nEffectCount = kEffectTableRows;

// Sensors above this many pixels get no effects.
constexpr int32_t kMaxEffectSensorPixels = 307200;
// What the rules assume when the camera has no extension interface.
constexpr int32_t kUnknownSensorKind = -1;
constexpr int32_t kUnknownSensorPixels = kMaxEffectSensorPixels + 1;

// 1 when the effects submenu may list every EffectTable row, 0 when it shows only row 0.
// Unplugged: 0 without asking the driver, caps untouched. Otherwise asks PROP_SENSOR_KIND and
// PROP_SENSOR_PIXELS and records both answers (or the fallbacks) in caps.
int IsEffectSupported(bool plugIn, ICameraOps& camera, CameraCapabilities& caps);

// Leaves in `list` the ResolutionTable texts the sensor allows, in row order, and records the
// rows in caps. Empty list (caps untouched) when unplugged or when the driver cannot be asked.
void BuildSizeList(bool plugIn, ICameraOps& camera, CameraCapabilities& caps,
                   std::vector<std::string>& list);

// The last ResolutionTable row offered for a sensor of `pixels` pixels (exact-value table).
int32_t LastSizeIndexForPixels(int32_t pixels);
