#include "exchange/ImportGridModel.h"

#include "ui/Contrast.h"

namespace velmora {

ImportGridModel::ImportGridModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

int ImportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows();
}

int ImportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(headers_.size());
}

bool ImportGridModel::isCell(const QModelIndex& index) const {
    return checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid);
}

QVariant ImportGridModel::data(const QModelIndex& index, int role) const {
    if (!isCell(index)) {
        return {};
    }
    if (role == Qt::ForegroundRole) {
        return readableCellText(cell(index.row(), index.column(), Qt::BackgroundRole),
                                cell(index.row(), index.column(), role));
    }
    return cell(index.row(), index.column(), role);
}

QVariant ImportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return headers_.value(section);
}

QVariant ImportGridModel::alignment(bool number) {
    return QVariant::fromValue((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

} // namespace velmora
