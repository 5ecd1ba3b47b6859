// Files in this program's own folder, named so that the A functions open
// them. The folder is found with GetModuleFileNameW, which has every
// character of its name; the A form of a name the ANSI code page cannot
// spell has '?' in it and opens nothing, so such a name is given by its
// short (8.3) form. The functions are looked up at run time: the 32-bit
// vornd.exe imports what it always did (kernel_functions.h).
#pragma once

#include <windows.h>

// `file` in this program's folder (`file` "" for the folder itself,
// without a trailing separator) into `path` (MAX_PATH bytes), as the A
// functions open it; `shown`, when not NULL, receives the long name in
// the ANSI code page as QueryFullProcessImageNameA would give it, '?' and
// all (MAX_PATH bytes). 0 when the name cannot be told or given.
int programFolderFile(const char *file, char *path, char *shown);
