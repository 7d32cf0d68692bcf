// How a scene is lit, and the finish of its printed covers, by the names scenes spell them.
#pragma once

// eye: the light at the camera (and the light from above); studio: a key light placed round
// the model, casting shadows, and light from a studio dome all round.
enum LightKind { LightEye, LightStudio, kLightCount };
extern const char* const g_lightNames[kLightCount + 1];  // null-terminated

// What a printed cover (and a case's sleeve) is finished with: how it shows the lights.
enum FinishKind { FinishMatte, FinishGloss, FinishSoftTouch, kFinishCount };
extern const char* const g_finishNames[kFinishCount + 1];

// How the studio's light becomes the picture's colours: literal (as lit, cut off past white)
// or neutral (a tone map that keeps colours and rolls highlights off toward white).
enum ToneKind { ToneLiteral, ToneNeutral, kToneCount };
extern const char* const g_toneNames[kToneCount + 1];
