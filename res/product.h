// The product's name, version and addresses, shared by the code and the resources.
#pragma once

#define ZELMORA_NAME              "Zelmora"
#define ZELMORA_VERSION_TEXT      "1.1"
#define ZELMORA_VERSION_NUMBERS   1,1,0,0
#define ZELMORA_HOMEPAGE          "https://zelmora.example/"
#define ZELMORA_SUPPORT_EMAIL     "support@zelmora.example"

#define ZELMORA_WIDEN2(s) L##s
#define ZELMORA_WIDEN(s) ZELMORA_WIDEN2(s)
#define ZELMORA_SUPPORT_EMAIL_W   ZELMORA_WIDEN(ZELMORA_SUPPORT_EMAIL)
#define ZELMORA_HOMEPAGE_W        ZELMORA_WIDEN(ZELMORA_HOMEPAGE)
