#pragma once

// What every start of the program's windows shares, before the first window: the
// desktop's style and palette, Spanish dates and numbers, and Qt's own texts
// (context menus, standard buttons) in Spanish.

class QTranslator;

namespace velmora {

// qtTexts must live as long as the application.
void setUpDesktop(QTranslator& qtTexts);

} // namespace velmora
