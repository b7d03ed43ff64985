// One running copy per user: a lock file in the runtime directory ($ZR_RUNTIME_DIR when set, for
// tests; else $XDG_RUNTIME_DIR; else /tmp with the user id in the name) and a socket beside it on
// which a second start asks the first to come to the front. The lock is an flock: a copy that
// crashed leaves a file that the next start simply takes over.
#pragma once

// 1: this copy holds the lock (or the check cannot be made: running is never refused for that);
// 0: another copy holds it and was asked to come forward.
int zr_instance_claim(const char* name);
void zr_instance_release();
// Reads the requests of later starts; each brings the window to the front. 1 when one came.
int zr_instance_poll();
// The lock file's path for name (empty before a claim).
const char* zr_instance_lock_path();
// In a process forked from a holder: lets go of the inherited descriptors without touching the
// files (the lock stays the holder's).
void zr_instance_forget();
