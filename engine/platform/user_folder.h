// The player's own folder on this machine: where settings, high scores, snapshots and warnings go
// when the start directory cannot take them ($XDG_DATA_HOME/zrsentry/, else
// ~/.local/share/zrsentry/).
#pragma once

// Writes the folder, ending in '/', into out and creates it when missing. 1 on success; 0 when
// there is no such folder (neither XDG_DATA_HOME nor HOME set, or it cannot be created) or it does
// not fit in size bytes.
int zr_platform_user_folder(char* out, int size);
