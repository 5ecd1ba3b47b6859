// An elevated vornd runs its own files as administrator, and installs the
// hook library into every elevated program: those files must lie where
// only administrators can change them. Before Windows Vista there is no
// elevation, and nothing is checked.
#pragma once

// The message box that says why an elevated vornd does not run.
extern const char elevatedFolderText[];
extern const char elevatedFolderCaption[];

// 1 when the folder whose security descriptor has `owner` and `dacl`
// (binary, as GetNamedSecurityInfoA gives them; a NULL DACL lets everyone
// do anything) may be changed by someone other than Administrators,
// SYSTEM, TrustedInstaller and `trustedUser` (NULL for none): it is owned
// by another (an owner may rewrite the DACL), or an allow entry grants
// another SID (CREATOR OWNER aside, which stands for whoever creates a
// file there and is no one here) a right to write, append, add, delete,
// or change permissions or owner, for the folder or, inherited, for the
// files in it.
int folderWritableByOthers(const void *owner, const void *dacl, const void *trustedUser);

// When this vornd runs elevated from a folder that programs of a lower
// level may change (or whose security cannot be read): says so in a
// message box and answers 1, and the program then ends. 0 otherwise.
// The user's own SID counts as one of those only where the user's
// ordinary programs run at a lower integrity level than this one (UAC's
// limited token, linked to the elevated one): with UAC off every program
// of the user has the rights this one has, and a folder of the user's
// own puts nothing further at risk.
int refusesToRunElevatedHere(void);
