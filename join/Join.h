// Joining: the file that a set of pieces makes, rebuilt and proven whole, the split's mirror.
#pragma once

#include "core/AppState.h"
#include "run/Run.h"

// Rebuilds the file that the set of FileName's pieces makes, beside them (or in the output folder
// while Use Output is checked), checked as far as the record beside them allows. It appears under
// its name only once it is complete and checked. 1 when rebuilt; 0 after a failure it has reported
// itself and after which nothing of it is left, or when the user declined.
int JoinFiles(void);

// The Join button: joins, then returns the window to idle. 1 when the file was rebuilt.
int RunJoinCommand(void);

// What the status bar says once a join has rebuilt its file: whether its content was checked.
const char *JoinedStatus(void);
