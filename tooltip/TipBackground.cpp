#include "tooltip/TipBackground.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

QColor mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// light -> middle -> dark as t runs 0 -> 1.
QColor ramp3(const QColor& light, const QColor& middle, const QColor& dark, double t) {
    return t < 0.5 ? mix(light, middle, t * 2) : mix(middle, dark, (t - 0.5) * 2);
}

double smoothstep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Gradients move in steps of `grain` pixels.
double stepped(double position, int grain) {
    return grain > 1 ? std::floor(position / grain) * grain : position;
}

// A repeatable pseudo-random value in [-1, 1] for a cell.
double cellNoise(int x, int y) {
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 32767.5 - 1.0;
}

QColor shifted(const QColor& c, double amount) {
    const auto channel = [amount](float v) {
        return float(std::clamp(double(v) + amount, 0.0, 1.0));
    };
    return QColor::fromRgbF(channel(c.redF()), channel(c.greenF()), channel(c.blueF()));
}

} // namespace

QImage RenderTipBackground(QSize size, int effect, int granularity, const QColor& light,
                           const QColor& middle, const QColor& dark) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    if (effect == -1) {
        image.fill(Qt::transparent);
        return image;
    }
    const int grain = std::clamp(granularity, 1, 64);
    const double w = image.width();
    const double h = image.height();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double fx = w > 1 ? stepped(x, grain) / (w - 1) : 0;
            const double fy = h > 1 ? stepped(y, grain) / (h - 1) : 0;
            QColor c = light;
            switch (effect) {
            case 1:
                c = mix(light, dark, fx);
                break;
            case 2:
                c = mix(light, dark, fy);
                break;
            case 3:
                c = mix(light, dark, std::abs(fx - 0.5) * 2);
                break;
            case 4:
                c = mix(light, dark, std::abs(fy - 0.5) * 2);
                break;
            case 5:
                c = ramp3(light, middle, dark, fx);
                break;
            case 6:
                c = ramp3(light, middle, dark, fy);
                break;
            case 7:
                c = shifted(middle, cellNoise(x / grain, y / grain) * 0.04);
                break;
            case 8:
                c = ramp3(light, middle, dark, (fx + fy) / 2);
                break;
            case 9:
                c = mix(light, middle, std::sqrt(fy));
                break;
            case 10:
                c = mix(light, middle, std::sqrt(fx));
                break;
            case 11:
                c = ramp3(light, middle, dark, 1 - std::sin(std::numbers::pi * fy));
                break;
            case 12:
                c = ramp3(light, middle, dark, 1 - std::sin(std::numbers::pi * fx));
                break;
            case 13:
            case 14: {
                // A raised plate: lit from the top left, its edge falling off to the dark colour
                // over a band of a few grains (soft) or one grain (hard).
                const double band = effect == 13 ? grain * 3.0 : grain;
                const double edge = std::min({double(x), double(y), w - 1 - x, h - 1 - y});
                const double rise =
                    effect == 13 ? smoothstep(edge / band) : (edge >= band ? 1 : 0.3);
                const QColor plate = mix(light, middle, (double(x) / w + double(y) / h) / 2);
                c = mix(dark, plate, rise);
                break;
            }
            case 15: {
                const double streak = cellNoise(0, y / grain) * 0.03;
                c = shifted(mix(light, middle, 0.5 + 0.5 * std::sin(fx * 2 * std::numbers::pi)),
                            streak);
                break;
            }
            default:
                break;
            }
            line[x] = c.rgb();
        }
    }
    return image;
}

QPainterPath TipOutline(const QRectF& rect, double cornerWidth, double cornerHeight) {
    QPainterPath path;
    path.addRoundedRect(rect, cornerWidth, cornerHeight);
    return path;
}

void PaintTipShadow(QPainter& painter, const QPainterPath& outline, QPointF offset, int darkness) {
    const int alpha = std::clamp(darkness, 0, 100) * 255 / 100;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing);
    // A few widening rings of falling darkness make the edge soft.
    const QPainterPath shadow = outline.translated(offset);
    for (int ring = 3; ring >= 0; --ring) {
        QPainterPathStroker stroker;
        stroker.setWidth(ring * 2 + 0.1);
        const QPainterPath grown = shadow.united(stroker.createStroke(shadow));
        painter.setBrush(QColor(0, 0, 0, alpha / (ring + 2)));
        painter.drawPath(grown);
    }
    painter.restore();
}
