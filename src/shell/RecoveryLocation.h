#pragma once

#include <string>

#include "PathStyle.h"

namespace lumark {

// The folder that holds recovery records. Windows: %LOCALAPPDATA%\Lumark\recovery. Elsewhere
// $XDG_STATE_HOME/Lumark/recovery, or ~/.local/state/Lumark/recovery when XDG_STATE_HOME is
// unset, empty or relative (a relative one means nothing fixed). Empty when the base it needs
// (LOCALAPPDATA, or HOME) is not known: then there is nowhere to keep records.
std::string ChooseRecoveryFolder(PathStyle style, const std::string& stateHome,
                                 const std::string& home, const std::string& localAppData);

// The rule above for this host's environment. The folder is not created here: the record's
// writer does that, so that a failure is reported where the record is written.
std::string RecoveryFolder();

}  // namespace lumark
