#include "ui/Icons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QStringList>

#include <algorithm>

namespace velmora {

namespace {

struct ThemeName {
    Command command;
    const char* name;
};

// Standard names of the freedesktop icon naming scheme, or the ones every common
// theme ships where the scheme has none.
constexpr ThemeName kThemeNames[] = {
    {Command::Find, "edit-find"},
    {Command::ClearFilter, "edit-clear"},
    {Command::New, "document-new"},
    {Command::Edit, "document-edit"},
    {Command::Delete, "edit-delete"},
    {Command::Report, "document-print-preview"},
    {Command::Balance, "accessories-calculator"},
    {Command::Statistics, "x-office-spreadsheet"},
    {Command::Exit, "application-exit"},
    {Command::Pdf, "application-pdf"},
    {Command::Print, "document-print"},
    {Command::Refresh, "view-refresh"},
    {Command::FirstPage, "go-first"},
    {Command::PreviousPage, "go-previous"},
    {Command::NextPage, "go-next"},
    {Command::LastPage, "go-last"},
};

// A sheet of paper with its corner folded, the base of the document pictures.
void drawPage(QPainter& p) {
    p.drawPolyline(
        QPolygonF({{20, 4}, {7, 4}, {7, 28}, {25, 28}, {25, 9}, {20, 4}, {20, 9}, {25, 9}}));
}

void drawMagnifier(QPainter& p, QPointF centre, qreal radius) {
    p.drawEllipse(centre, radius, radius);
    const qreal reach = radius * 0.7071;
    p.drawLine(centre + QPointF(reach, reach), centre + QPointF(reach * 2.3, reach * 2.3));
}

// A chevron pointing left or right, with a bar at its point for the first and
// last page.
void drawChevron(QPainter& p, bool right, bool bar) {
    const qreal tip = right ? 21 : 11;
    const qreal back = right ? 13 : 19;
    p.drawPolyline(QPolygonF({{back, 8}, {tip, 16}, {back, 24}}));
    if (bar) {
        const qreal x = right ? 25 : 7;
        p.drawLine(QPointF(x, 8), QPointF(x, 24));
    }
}

// Draws on a 32 by 32 grid.
void draw(QPainter& p, Command command) {
    switch (command) {
    case Command::Find:
        drawMagnifier(p, {13, 13}, 8);
        break;
    case Command::ClearFilter:
        p.drawPolygon(QPolygonF({{4, 5}, {24, 5}, {16, 15}, {16, 25}, {12, 27}, {12, 15}}));
        p.drawLine(QPointF(21, 19), QPointF(28, 26));
        p.drawLine(QPointF(28, 19), QPointF(21, 26));
        break;
    case Command::New:
        drawPage(p);
        p.drawLine(QPointF(16, 13), QPointF(16, 23));
        p.drawLine(QPointF(11, 18), QPointF(21, 18));
        break;
    case Command::Edit:
        drawPage(p);
        p.drawPolygon(QPolygonF({{13, 24}, {14, 19}, {26, 7}, {30, 11}, {18, 23}}));
        break;
    case Command::Delete:
        p.drawLine(QPointF(5, 8), QPointF(27, 8));
        p.drawPolyline(QPolygonF({{12, 8}, {12, 4}, {20, 4}, {20, 8}}));
        p.drawPolyline(QPolygonF({{8, 8}, {10, 28}, {22, 28}, {24, 8}}));
        p.drawLine(QPointF(14, 13), QPointF(14, 23));
        p.drawLine(QPointF(18, 13), QPointF(18, 23));
        break;
    case Command::Report:
        drawPage(p);
        for (const qreal y : {13.0, 17.0, 21.0}) {
            p.drawLine(QPointF(11, y), QPointF(17, y));
        }
        drawMagnifier(p, {21, 20}, 4);
        break;
    case Command::Balance:
        p.drawRoundedRect(QRectF(7, 3, 18, 26), 2, 2);
        p.drawRect(QRectF(10, 6, 12, 5));
        for (const qreal y : {16.0, 20.0, 24.0}) {
            for (const qreal x : {11.0, 16.0, 21.0}) {
                p.drawPoint(QPointF(x, y));
            }
        }
        break;
    case Command::Statistics:
        p.drawPolyline(QPolygonF({{4, 4}, {4, 28}, {28, 28}}));
        p.drawRect(QRectF(8, 18, 4, 10));
        p.drawRect(QRectF(15, 10, 4, 18));
        p.drawRect(QRectF(22, 14, 4, 14));
        break;
    case Command::Exit:
        p.drawPolyline(QPolygonF({{16, 9}, {16, 4}, {5, 4}, {5, 28}, {16, 28}, {16, 23}}));
        p.drawLine(QPointF(11, 16), QPointF(28, 16));
        p.drawPolyline(QPolygonF({{23, 11}, {28, 16}, {23, 21}}));
        break;
    case Command::Pdf:
        drawPage(p);
        p.drawLine(QPointF(16, 12), QPointF(16, 23));
        p.drawPolyline(QPolygonF({{12, 19}, {16, 23}, {20, 19}}));
        break;
    case Command::Print:
        p.drawPolyline(QPolygonF({{9, 11}, {9, 4}, {23, 4}, {23, 11}}));
        p.drawRoundedRect(QRectF(4, 11, 24, 12), 2, 2);
        p.drawRect(QRectF(9, 19, 14, 9));
        break;
    case Command::FirstPage:
        drawChevron(p, false, true);
        break;
    case Command::PreviousPage:
        drawChevron(p, false, false);
        break;
    case Command::NextPage:
        drawChevron(p, true, false);
        break;
    case Command::LastPage:
        drawChevron(p, true, true);
        break;
    case Command::Refresh: {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(6, 6, 20, 20), 60);
        arc.arcTo(QRectF(6, 6, 20, 20), 60, 280);
        p.drawPath(arc);
        p.drawPolyline(QPolygonF({{14, 4}, {21, 7}, {16, 12}}));
        break;
    }
    }
}

// Draws when asked, so the ink follows the desktop's palette at that moment,
// greyed as the palette greys text for a disabled button.
class LineIconEngine : public QIconEngine {
public:
    explicit LineIconEngine(Command command) : command_(command) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State /*state*/) override {
        const QPalette palette = QGuiApplication::palette();
        const QColor ink = palette.color(
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal side = std::min(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 32.0, side / 32.0);
        painter->setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        draw(*painter, command_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new LineIconEngine(command_); }

private:
    Command command_;
};

} // namespace

QIcon commandIcon(Command command) {
    for (const ThemeName& entry : kThemeNames) {
        if (entry.command == command) {
            const QString name = QString::fromLatin1(entry.name);
            if (QIcon::hasThemeIcon(name)) {
                return QIcon::fromTheme(name);
            }
        }
    }
    return QIcon(new LineIconEngine(command));
}

QString commandToolTip(const QString& caption, const QKeySequence& shortcut) {
    QString name = caption;
    // "&&" stands for an ampersand shown as such.
    name.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
    QStringList keys;
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    if (!mnemonic.isEmpty()) {
        keys.append(mnemonic.toString(QKeySequence::NativeText));
    }
    if (!shortcut.isEmpty()) {
        keys.append(shortcut.toString(QKeySequence::NativeText));
    }
    return keys.isEmpty() ? name
                          : QStringLiteral("%1 (%2)").arg(name, keys.join(QStringLiteral(", ")));
}

} // namespace velmora
