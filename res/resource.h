// Resource and control identifiers.
#pragma once

#define IDR_MAINFRAME            128
#define IDR_SCENE_KEYS           129
#define IDD_ZELMORA_DIALOG       102
#define IDD_PAGE_DIMENSIONS      132
#define IDD_PAGE_SIDES           133
#define IDD_PAGE_ROTATION        134
#define IDD_PAGE_LIGHT           135
#define IDD_PAGE_TEMPLATES       136
#define IDD_ABOUTBOX             137

// Main dialog
#define IDC_PREVIEW              1000
#define IDC_SAVE_IMAGE           1005
#define IDC_ABOUT                1006
#define IDC_TAB_PAGES            1031
#define IDC_SCENE                1040

// The Scene button's menu
#define ID_SCENE_OPEN            32771
#define ID_SCENE_SAVE            32772
#define ID_SCENE_SAVE_AS         32773
#define ID_SCENE_UNDO            32774
#define ID_SCENE_REDO            32775
#define ID_NEXT_PAGE             32776
#define ID_PREV_PAGE             32777
#define ID_SCENE_NEW             32778
#define ID_VIEW_FIT              32779
#define ID_SCENE_RECENT_FIRST    32790   // to 32797: the last eight scenes
#define IDC_FIT_IN_FRAME         1047
#define IDC_KEEP_BOX_SIZE        1048
// Templates page: the scene's own views
#define IDC_VIEW_LIST            1050
#define IDC_VIEW_ADD             1051
#define IDC_VIEW_RENAME          1052
#define IDC_VIEW_DELETE          1053

// Box Dimensions page
#define IDC_WIDTH                1007
#define IDC_HEIGHT               1008
#define IDC_DEPTH                1009
#define IDC_EDGE_RADIUS          1054
#define IDC_FIT_TO_PICTURES      1055
#define IDC_SHAPE                1061
#define IDC_TRIM                 1062
#define IDC_PAGES                1063
#define IDC_PAPER                1064
#define IDC_BLEED                1066
#define IDC_BOOK_NOTE            1067
#define IDC_WRAP                 1068

// The trackbars' value labels, at each trackbar's right end
#define IDC_WIDTH_VALUE          1101
#define IDC_HEIGHT_VALUE         1102
#define IDC_DEPTH_VALUE          1103
#define IDC_ROTATION1_VALUE      1104
#define IDC_ROTATION2_VALUE      1105
#define IDC_DISTANCE_VALUE       1106
#define IDC_ZOOM_VALUE           1107
#define IDC_AMBIENT_VALUE        1108
#define IDC_DIFFUSE_VALUE        1109
#define IDC_REFLECTION_VALUE     1110
#define IDC_REFLECTION_FADE_VALUE 1111
#define IDC_SHADOW_VALUE         1112
#define IDC_SHADOW_SOFTNESS_VALUE 1113
#define IDC_EDGE_RADIUS_VALUE    1114
#define IDC_TOP_LIGHT_VALUE      1115

// Side images page: "..." buttons, path texts, "X" buttons, colour buttons
#define IDC_BROWSE_FRONT         1010
#define IDC_PATH_FRONT           1011
#define IDC_BROWSE_LEFT          1012
#define IDC_PATH_LEFT            1013
#define IDC_BROWSE_TOP           1014
#define IDC_PATH_TOP             1015
#define IDC_BROWSE_BACK          1016
#define IDC_PATH_BACK            1017
#define IDC_BROWSE_RIGHT         1018
#define IDC_PATH_RIGHT           1019
#define IDC_BROWSE_BOTTOM        1020
#define IDC_PATH_BOTTOM          1021
#define IDC_CLEAR_FRONT          1024
#define IDC_CLEAR_LEFT           1025
#define IDC_CLEAR_TOP            1026
#define IDC_CLEAR_BACK           1027
#define IDC_CLEAR_RIGHT          1028
#define IDC_CLEAR_BOTTOM         1029
#define IDC_COLOUR_FRONT         1030
#define IDC_COLOUR_LEFT          1032
#define IDC_COLOUR_TOP           1033
#define IDC_COLOUR_BACK          1034
#define IDC_COLOUR_RIGHT         1035
#define IDC_COLOUR_BOTTOM        1036
// The whole cover's row, shown for books and cases
#define IDC_BROWSE_COVER         1056
#define IDC_PATH_COVER           1057
#define IDC_CLEAR_COVER          1058
#define IDC_COLOUR_COVER         1059
#define IDC_COVER_LABEL          1060

// Rotation page
#define IDC_ROTATION1            1001
#define IDC_ROTATION2            1003
#define IDC_DISTANCE             1004
#define IDC_ZOOM                 1006

// Light page
#define IDC_AMBIENT              1022
#define IDC_DIFFUSE              1023
#define IDC_TOP_LIGHT            1065
#define IDC_SELECT_BACKGROUND    1030
#define IDC_LIGHT_KIND           1070
#define IDC_FINISH               1071
#define IDC_TONE                 1200
#define IDC_KEY                  1072
#define IDC_LIGHT_AZIMUTH        1073
#define IDC_LIGHT_ELEVATION      1074
#define IDC_LIGHT_SIZE           1075
#define IDC_SKY                  1076
#define IDC_KEY_VALUE            1120
#define IDC_LIGHT_AZIMUTH_VALUE  1121
#define IDC_LIGHT_ELEVATION_VALUE 1122
#define IDC_LIGHT_SIZE_VALUE     1123
#define IDC_SKY_VALUE            1124
#define IDC_SPREAD_LABEL         1125
#define IDC_PATH_SPREAD          1126
#define IDC_BROWSE_SPREAD        1127
#define IDC_CLEAR_SPREAD         1128
#define IDC_COLOUR_SPREAD        1129
#define IDC_SCREEN_LABEL         1130
#define IDC_PATH_SCREEN          1131
#define IDC_BROWSE_SCREEN        1132
#define IDC_CLEAR_SCREEN         1133
#define IDC_COLOUR_SCREEN        1134
#define IDC_POSE                 1135
#define IDC_BODY                 1136
#define IDC_SCREEN_FIT           1137
#define IDC_BINDING              1138
#define IDC_CHOICE_LABEL         1180
#define IDC_INK                  1181
#define IDC_CAMERA_BUMP          1182
#define IDC_SCREEN_SIZE          1183
#define IDC_CORNER               1184
#define IDC_BEZEL                1185
#define IDC_BEZEL_BOTTOM         1186
#define IDC_READ                 1187
#define IDC_OPEN_ANGLE           1188
#define IDC_TRIM_LABEL           1189
#define IDC_PAGES_LABEL          1190
#define IDC_PAPER_LABEL          1191
#define IDC_BLEED_LABEL          1192
#define IDC_WRAP_LABEL           1193
#define IDC_SCREEN_SIZE_LABEL    1194
#define IDC_CORNER_LABEL         1195
#define IDC_BEZEL_LABEL          1196
#define IDC_BEZEL_BOTTOM_LABEL   1197
#define IDC_READ_LABEL           1198
#define IDC_OPEN_ANGLE_LABEL     1199
#define IDC_SET_LIST              1140
#define IDC_SET_ADD               1141
#define IDC_SET_DUPLICATE         1142
#define IDC_SET_REMOVE            1143
#define IDC_SET_UP                1144
#define IDC_SET_DOWN              1145
#define IDC_ARRANGE               1146
#define IDC_GAP                   1150
#define IDC_GAP_VALUE             1151
#define IDC_GAP_LABEL             1152
#define IDC_STAGGER               1153
#define IDC_STAGGER_VALUE         1154
#define IDC_STAGGER_LABEL         1155
#define IDC_FAN_SPREAD            1156
#define IDC_FAN_SPREAD_VALUE      1157
#define IDC_FAN_SPREAD_LABEL      1158
#define IDC_SEED                  1159
#define IDC_SEED_VALUE            1160
#define IDC_SEED_LABEL            1161
#define IDC_PULL                  1162
#define IDC_PULL_VALUE            1163
#define IDC_PULL_LABEL            1164
#define IDC_PULLED                1165
#define IDC_PULLED_VALUE          1166
#define IDC_PULLED_LABEL          1167
#define IDC_LEAN_ANGLE            1168
#define IDC_LEAN_ANGLE_VALUE      1169
#define IDC_LEAN_ANGLE_LABEL      1170
#define IDC_PLACE_X               1171
#define IDC_PLACE_X_VALUE         1172
#define IDC_PLACE_X_LABEL         1173
#define IDC_PLACE_Z               1174
#define IDC_PLACE_Z_VALUE         1175
#define IDC_PLACE_Z_LABEL         1176
#define IDC_TURN                  1177
#define IDC_TURN_VALUE            1178
#define IDC_TURN_LABEL            1179

// Floor page
#define IDD_PAGE_FLOOR           139
#define IDD_PAGE_SET             140
#define IDC_REFLECTION           1046
#define IDC_REFLECTION_FADE      1047
#define IDC_SHADOW               1048
#define IDC_SHADOW_SOFTNESS      1049

// Templates page
#define IDC_TEMPLATE_LIST        1032

// Save Image's export options
#define IDD_EXPORT_OPTIONS       138
#define IDC_EXPORT_SIZE          1041
#define IDC_EXPORT_WIDTH         1042
#define IDC_EXPORT_HEIGHT        1043
#define IDC_EXPORT_TRANSPARENT   1044
#define IDC_EXPORT_DPI           1045
#define IDC_EXPORT_SUPERSAMPLE   1046
#define IDC_EXPORT_SPIN          1047

// About dialog
#define IDC_LINK_HOMEPAGE        1038
#define IDC_LINK_SUPPORT         1039

#ifndef IDC_STATIC
#define IDC_STATIC               (-1)
#endif
