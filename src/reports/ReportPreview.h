#pragma once

// A report's pages on screen, one under the other at the width of the view.
// Only the pages that come into view are painted, each when it does, so a
// report of thousands of pages opens as fast as one of a single page. The pages
// are laid out as on a printer of high resolution: the page breaks and the page
// numbers seen are those of paper.

#include <QAbstractScrollArea>
#include <QImage>
#include <QRectF>

#include <map>
#include <memory>
#include <vector>

class QPrinter;

namespace velmora {

class Report;
class ReportPages;

class ReportPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportPreview(QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Lays out `report`, read and not empty, and shows its first page; nullptr
    // shows none. The report must stay as it is while it is shown.
    void showReport(const Report* report);

    int pageCount() const;
    // The page at the top of the view, counted from 0; the last one when the
    // view is scrolled to the end. -1 without pages.
    int currentPage() const;
    void goToPage(int index);
    // The laid-out pages, to tell which rows each holds; null without a report.
    const ReportPages* pages() const { return pages_.get(); }

    // Every page painted since the report was shown, in the order painted.
    const std::vector<int>& paintedPages() const { return painted_; }

signals:
    void currentPageChanged(int index, int count);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void relayout();
    QSize pageSize() const;
    int stride() const;
    const QImage& pageImage(int index);
    void announcePage();

    std::unique_ptr<QPrinter> printer_; // the device the pages are measured on
    std::unique_ptr<ReportPages> pages_;
    QRectF paper_;                // the whole sheet, in the printer's pixels
    QPointF printableAt_;         // where the printable area starts on it
    qreal scale_ = 1;             // screen pixels per printer pixel
    std::map<int, QImage> shown_; // the pages in view, painted
    std::vector<int> painted_;
    int announced_ = -2;
};

} // namespace velmora
