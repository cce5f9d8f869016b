#pragma once

// The command-line tools print Spanish; Qt's own English warnings (an unset
// XDG_RUNTIME_DIR, say) change nothing they report, so only the program's log
// lines, and fatal errors, reach the terminal.

namespace velmora::tools {

void keepOnlyOwnMessages();

} // namespace velmora::tools
