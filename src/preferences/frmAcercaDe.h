#pragma once

// The about window: the program's name, its maker and how to reach them, under
// a banner that opens the maker's web site in the desktop's browser. It has no
// buttons and closes with the close box; its width stays that of the banner
// plus a margin, its height is the user's.

#include "ui/WindowKit.h"

#include <QUrl>

#include <functional>

class QLabel;

namespace velmora {

struct AppState;
struct Services;

class frmAcercaDe : public ModalWindow {
    Q_OBJECT
public:
    // The same arguments as every window, so the main window opens it like the
    // others; it shows the same fixed content each time.
    frmAcercaDe(AppState& state, Services& services, QWidget* parent = nullptr);

    static QUrl site();
    // Starts the browser on an address without waiting for it or checking that
    // it started; tests put a recorder here.
    std::function<void(const QUrl&)> openSite;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* Image1 = nullptr;
    QLabel* lblInforma = nullptr;
};

} // namespace velmora
