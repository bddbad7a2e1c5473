/* A library of no use, put beside the tests under a name nobody else loads. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)self, (void)reason, (void)reserved;
    return TRUE;
}
