#include "preferences/frmAcercaDe.h"

#include "store/Formats.h"
#include "ui/Contrast.h"
#include "ui/Palette.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace velmora {

namespace {

constexpr int kLeft = 250;
constexpr int kPictureWidth = 9000;
constexpr int kPictureHeight = 1332;
constexpr qint32 kDarkGrey = 4210752;

// Drawn here rather than shipped as a file: a band in the program's blue with
// its name and the maker's.
QPixmap banner() {
    QPixmap picture(twips(kPictureWidth), twips(kPictureHeight));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, picture.width(), 0);
    band.setColorAt(0, QColor(16, 52, 96));
    band.setColorAt(1, QColor(40, 132, 160));
    painter.fillRect(picture.rect(), band);
    painter.setPen(QColor(255, 255, 255, 40));
    for (int x = -picture.height(); x < picture.width(); x += 18) {
        painter.drawLine(x, picture.height(), x + picture.height(), 0);
    }
    QFont name = painter.font();
    name.setPixelSize(picture.height() / 2);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(Qt::white);
    const QRect text = picture.rect().adjusted(24, 0, -24, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));
    QFont maker = name;
    maker.setPixelSize(picture.height() / 5);
    maker.setBold(false);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    painter.setFont(maker);
    painter.drawText(text, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("TESSARON"));
    return picture;
}

} // namespace

frmAcercaDe::frmAcercaDe(AppState& /*state*/, Services& /*services*/, QWidget* parent)
    : ModalWindow(parent), openSite([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("frmAcercaDe"));
    setWindowTitle(QStringLiteral("Acerca de ..."));
    paintBackground(*this, Palette::white());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(banner());
    Image1->setGeometry(twips(kLeft), twips(120), twips(kPictureWidth), twips(kPictureHeight));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);

    auto addLabel = [this](const QString& text, int top, int height, int points, bool bold) {
        auto* label = new QLabel(text, this);
        label->setGeometry(twips(kLeft), twips(top), twips(kPictureWidth), twips(height));
        QFont font = label->font();
        font.setPointSize(points);
        font.setBold(bold);
        label->setFont(font);
        return label;
    };
    lblInforma = addLabel(QStringLiteral("Gestión de Contabilidad Personal"), 1620, 540, 18, true);
    lblInforma->setObjectName(QStringLiteral("lblInforma"));
    QPalette grey = lblInforma->palette();
    grey.setColor(QPalette::WindowText, readableOn(Palette::white(), colourFromValue(kDarkGrey)));
    lblInforma->setPalette(grey);

    addLabel(QStringLiteral("Contacto:"), 2340, 300, 9, false);
    addLabel(QStringLiteral("TESSARON"), 2640, 480, 14, true);
    const QStringList contact{
        QStringLiteral("Calle del Almendro, 27 - 3º B"),
        QStringLiteral("47003 Valladolid"),
        QStringLiteral("Teléfonos: 983 000 127 - 600 000 127"),
        QStringLiteral("Correo: contacto@tessaron.example.org"),
    };
    int top = 3180;
    for (const QString& line : contact) {
        addLabel(line, top, 300, 9, false);
        top += 300;
    }

    // The width follows the banner whatever the user drags it to; the height
    // may grow, never so far down that the last lines are cut.
    setFixedWidth(Image1->width() + twips(500));
    setMinimumHeight(twips(top + 360));
    resize(width(), minimumHeight());
}

QUrl frmAcercaDe::site() {
    return QUrl(QStringLiteral("https://tessaron.example.org/"));
}

bool frmAcercaDe::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A press dragged off the picture before letting go is no click.
        if (mouse->button() == Qt::LeftButton &&
            Image1->rect().contains(mouse->position().toPoint())) {
            openSite(site());
            return true;
        }
    }
    return ModalWindow::eventFilter(watched, event);
}

} // namespace velmora
