#pragma once

// A list grid's model painted with the palette: when a colour changes, every
// cell is asked again, so an open grid takes the new colour at once.

#include "ui/Palette.h"

#include <QAbstractTableModel>

namespace velmora {

class PaintedTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PaintedTableModel(const Palette& palette, QObject* parent = nullptr);

protected:
    const Palette& palette() const { return palette_; }

private:
    const Palette& palette_;
};

} // namespace velmora
