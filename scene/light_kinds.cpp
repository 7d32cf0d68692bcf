#include "light_kinds.h"

const char* const g_lightNames[kLightCount + 1] = {"eye", "studio", nullptr};
const char* const g_finishNames[kFinishCount + 1] = {"matte", "gloss", "soft-touch", nullptr};
const char* const g_toneNames[kToneCount + 1] = {"literal", "neutral", nullptr};
