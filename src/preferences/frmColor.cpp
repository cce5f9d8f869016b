#include "preferences/frmColor.h"

#include "state/Settings.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

#include <functional>
#include <utility>

namespace velmora {

namespace {

const QString kMark = QStringLiteral(">>>");

// A bordered label that reacts to a click, as the swatches do.
class Swatch : public QLabel {
public:
    Swatch(std::function<void()> onClick, QWidget* parent)
        : QLabel(parent), onClick_(std::move(onClick)) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setAlignment(Qt::AlignCenter);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        // A press dragged off the swatch and released elsewhere is no choice.
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            onClick_();
        }
        QLabel::mouseReleaseEvent(event);
    }

private:
    std::function<void()> onClick_;
};

const ColourChoices& choicesFor(bool main) {
    return main ? kMainColourChoices : kSectionColourChoices;
}

} // namespace

frmColor::frmColor(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmColor"));
    setWindowTitle(QStringLiteral("Colores"));

    QWidget* mainGrid = buildGrid(lblColor, "lblColor", Target::Main);
    QWidget* sectionGrid = buildGrid(lblColor2, "lblColor2", Target::Section);

    auto makeInfo = [this](QLabel*& label, const char* name, const QString& text) {
        label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setWordWrap(true);
        label->setFixedWidth(twips(2800));
    };
    makeInfo(lblInfoColor1, "lblInfoColor1",
             QStringLiteral("Seleccione de esta cuadrícula el color principal para las fichas "
                            "y cuadrículas de datos."));
    makeInfo(lblInfoColor2, "lblInfoColor2",
             QStringLiteral("Seleccione de esta cuadrícula el color de fondo para las "
                            "secciones de datos."));

    auto* layout = new QGridLayout(this);
    layout->addWidget(mainGrid, 0, 0);
    layout->addWidget(lblInfoColor1, 0, 1);
    layout->addWidget(sectionGrid, 1, 0);
    layout->addWidget(lblInfoColor2, 1, 1);
    layout->setVerticalSpacing(twips(360));
    layout->setHorizontalSpacing(twips(240));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* frmColor::buildGrid(Swatches& swatches, const char* name, Target target) {
    auto* grid = new QWidget(this);
    // The swatches overlap by a border's width, so neighbours share one line.
    constexpr int kStepX = 1200;
    constexpr int kStepY = 720;
    constexpr int kWidth = 1215;
    constexpr int kHeight = 735;
    grid->setFixedSize(twips(4 * kStepX + kWidth), twips(kStepY + kHeight));
    for (int i = 0; i < 10; ++i) {
        auto* swatch = new Swatch([this, target, i] { choose(target, i); }, grid);
        swatch->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
        swatch->setGeometry(twips(i % 5 * kStepX), twips(i / 5 * kStepY), twips(kWidth),
                            twips(kHeight));
        swatches[static_cast<std::size_t>(i)] = swatch;
    }
    return grid;
}

void frmColor::opened() {
    for (std::size_t i = 0; i < 10; ++i) {
        paintBackground(*lblColor[i], colourFromValue(kMainColourChoices[i]));
        paintBackground(*lblColor2[i], colourFromValue(kSectionColourChoices[i]));
    }
    markSelection();
}

void frmColor::choose(Target target, int index) {
    const bool main = target == Target::Main;
    const qint32 colour = choicesFor(main)[static_cast<std::size_t>(index)];
    // The colour applies for this run even when its file cannot be written.
    if (main) {
        state_.palette.setMain(colour);
    } else {
        state_.palette.setSection(colour);
    }
    markSelection();

    const SettingsFiles settings(state_.session.programFolder());
    try {
        if (main) {
            settings.writeMainColour(colour);
        } else {
            settings.writeSectionColour(colour);
        }
    } catch (const SettingsError& error) {
        services_.messages.fail(this, error.message() +
                                          QStringLiteral("\n\nEl color se usará hasta que "
                                                         "cierre el programa, pero la próxima "
                                                         "vez volverá el anterior."));
    }
}

void frmColor::markSelection() {
    // Each grid against its own colour only: a colour in both palettes is not
    // marked in the other grid.
    for (std::size_t i = 0; i < 10; ++i) {
        lblColor[i]->setText(kMainColourChoices[i] == state_.palette.mainValue() ? kMark
                                                                                 : QString());
        lblColor2[i]->setText(
            kSectionColourChoices[i] == state_.palette.sectionValue() ? kMark : QString());
    }
}

} // namespace velmora
