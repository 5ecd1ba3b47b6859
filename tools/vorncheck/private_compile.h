// Compiling a configuration file privately: the daemon's loader, writing
// into an unnamed section, so that a running daemon's image is never
// touched and the user's file is never written.
#pragma once

// Compiles the file at `path` (relative paths are taken from the current
// directory). On success this process's image variables (imageHeader,
// imageSize, ...) describe the result and 1 is returned; 0 when the file
// cannot be opened, -1 when the image could not be made. `fullPath`
// (MAX_PATH bytes) receives the absolute path.
int compilePrivately(const char *path, char *fullPath);

// Writes every byte of the compiled section to `path`; 1 on success.
int saveImage(const char *path);
