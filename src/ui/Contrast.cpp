#include "ui/Contrast.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora {

namespace {

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
}

QColor mixed(const QColor& from, const QColor& to, double share) {
    const auto channel = [share](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * share));
    };
    return {channel(from.red(), to.red()), channel(from.green(), to.green()),
            channel(from.blue(), to.blue())};
}

// The least share of `towards` mixed into wanted that reads on background, or
// none when even `towards` itself does not.
std::optional<double> shareToRead(const QColor& background, const QColor& wanted,
                                  const QColor& towards) {
    if (contrastRatio(background, towards) < kReadableContrast) {
        return std::nullopt;
    }
    // Mixing in black or white moves the luminance one way only, so halving finds it.
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 24; ++step) {
        const double middle = (low + high) / 2;
        if (contrastRatio(background, mixed(wanted, towards, middle)) >= kReadableContrast) {
            high = middle;
        } else {
            low = middle;
        }
    }
    return high;
}

} // namespace

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor& background, const QColor& wanted) {
    const QColor rgb = wanted.toRgb();
    if (contrastRatio(background, rgb) >= kReadableContrast) {
        return rgb;
    }
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const std::optional<double> darker = shareToRead(background, rgb, black);
    const std::optional<double> lighter = shareToRead(background, rgb, white);
    if (darker && (!lighter || *darker <= *lighter)) {
        return mixed(rgb, black, *darker);
    }
    if (lighter) {
        return mixed(rgb, white, *lighter);
    }
    return textOn(background);
}

QColor textOn(const QColor& background) {
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

QVariant readableCellText(const QVariant& background, const QVariant& wanted) {
    if (background.canConvert<QColor>() && background.value<QColor>().isValid()) {
        const QColor under = background.value<QColor>();
        return wanted.isValid() ? readableOn(under, wanted.value<QColor>()) : textOn(under);
    }
    if (!wanted.isValid()) {
        return {};
    }
    return readableOn(QGuiApplication::palette().color(QPalette::Base), wanted.value<QColor>());
}

} // namespace velmora
