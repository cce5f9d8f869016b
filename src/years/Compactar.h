#pragma once

// Compaction as the user meets it: from the menu, after a question and with a
// safety copy first; and as the last step of a new year. Either way a failure
// shows one message and leaves the program on the same year, its database as
// it was.

class QWidget;

namespace velmora {

struct AppState;
struct Services;
class MessageService;

// Compacts the current year's database. False, after the failure message, when
// it could not.
bool Compactar(AppState& state, MessageService& messages, QWidget* parent);

// "&3. Compactar": asks first; on Yes writes a safety copy and compacts.
void compactFromMenu(AppState& state, Services& services, QWidget* parent);

} // namespace velmora
