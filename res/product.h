// The product's name, version and addresses, shared by the code and the resources.
#pragma once

#define ZELMORA_NAME              "Zelmora"
#define ZELMORA_VERSION_TEXT      "1.1"
#define ZELMORA_VERSION_NUMBERS   1,1,0,0
#define ZELMORA_HOMEPAGE          "https://zelmora.example/"
#define ZELMORA_SUPPORT_EMAIL     "support@zelmora.example"
