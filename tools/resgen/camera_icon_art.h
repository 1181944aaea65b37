// The camera icons: the application icon and the two tray looks.
#pragma once

#include "tools/resgen/ico_encoder.h"

namespace resgen {

enum class CameraLook {
    kApplication,  // the camera in colour, 16 colours
    kUnplugged,    // greyed out with a red cross, 256 colours
    kPluggedIn,    // in colour with a green dot, 256 colours
};

// `size` is 16 or 32.
IconImage DrawCameraIcon(CameraLook look, int size);

// The icon at `size` pixels, each pixel taken from the nearest one of the drawing: 16, 20 and 24
// from the 16-pixel drawing, larger sizes from the 32-pixel one, so no detail is lost and every
// edge stays sharp.
IconImage CameraIconAtSize(CameraLook look, int size);

// The tray icon sizes: the small-icon size at 96, 120, 144, 192, 240 and 288 DPI.
inline constexpr int kTrayIconSizes[] = {16, 20, 24, 32, 40, 48};

}  // namespace resgen
