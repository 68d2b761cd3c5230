// Stands in for the game under Wine: writes its working folder, its command
// line and its arguments to seen.txt in the working folder, then ends.
#include <stdio.h>
#include <windows.h>

int main(int argc, char **argv)
{
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    FILE *out = fopen("seen.part", "w");
    if (!out)
        return 1;
    fprintf(out, "%s\n%s\n", folder, GetCommandLineA());
    for (int i = 1; i < argc; ++i)
        fprintf(out, "%s\n", argv[i]);
    fclose(out);
    MoveFileA("seen.part", "seen.txt");
    return 0;
}
