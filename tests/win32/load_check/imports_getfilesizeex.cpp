// A program the load check must refuse: it imports GetFileSizeEx, which came
// with Windows 98 and Windows 2000, so Windows 95 and NT 4.0 cannot load it.
#include <windows.h>

int main(int, char **argv)
{
    HANDLE self = CreateFileA(argv[0], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    LARGE_INTEGER size;
    BOOL known = GetFileSizeEx(self, &size);
    CloseHandle(self);
    return known ? 0 : 1;
}
