#pragma once

// A read report laid out on pages and painted one page at a time: the headings
// and the column captions on every page, the rows, the totals after the last
// row, and the footer. Only where each page starts is kept, so the pages cost
// nothing beyond the rows themselves however many there are.

#include <QFont>
#include <QHash>
#include <QRectF>

#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;
class QPrinter;

namespace velmora {

class Report;

class ReportPages {
public:
    // Lays out `report`, which must have been read, on pages of `page` (in the
    // device's pixels, the printable area) of `device`.
    ReportPages(const Report& report, QPaintDevice& device, const QRectF& page);

    int count() const { return int(pageStarts_.size()); }
    // The first row on page `index`; the row count on a page of totals alone.
    size_t firstRow(int index) const { return pageStarts_[size_t(index)]; }
    // Paints page `index`, counted from 0, at the painter's origin.
    void paint(QPainter& painter, int index) const;

private:
    void measureColumns();
    qreal rowHeight(size_t row) const;
    qreal textHeight(const QString& text, qreal width) const;
    qreal bodyWidth(const QString& text) const;
    qreal headingsHeight() const;
    qreal totalsHeight() const;
    qreal paintHeadings(QPainter& painter, int index) const;
    qreal paintCaptions(QPainter& painter, qreal top) const;
    void paintRow(QPainter& painter, size_t row, qreal top, qreal height) const;
    void paintTotals(QPainter& painter, qreal top) const;
    void paintFooter(QPainter& painter, int index) const;

    const Report& report_;
    QPaintDevice& device_;
    QRectF page_;
    QFont body_;
    QFont bold_;
    QFont footer_;
    qreal line_ = 0;    // one line of body text
    qreal padding_ = 0; // inside each cell, left and right
    std::vector<qreal> columnLefts_;
    std::vector<qreal> columnWidths_;
    std::vector<qreal> rowHeights_;
    std::vector<size_t> pageStarts_; // the first row of each page
    // Widths in the body font measured while laying out: a year repeats its
    // dates, accounts and descriptions thousands of times, and measuring a text
    // costs far more than finding it. Let go once the pages are laid out.
    mutable QHash<QString, qreal> bodyWidths_;
    qreal bodyTop_ = 0;
    qreal bodyBottom_ = 0;
};

// Sets the printer's orientation and margins for the report, then paints every
// page on it. False when the printer would not start (it said why in the log).
bool printReport(const Report& report, QPrinter& printer);
// The orientation and margins of the report on the printer, before painting.
void preparePrinter(const Report& report, QPrinter& printer);

} // namespace velmora
