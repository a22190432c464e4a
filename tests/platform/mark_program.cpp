// SPDX-License-Identifier: GPL-3.0-or-later
// A program of the tests' own: notes that it ran in the file "mark" of its
// working folder.
#include <cstdio>

int main()
{
    std::FILE *mark = std::fopen("mark", "a");
    if (!mark)
        return 1;
    std::fputs("elf\n", mark);
    return std::fclose(mark) == 0 ? 0 : 1;
}
