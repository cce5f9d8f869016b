#include "reports/ReportPreview.h"

#include "reports/Report.h"
#include "reports/ReportPages.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

constexpr int kGap = 12;        // around and between the pages, in screen pixels
constexpr int kNarrowest = 120; // a page is never drawn narrower than this
constexpr int kLineStep = 20;   // one arrow key or wheel notch

} // namespace

ReportPreview::ReportPreview(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::showReport(const Report* report) {
    pages_.reset();
    shown_.clear();
    painted_.clear();
    if (report != nullptr && !report->isEmpty()) {
        // A PDF printer asks no print system anything, and measures text at the
        // resolution the report is printed at.
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        preparePrinter(*report, *printer_);
        const QPageLayout layout = printer_->pageLayout();
        const int resolution = printer_->resolution();
        paper_ = QRectF(layout.fullRectPixels(resolution));
        const QRectF printable(layout.paintRectPixels(resolution));
        printableAt_ = printable.topLeft() - paper_.topLeft();
        pages_ = std::make_unique<ReportPages>(*report, *printer_,
                                               QRectF(QPointF(0, 0), printable.size()));
    }
    relayout();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    announcePage();
}

int ReportPreview::pageCount() const {
    return pages_ ? pages_->count() : 0;
}

QSize ReportPreview::pageSize() const {
    return QSize(int(std::lround(paper_.width() * scale_)),
                 int(std::lround(paper_.height() * scale_)));
}

int ReportPreview::stride() const {
    return pageSize().height() + kGap;
}

void ReportPreview::relayout() {
    shown_.clear();
    if (!pages_ || paper_.width() <= 0) {
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    // The page fills the width; the height follows it.
    const int width = std::max(viewport()->width() - 2 * kGap, kNarrowest);
    scale_ = width / paper_.width();
    const int total = pageCount() * stride() + kGap;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, total - viewport()->height()));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(kLineStep);
}

int ReportPreview::currentPage() const {
    if (pageCount() == 0) {
        return -1;
    }
    const QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() > 0 && bar->value() == bar->maximum()) {
        return pageCount() - 1;
    }
    return std::clamp((bar->value() + kGap) / stride(), 0, pageCount() - 1);
}

void ReportPreview::goToPage(int index) {
    if (pageCount() == 0) {
        return;
    }
    verticalScrollBar()->setValue(std::clamp(index, 0, pageCount() - 1) * stride());
    // Scrolled as far as it goes before the page reached the top, the page is
    // still the one asked for.
    announcePage();
}

void ReportPreview::announcePage() {
    const int page = currentPage();
    if (page != announced_) {
        announced_ = page;
        emit currentPageChanged(page, pageCount());
    }
}

const QImage& ReportPreview::pageImage(int index) {
    auto found = shown_.find(index);
    if (found != shown_.end()) {
        return found->second;
    }
    const qreal ratio = devicePixelRatioF();
    QImage image(pageSize() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    // Text takes its size from the printer's resolution, as on paper; the
    // painter then brings the whole page down to the screen.
    const int dotsPerMeter = int(std::lround(printer_->resolution() / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.scale(scale_, scale_);
    painter.translate(printableAt_);
    pages_->paint(painter, index);
    painter.end();
    painted_.push_back(index);
    return shown_.emplace(index, std::move(image)).first->second;
}

void ReportPreview::paintEvent(QPaintEvent* /*event*/) {
    if (pageCount() == 0) {
        return;
    }
    const int top = verticalScrollBar()->value();
    const int height = viewport()->height();
    const int first = std::clamp((top - kGap) / stride(), 0, pageCount() - 1);
    const int last = std::clamp((top + height) / stride(), 0, pageCount() - 1);
    // Pages gone out of view are let go: only what is seen is held.
    for (auto it = shown_.begin(); it != shown_.end();) {
        it = it->first < first || it->first > last ? shown_.erase(it) : std::next(it);
    }
    QPainter painter(viewport());
    const int left = std::max(kGap, (viewport()->width() - pageSize().width()) / 2);
    for (int index = first; index <= last; ++index) {
        const int y = kGap + index * stride() - top;
        if (y >= height || y + pageSize().height() <= 0) {
            continue;
        }
        painter.drawImage(QPoint(left, y), pageImage(index));
    }
}

void ReportPreview::resizeEvent(QResizeEvent* event) {
    // The page under the top of the view stays there at the new width.
    const int page = currentPage();
    QAbstractScrollArea::resizeEvent(event);
    relayout();
    if (page >= 0) {
        goToPage(page);
    }
}

void ReportPreview::scrollContentsBy(int /*dx*/, int /*dy*/) {
    viewport()->update();
    announcePage();
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
        goToPage(currentPage() + 1);
        return;
    case Qt::Key_PageUp:
        goToPage(currentPage() - 1);
        return;
    case Qt::Key_Home:
        goToPage(0);
        return;
    case Qt::Key_End:
        goToPage(pageCount() - 1);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

} // namespace velmora
