#include "reports/ReportPages.h"

#include "reports/Report.h"
#include "state/Logging.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <numeric>

namespace velmora {

namespace {

const QColor kCaptionShade(225, 225, 225);
const QColor kBandShade(243, 243, 243);
const QColor kRule(120, 120, 120);
// Expense amounts, red as in the entry list; deep enough to read on a banded
// row, and still dark where a printer prints colours in greys.
const QColor kNegativeInk(192, 0, 0);

constexpr qreal kBodyPoints = 9;
constexpr qreal kFooterPoints = 7.5;
constexpr qreal kMarginMm = 12;

QFont sized(qreal points, bool bold) {
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: "fi" in a PDF then reads, copies and searches as two letters
    // rather than one sign. Spanish text needs no shaping.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QFont headingFont(ReportHeading::Style style) {
    switch (style) {
    case ReportHeading::Style::Large:
        return sized(14, true);
    case ReportHeading::Style::Title:
        return sized(12, true);
    case ReportHeading::Style::Normal:
        break;
    }
    return sized(kBodyPoints, false);
}

// Line breaks inside a stored text break the printed line too.
QString printable(QString text) {
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// Lays `text` out in lines no wider than `width`, breaking between words where
// it can; draws them at `origin` when a painter is given. At most `maxLines`.
int flowText(const QString& text, const QFont& font, QPaintDevice& device, qreal width,
             int maxLines, QPainter* painter = nullptr, QPointF origin = {}) {
    QTextLayout layout(printable(text), font, &device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const qreal spacing = QFontMetricsF(font, &device).lineSpacing();
    int lines = 0;
    layout.beginLayout();
    while (lines < maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
        line.setPosition(QPointF(0, lines * spacing));
        ++lines;
    }
    layout.endLayout();
    if (painter != nullptr) {
        layout.draw(painter, origin);
    }
    return std::max(lines, 1);
}

} // namespace

ReportPages::ReportPages(const Report& report, QPaintDevice& device, const QRectF& page)
    : report_(report), device_(device), page_(page), body_(sized(kBodyPoints, false)),
      bold_(sized(kBodyPoints, true)), footer_(sized(kFooterPoints, false)) {
    const QFontMetricsF metrics(body_, &device_);
    line_ = metrics.lineSpacing();
    padding_ = metrics.averageCharWidth() * 0.6;
    measureColumns();

    bodyTop_ = headingsHeight() + line_ * 1.5;
    bodyBottom_ = page_.height() - QFontMetricsF(footer_, &device_).lineSpacing() * 2;
    const qreal room = std::max(bodyBottom_ - bodyTop_, line_);

    const size_t rows = report_.rows().rowCount();
    rowHeights_.reserve(rows);
    pageStarts_.push_back(0);
    qreal y = bodyTop_;
    for (size_t row = 0; row < rows; ++row) {
        const qreal height = std::min(rowHeight(row), room);
        rowHeights_.push_back(height);
        if (y + height > bodyBottom_ && row != pageStarts_.back()) {
            pageStarts_.push_back(row);
            y = bodyTop_;
        }
        y += height;
    }
    if (y + totalsHeight() > bodyBottom_ && rows != pageStarts_.back()) {
        // The last row goes over with the totals: sums alone on a page say
        // nothing of what they add up. Only a row too tall to share a page
        // with them leaves them alone.
        const bool together = rows - 1 > pageStarts_.back() &&
                              bodyTop_ + rowHeights_.back() + totalsHeight() <= bodyBottom_;
        pageStarts_.push_back(together ? rows - 1 : rows);
    }
    bodyWidths_ = {};
}

qreal ReportPages::bodyWidth(const QString& text) const {
    const auto known = bodyWidths_.constFind(text);
    if (known != bodyWidths_.constEnd()) {
        return *known;
    }
    const qreal width = QFontMetricsF(body_, &device_).horizontalAdvance(text);
    bodyWidths_.insert(text, width);
    return width;
}

void ReportPages::measureColumns() {
    const ReportDefinition& definition = report_.definition();
    const ReportRows& rows = report_.rows();
    const QFontMetricsF strong(bold_, &device_);
    const int columns = int(definition.columns.size());
    const int weights =
        std::accumulate(definition.columns.begin(), definition.columns.end(), 0,
                        [](int sum, const ReportColumn& c) { return sum + c.width; });

    // Dates and amounts are never cut or wrapped: their columns take at least
    // their widest figure, and the text columns share what is left.
    columnWidths_.assign(size_t(columns), 0);
    qreal fixed = 0;
    int textWeights = 0;
    for (int c = 0; c < columns; ++c) {
        const ReportColumn& column = definition.columns[c];
        const qreal share = page_.width() * column.width / weights;
        if (column.kind == ReportColumn::Kind::Text) {
            textWeights += column.width;
            continue;
        }
        qreal widest = strong.horizontalAdvance(column.caption);
        for (size_t row = 0; row < rows.rowCount(); ++row) {
            widest = std::max(widest, bodyWidth(rows.cell(row, c)));
        }
        if (c == columns - 1) {
            for (const QString& total : rows.totals) {
                widest = std::max(widest, strong.horizontalAdvance(total));
            }
        }
        columnWidths_[size_t(c)] = std::max(share, widest + 2 * padding_);
        fixed += columnWidths_[size_t(c)];
    }
    const qreal left = std::max(page_.width() - fixed, 0.0);
    for (int c = 0; c < columns; ++c) {
        const ReportColumn& column = definition.columns[c];
        if (column.kind == ReportColumn::Kind::Text) {
            columnWidths_[size_t(c)] = left * column.width / textWeights;
        }
    }
    columnLefts_.assign(size_t(columns), 0);
    for (int c = 1; c < columns; ++c) {
        columnLefts_[size_t(c)] = columnLefts_[size_t(c - 1)] + columnWidths_[size_t(c - 1)];
    }
}

qreal ReportPages::textHeight(const QString& text, qreal width) const {
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
        bodyWidth(text) <= width) {
        return line_;
    }
    const int most = std::max(1, int((bodyBottom_ - bodyTop_) / line_));
    return line_ * flowText(text, body_, device_, width, most);
}

qreal ReportPages::rowHeight(size_t row) const {
    const ReportDefinition& definition = report_.definition();
    qreal height = line_;
    for (int c = 0; c < definition.columns.size(); ++c) {
        if (definition.columns[c].kind == ReportColumn::Kind::Text) {
            height = std::max(height, textHeight(report_.rows().cell(row, c),
                                                 columnWidths_[size_t(c)] - 2 * padding_));
        }
    }
    return height + line_ * 0.3;
}

qreal ReportPages::headingsHeight() const {
    qreal height = 0;
    for (const ReportHeading& heading : report_.definition().headings) {
        // The widest page numbers, so that every page has the same room.
        const QString text = report_.fill(heading.text, 99999, 99999);
        if (text.isEmpty()) {
            continue;
        }
        const QFont font = headingFont(heading.style);
        height += QFontMetricsF(font, &device_).lineSpacing() *
                  flowText(text, font, device_, page_.width(), 3);
    }
    return height + line_ * 0.6;
}

qreal ReportPages::totalsHeight() const {
    return report_.rows().totals.size() * line_ * 1.3 + line_;
}

void ReportPages::paint(QPainter& painter, int index) const {
    painter.save();
    painter.setClipRect(QRectF(QPointF(0, 0), page_.size()));
    paintHeadings(painter, index);
    paintCaptions(painter, bodyTop_ - line_ * 1.5);

    const size_t first = pageStarts_[size_t(index)];
    const size_t end =
        index + 1 < count() ? pageStarts_[size_t(index) + 1] : report_.rows().rowCount();
    qreal y = bodyTop_;
    for (size_t row = first; row < end; ++row) {
        if ((row - first) % 2 == 1) {
            painter.fillRect(QRectF(0, y, page_.width(), rowHeights_[row]), kBandShade);
        }
        paintRow(painter, row, y, rowHeights_[row]);
        y += rowHeights_[row];
    }
    if (index == count() - 1) {
        paintTotals(painter, y);
    }
    paintFooter(painter, index);
    painter.restore();
}

qreal ReportPages::paintHeadings(QPainter& painter, int index) const {
    qreal y = 0;
    for (const ReportHeading& heading : report_.definition().headings) {
        const QString text = report_.fill(heading.text, index + 1, count());
        if (text.isEmpty()) {
            continue;
        }
        const QFont font = headingFont(heading.style);
        painter.setFont(font);
        painter.setPen(Qt::black);
        y += QFontMetricsF(font, &device_).lineSpacing() *
             flowText(text, font, device_, page_.width(), 3, &painter, QPointF(0, y));
    }
    return y;
}

qreal ReportPages::paintCaptions(QPainter& painter, qreal top) const {
    const ReportDefinition& definition = report_.definition();
    const qreal height = line_ * 1.4;
    painter.fillRect(QRectF(0, top, page_.width(), height), kCaptionShade);
    painter.setFont(bold_);
    painter.setPen(Qt::black);
    for (int c = 0; c < definition.columns.size(); ++c) {
        const ReportColumn& column = definition.columns[c];
        const QRectF cell(columnLefts_[size_t(c)] + padding_, top,
                          columnWidths_[size_t(c)] - 2 * padding_, height);
        const Qt::Alignment align = column.isFigure() ? Qt::AlignRight : Qt::AlignLeft;
        painter.drawText(cell, int(align | Qt::AlignVCenter), column.caption);
    }
    return top + height;
}

void ReportPages::paintRow(QPainter& painter, size_t row, qreal top, qreal height) const {
    const ReportDefinition& definition = report_.definition();
    painter.setFont(body_);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(body_, &device_);
    const qreal textTop = top + line_ * 0.15;
    for (int c = 0; c < definition.columns.size(); ++c) {
        const ReportColumn& column = definition.columns[c];
        const QString& text = report_.rows().cell(row, c);
        const qreal width = columnWidths_[size_t(c)] - 2 * padding_;
        const QRectF cell(columnLefts_[size_t(c)] + padding_, textTop, width, line_);
        if (column.isFigure()) {
            painter.setPen(report_.rows().isNegative(row) ? kNegativeInk : Qt::black);
            painter.drawText(cell, int(Qt::AlignRight | Qt::AlignTop), text);
            painter.setPen(Qt::black);
        } else if (column.kind == ReportColumn::Kind::Date ||
                   (metrics.horizontalAdvance(text) <= width && !text.contains(QLatin1Char('\n')) &&
                    !text.contains(QLatin1Char('\r')))) {
            painter.drawText(cell, int(Qt::AlignLeft | Qt::AlignTop), text);
        } else {
            painter.save();
            painter.setClipRect(
                QRectF(columnLefts_[size_t(c)], top, columnWidths_[size_t(c)], height),
                Qt::IntersectClip);
            flowText(text, body_, device_, width, int(height / line_) + 1, &painter,
                     cell.topLeft());
            painter.restore();
        }
    }
}

void ReportPages::paintTotals(QPainter& painter, qreal top) const {
    const ReportDefinition& definition = report_.definition();
    const ReportRows& rows = report_.rows();
    if (rows.totals.isEmpty()) {
        return;
    }
    const size_t last = columnWidths_.size() - 1;
    painter.setPen(QPen(kRule, 0));
    painter.drawLine(QPointF(0, top + line_ * 0.4), QPointF(page_.width(), top + line_ * 0.4));
    painter.setFont(bold_);
    painter.setPen(Qt::black);
    qreal y = top + line_;
    for (int i = 0; i < rows.totals.size(); ++i) {
        const QRectF caption(0, y, columnLefts_[last] - padding_, line_);
        const QRectF value(columnLefts_[last] + padding_, y, columnWidths_[last] - 2 * padding_,
                           line_);
        painter.drawText(caption, int(Qt::AlignRight | Qt::AlignTop),
                         definition.totals[i].caption + QLatin1Char(':'));
        painter.drawText(value, int(Qt::AlignRight | Qt::AlignTop), rows.totals[i]);
        y += line_ * 1.3;
    }
}

void ReportPages::paintFooter(QPainter& painter, int index) const {
    const ReportDefinition& definition = report_.definition();
    const qreal spacing = QFontMetricsF(footer_, &device_).lineSpacing();
    const qreal top = page_.height() - spacing;
    painter.setPen(QPen(kRule, 0));
    painter.drawLine(QPointF(0, top - spacing * 0.4), QPointF(page_.width(), top - spacing * 0.4));
    painter.setFont(footer_);
    painter.setPen(Qt::black);
    const QRectF line(0, top, page_.width(), spacing);
    painter.drawText(line, int(Qt::AlignLeft | Qt::AlignTop),
                     report_.fill(definition.footerLeft, index + 1, count()));
    painter.drawText(line, int(Qt::AlignRight | Qt::AlignTop),
                     report_.fill(definition.footerRight, index + 1, count()));
}

void preparePrinter(const Report& report, QPrinter& printer) {
    printer.setPageOrientation(!report.isEmpty() && report.definition().landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                           QPageLayout::Millimeter);
}

bool printReport(const Report& report, QPrinter& printer) {
    preparePrinter(report, printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        qCWarning(lcReports) << "La impresora no empieza:" << printer.printerName()
                             << printer.outputFileName();
        return false;
    }
    const QRectF page(QPointF(0, 0),
                      printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const ReportPages pages(report, printer, page);
    for (int i = 0; i < pages.count(); ++i) {
        if (i > 0 && !printer.newPage()) {
            qCWarning(lcReports) << "La impresora no pasa de página:" << printer.printerName();
            return false;
        }
        pages.paint(painter, i);
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace velmora
