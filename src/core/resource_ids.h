// Resource identifiers shared by the resource script and the code. Plain
// defines: the resource compiler reads this file too.
#pragma once

#define IDI_JUMPNEST 1
// The menu pictures, 13 x 13 pixels on white.
#define IDB_MENU_DELETE 101
#define IDB_MENU_PROP 102
#define IDB_MENU_DOWN 103
#define IDB_MENU_UP 104
