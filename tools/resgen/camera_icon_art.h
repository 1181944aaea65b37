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

}  // namespace resgen
