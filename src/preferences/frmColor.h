#pragma once

// The colour window: two grids of swatches, one for the main colour and one for
// the section colour. A click replaces the shared colour at once and stores it
// in its settings file; other windows pick the colour up the next time they
// paint with it.

#include "state/ColourChoices.h"
#include "ui/WindowKit.h"

#include <array>

class QLabel;

namespace velmora {

struct AppState;
struct Services;

class frmColor : public ModalWindow {
    Q_OBJECT
public:
    frmColor(AppState& state, Services& services, QWidget* parent = nullptr);

protected:
    void opened() override;

private:
    enum class Target { Main, Section };
    using Swatches = std::array<QLabel*, 10>;

    QWidget* buildGrid(Swatches& swatches, const char* name, Target target);
    void choose(Target target, int index);
    void markSelection();

    AppState& state_;
    Services& services_;

    Swatches lblColor{};
    Swatches lblColor2{};
    QLabel* lblInfoColor1 = nullptr;
    QLabel* lblInfoColor2 = nullptr;
};

} // namespace velmora
