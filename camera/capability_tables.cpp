#include "camera/capability_tables.h"

const EffectRow EffectTable[kEffectTableRows] = {
    {1, "IDC_SE_RADIO1"},      {2, "IDC_SE_RADIO2"},
    {3, "IDC_SE_RADIO3"},      {4, "IDC_SE_RADIO4"},
    {5, "IDC_SE_RADIO5"},      {6, "IDC_SE_RADIO6"},
    {7, "IDC_SE_RADIO7"},      {8, "IDC_SE_RADIO8"},
    {9, "IDC_SE_RADIO9"},      {10, "IDC_SE_RADIO10"},
    {11, "IDC_SE_RADIO11"},    {12, "IDC_SE_RADIO12"},
    {13, "IDC_SE_RADIO13"},    {14, "IDC_SE_RADIO14"},
    {15, "IDC_SE_RADIO15"},    {16, "IDC_SE_RADIO16"},
    {17, "IDC_SE_RADIO17"},    {18, "IDC_SE_RADIO18"},
    {19, "IDC_SE_RADIO19"},    {20, "IDC_SE_RADIO20"},
    {21, "IDC_SE_RADIO21"},    {0, ""},
    {51, "IDC_FRAME_RADIO1"},  {52, "IDC_FRAME_RADIO2"},
    {53, "IDC_FRAME_RADIO3"},  {54, "IDC_FRAME_RADIO4"},
    {55, "IDC_FRAME_RADIO5"},  {56, "IDC_FRAME_RADIO6"},
    {57, "IDC_FRAME_RADIO7"},  {58, "IDC_FRAME_RADIO8"},
    {59, "IDC_FRAME_RADIO9"},  {60, "IDC_FRAME_RADIO10"},
    {61, "IDC_FRAME_RADIO11"},
};

const ResolutionRow ResolutionTable[kResolutionTableRows] = {
    {"160x120"},   {"176x144"},   {"320x240"},   {"352x288"},   {"640x480"},
    {"800x600"},   {"1024x768"},  {"1280x720"},  {"1280x800"},  {"1280x960"},
    {"1280x1024"}, {"1600x1200"}, {"2304x1728"}, {"2560x1600"}, {"2560x2048"},
};

namespace {

// A get that reaches the driver reports success whether or not the driver wrote the block, so
// the block is zeroed first: an unanswered kind then reads as 0 (no effects) and an unanswered
// pixel count as 0 (the full size list up to 2560x1600), never as stack garbage.
// Only 0 counts as success; the wrappers give -1 for "no interface", anything else is no answer.
bool GetWord0(ICameraOps& camera, int32_t property, int32_t& word0) {
    ExtensionBuffer block{};
    if (camera.GetExtensionProperty(property, &block) != 0) {
        return false;
    }
    word0 = block.words[0];
    return true;
}

}  // namespace

int IsEffectSupported(bool plugIn, ICameraOps& camera, CameraCapabilities& caps) {
    if (!plugIn) {
        return 0;
    }
    int32_t kind = 0;
    caps.m_nSensorKind = GetWord0(camera, PROP_SENSOR_KIND, kind) ? kind : kUnknownSensorKind;
    int32_t pixels = 0;
    caps.m_nSensorPixels =
        GetWord0(camera, PROP_SENSOR_PIXELS, pixels) ? pixels : kUnknownSensorPixels;

    if (caps.m_nSensorPixels > kMaxEffectSensorPixels) {
        return 0;
    }
    // Kinds 0 and 3 have no effect engine; -1 (not known) alone does not forbid effects.
    if (caps.m_nSensorKind == 0 || caps.m_nSensorKind == 3) {
        return 0;
    }
    return 1;
}

int32_t LastSizeIndexForPixels(int32_t pixels) {
    switch (pixels) {
        case 160 * 120:  // 19200
        case 176 * 144:  // 25344
            return 3;    // up to 352x288
        case 320 * 240:  // 76800
        case 352 * 288:  // 101376
            return 4;    // up to 640x480
        case 256000:
        case 640 * 480:  // 307200
            return 9;    // up to 1280x960
        case 800 * 600:  // 480000
            return 11;   // up to 1600x1200
        default:
            return 13;  // up to 2560x1600; 2560x2048 is never offered
    }
}

void BuildSizeList(bool plugIn, ICameraOps& camera, CameraCapabilities& caps,
                   std::vector<std::string>& list) {
    list.clear();
    if (!plugIn) {
        return;
    }
    int32_t pixels = 0;
    if (!GetWord0(camera, PROP_SENSOR_PIXELS, pixels)) {
        return;
    }
    caps.m_nSensorPixels = pixels;
    caps.m_nFirstSizeIndex = 0;
    caps.m_nLastSizeIndex = LastSizeIndexForPixels(pixels);
    for (int32_t row = caps.m_nFirstSizeIndex; row <= caps.m_nLastSizeIndex; ++row) {
        list.emplace_back(ResolutionTable[row].szSize);
    }
}
