// One vornd per user and pair. The first start holds a mutex named after
// its pair's control window, taken before the window is made, so that two
// starts at the same moment cannot both install the hooks. The mutex lives
// in a private namespace bound to the user's SID and to the Medium
// integrity level (Microsoft's remedy for squatting): a sandboxed
// (Low-integrity) program of the same user cannot make that namespace, and
// another user's program cannot open it (its default security admits the
// daemon's user alone). Where the system has no private namespaces (before
// Windows Vista), or they cannot be made, the mutex has a name of the
// user's session.
#pragma once

// 1 when this start is the first instance and now holds the lock; 0 when
// another instance holds it (or one of a higher level does, which the
// system lets no one else open).
int takeInstanceLock(void);

// Lets the lock go (the first instance, when its message loop ends).
void releaseInstanceLock(void);
