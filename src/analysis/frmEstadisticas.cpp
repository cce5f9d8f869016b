#include "analysis/frmEstadisticas.h"

#include "analysis/StatisticsTableModel.h"
#include "analysis/UnreadableAmounts.h"
#include "state/Logging.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/Icons.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "ui/clsMW.h"

#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// Design positions and sizes, in twips.
constexpr int kMargin = 120;
constexpr int kListWidth = 1935;
constexpr int kListHeight = 1300;
constexpr int kButtonTop = 1560;
constexpr int kButtonHeight = 500;
constexpr int kOptionsTop = 2220;
constexpr int kOptionSize = 840;
constexpr int kOptionStep = 900;
constexpr int kTitleHeight = 400;
constexpr int kGridTop = 600;
constexpr int kMinimumGridWidth = 4500;
constexpr int kIconSize = 48;

const char* const kChartTypeTips[] = {"Barras", "Líneas", "Área", "Tarta"};

// Small pictures of the four chart types, drawn rather than shipped as files.
QIcon chartTypeIcon(ChartType type) {
    QPixmap picture(kIconSize, kIconSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 70, 140);
    const QColor fill(120, 160, 220);
    p.setPen(QPen(ink, 2));
    switch (type) {
    case ChartType::Bar:
        p.setBrush(fill);
        p.drawRect(8, 26, 8, 16);
        p.drawRect(20, 12, 8, 30);
        p.drawRect(32, 20, 8, 22);
        break;
    case ChartType::Line:
        p.drawPolyline(QPolygon({{6, 38}, {16, 22}, {26, 30}, {36, 12}, {44, 18}}));
        break;
    case ChartType::Area: {
        QPainterPath area;
        area.moveTo(6, 42);
        area.lineTo(6, 30);
        area.lineTo(18, 18);
        area.lineTo(30, 26);
        area.lineTo(42, 10);
        area.lineTo(42, 42);
        area.closeSubpath();
        p.setBrush(fill);
        p.drawPath(area);
        break;
    }
    case ChartType::Pie:
        p.setBrush(fill);
        p.drawPie(QRect(6, 6, 36, 36), 90 * 16, 270 * 16);
        p.setBrush(ink);
        p.drawPie(QRect(8, 4, 36, 36), 0, 90 * 16);
        break;
    }
    p.setPen(QPen(Qt::darkGray, 1));
    if (type != ChartType::Pie) {
        p.drawLine(4, 44, 46, 44);
        p.drawLine(4, 4, 4, 44);
    }
    return QIcon(picture);
}

} // namespace

frmEstadisticas::frmEstadisticas(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAnalysis()) {
    setObjectName(QStringLiteral("frmEstadisticas"));
    setWindowTitle(QStringLiteral("Estadísticas"));
    buildControls();
    // Wide enough for a month's figure in the thousands without cutting it,
    // on a screen that has the room.
    QSize size(twips(22500), twips(12000));
    if (const QScreen* shownOn = screen()) {
        size = size.boundedTo(shownOn->availableGeometry().size());
    }
    // Never so small that the choices on the left are cut or the table and the
    // chart have no room at all.
    setMinimumSize(twips(3 * kMargin + kListWidth + kMinimumGridWidth),
                   twips(kOptionsTop + kOptionStep + kOptionSize + kMargin));
    resize(size.expandedTo(minimumSize()));
    layoutControls();

    lstTipo->setCurrentRow(0);
    filter();
}

frmEstadisticas::~frmEstadisticas() = default;

void frmEstadisticas::buildControls() {
    lstTipo = new QListWidget(this);
    lstTipo->setObjectName(QStringLiteral("lstTipo"));
    lstTipo->addItems(statisticsKindNames());

    cmdFiltrar = new QPushButton(commandIcon(Command::Refresh), QStringLiteral("&Filtrar"), this);
    cmdFiltrar->setObjectName(QStringLiteral("cmdFiltrar"));
    connect(cmdFiltrar, &QPushButton::clicked, this, &frmEstadisticas::filter);

    for (int i = 0; i < 4; ++i) {
        auto* option = new QToolButton(this);
        option->setObjectName(QStringLiteral("optTipoGrafico%1").arg(i));
        const auto type = static_cast<ChartType>(i);
        option->setIcon(chartTypeIcon(type));
        option->setIconSize(QSize(kIconSize, kIconSize));
        option->setToolTip(QString::fromUtf8(kChartTypeTips[i]));
        option->setCheckable(true);
        option->setAutoExclusive(true);
        connect(option, &QToolButton::clicked, this, [this, type] { chooseChartType(type); });
        optTipoGrafico[i] = option;
    }
    optTipoGrafico[0]->setChecked(true);

    lblTitulo = new QLabel(QStringLiteral("TITULO"), this);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    QFont bold = lblTitulo->font();
    bold.setBold(true);
    lblTitulo->setFont(bold);

    model_ = new StatisticsTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    // The row number column is narrower than a header section would allow.
    mshDatos->horizontalHeader()->setMinimumSectionSize(0);
    connect(mshDatos, &QAbstractItemView::clicked, this, [this] { chartSelectedRow(); });
    wheel_ = std::make_unique<clsMW>(services_.messages);
    wheel_->InitMouseWheel(mshDatos);

    mscGrafico = new QChartView(this);
    mscGrafico->setObjectName(QStringLiteral("mscGrafico"));
    mscGrafico->setRenderHint(QPainter::Antialiasing);

    setTabChain({lstTipo, cmdFiltrar, mshDatos, optTipoGrafico[0], optTipoGrafico[1],
                 optTipoGrafico[2], optTipoGrafico[3]});
}

void frmEstadisticas::layoutControls() {
    paintFieldBackground(*lstTipo, state_.palette.section());
    paintBackground(*lblTitulo, state_.palette.section());
    lstTipo->setGeometry(twips(kMargin), twips(kMargin), twips(kListWidth), twips(kListHeight));
    cmdFiltrar->setGeometry(twips(kMargin), twips(kButtonTop), twips(kListWidth),
                            twips(kButtonHeight));
    for (int i = 0; i < 4; ++i) {
        optTipoGrafico[i]->setGeometry(twips(kMargin + (i % 2) * kOptionStep),
                                       twips(kOptionsTop + (i / 2) * kOptionStep),
                                       twips(kOptionSize), twips(kOptionSize));
    }

    // A window squeezed smaller than the fixed parts leaves each part at nothing.
    const int left = twips(kMargin + kListWidth + 2 * kMargin);
    const int gridWidth = std::max(width() - lstTipo->width() - twips(500), 0);
    const int gridHeight = static_cast<int>(std::lround(0.3 * height()));
    lblTitulo->setGeometry(left, twips(kMargin), gridWidth, twips(kTitleHeight));
    mshDatos->setGeometry(left, twips(kGridTop), gridWidth, gridHeight);
    const int outerHeight = frameGeometry().height();
    mscGrafico->setGeometry(left, mshDatos->geometry().bottom() + 1 + twips(100), gridWidth,
                            std::max(outerHeight - gridHeight - twips(1200), 0));
    if (selectedKind() && isAvailable(*selectedKind())) {
        applyColumnWidths();
    }
}

void frmEstadisticas::applyColumnWidths() {
    const double w = mshDatos->width();
    const auto share = [w](double fraction) { return static_cast<int>(std::lround(fraction * w)); };
    // The shares are the least a column gets: a wider figure or month name widens
    // it. The table holds one row per account, so every row is measured.
    const QList<int> rows = allRows(*mshDatos);
    mshDatos->setColumnWidth(StatisticsTableModel::LineColumn, twips(300));
    setColumnWidthToFit(*mshDatos, StatisticsTableModel::NameColumn, share(0.10), rows);
    for (int c = StatisticsTableModel::JanuaryColumn; c < StatisticsTableModel::TotalColumn; ++c) {
        setColumnWidthToFit(*mshDatos, c, share(0.06), rows);
    }
    setColumnWidthToFit(*mshDatos, StatisticsTableModel::TotalColumn, share(0.07), rows);
}

std::optional<StatisticsKind> frmEstadisticas::selectedKind() const {
    const int row = lstTipo->currentRow();
    if (row < 0 || row > static_cast<int>(StatisticsKind::ExpenseByYear)) {
        return std::nullopt;
    }
    return static_cast<StatisticsKind>(row);
}

void frmEstadisticas::filter() {
    const QListWidgetItem* item = lstTipo->currentItem();
    lblTitulo->setText(item != nullptr ? item->text().toUpper() : QString());
    refresh();
}

void frmEstadisticas::refresh() {
    const std::optional<StatisticsKind> kind = selectedKind();
    if (!kind || !isAvailable(*kind)) {
        services_.messages.inform(this, QStringLiteral("Opción no disponible"));
        return;
    }
    MonthlyTable table;
    if (!report_.attempt(QStringLiteral("No se pueden calcular las estadísticas"),
                         [&] { table = loadMonthlyStatistics(state_.db(), *kind); })) {
        return;
    }
    const bool unreadable = table.totals.total && !table.totals.total->readable();
    const QString notice = unreadable ? unreadableFiguresNotice(table.unreadable) : QString();

    // One repaint for the whole reload. An empty table leaves the chart as it was.
    mshDatos->setUpdatesEnabled(false);
    const bool empty = table.empty();
    model_->setTable(std::move(table));
    mshDatos->horizontalHeader()->setVisible(!empty);
    if (!empty) {
        applyColumnWidths();
        mshDatos->setCurrentIndex(model_->index(0, StatisticsTableModel::NameColumn));
        mshDatos->scrollToTop();
    }
    mshDatos->setUpdatesEnabled(true);
    if (!empty) {
        chartSelectedRow();
    }
    if (unreadable) {
        services_.messages.warn(this, notice);
    }
}

void frmEstadisticas::PonGrafico(int row) {
    chartRow(row);
}

bool frmEstadisticas::chartRow(int row) {
    const std::optional<StatisticsKind> kind = selectedKind();
    const MonthlyTable& table = model_->table();
    if (!kind || !isAvailable(*kind) || row < 1 || row > table.rowCount()) {
        return false;
    }
    draw(describeRow(table.row(row - 1), chartType_));
    return true;
}

bool frmEstadisticas::chartSelectedRow() {
    const QModelIndex current = mshDatos->currentIndex();
    return current.isValid() && chartRow(current.row() + 1);
}

void frmEstadisticas::chooseChartType(ChartType type) {
    chartType_ = type;
    if (!chartSelectedRow() && drawn_) {
        // Nothing to draw afresh: what is shown only changes its type.
        ChartDescription redrawn = *drawn_;
        redrawn.type = type;
        draw(redrawn);
    }
}

void frmEstadisticas::draw(const ChartDescription& description) {
    QChart* previous = mscGrafico->chart();
    mscGrafico->setChart(buildChart(description, state_.palette.section()));
    // The view gives the previous chart back rather than deleting it.
    delete previous;
    drawn_ = description;
}

void frmEstadisticas::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutControls();
}

} // namespace velmora
