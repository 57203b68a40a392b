// Resource ids of the program's pictures and icon.
#pragma once

#define IDI_APP 1
#define IDB_FLOOR 101
#define IDI_SHOT 102
#define IDI_FLASH 103
#define IDI_CURSOR 104
#define IDB_CAPTION 110
#define IDB_BORDER 111
#define IDB_RADICALS 105
