// The one entry vorn writes into the user's vorn.ini: `Error` = "fail to
// FileMapping" in section `Status`, written as the profile functions would
// place it (the first [Status] section, its first line that names the key)
// but without their risks: every other byte of the file stays as it is,
// whatever its encoding, and the new file is written beside it and moved
// into place, so that a full disk or a crash leaves the old file whole.
#pragma once

// 1 when the file at `path` holds the entry afterwards (written now, or
// there already); 0 when it was left alone: missing, read-only, open by a
// program that does not let it be read and replaced, or the new file could
// not be written or moved into place.
int writeStatusError(const char *path);
