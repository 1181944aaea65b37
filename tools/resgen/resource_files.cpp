#include "tools/resgen/resource_files.h"

#include "tools/resgen/bmp_encoder.h"
#include "tools/resgen/camera_icon_art.h"
#include "tools/resgen/countdown_art.h"
#include "tools/resgen/menu_script.h"

namespace resgen {
namespace {

Bytes CameraIcon(CameraLook look) {
    return EncodeIco({DrawCameraIcon(look, 32), DrawCameraIcon(look, 16)}, StandardPalette());
}

// The tray icons carry an image for the small-icon size of every common scaling.
Bytes TrayIcon(CameraLook look) {
    std::vector<IconImage> images;
    for (int size : kTrayIconSizes) {
        images.push_back(CameraIconAtSize(look, size));
    }
    return EncodeIco(images, StandardPalette());
}

}  // namespace

std::vector<GeneratedFile> GenerateResourceFiles() {
    std::vector<GeneratedFile> files;
    files.push_back({"icons/app.ico", CameraIcon(CameraLook::kApplication)});
    files.push_back({"icons/tray_unplugged.ico", TrayIcon(CameraLook::kUnplugged)});
    files.push_back({"icons/tray_plugged.ico", TrayIcon(CameraLook::kPluggedIn)});
    files.push_back(
        {"bitmaps/overlay_shape.bmp", EncodeBmp8(DrawOverlayShape(), StandardPalette())});
    for (int digit = 1; digit <= 5; ++digit) {
        files.push_back({"bitmaps/digit" + std::to_string(digit) + ".bmp",
                         EncodeBmp8(DrawDigitPicture(digit), StandardPalette())});
    }
    const std::string menus = TrayMenuScript();
    files.push_back({"tray_menus.rc", Bytes(menus.begin(), menus.end())});
    return files;
}

}  // namespace resgen
