// The countdown overlay's bitmaps: the all-white window shape and the pictures of the digits 1..5.
#pragma once

#include "tools/resgen/indexed_image.h"

namespace resgen {

constexpr int kOverlayWidth = 200;
constexpr int kOverlayHeight = 150;

// Every pixel white: a shape without holes.
IndexedImage DrawOverlayShape();

// Black field, white frame two pixels wide (three at the right and bottom), and the digit
// (1..5) drawn as thick rounded red strokes, with dark red where a stroke only half covers a pixel.
IndexedImage DrawDigitPicture(int digit);

}  // namespace resgen
