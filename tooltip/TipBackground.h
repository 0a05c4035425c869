#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRect>

// The shaded background of a tip. Effects by number: -1 transparent, 0 solid, 1 hgradient,
// 2 vgradient, 3 hcgradient, 4 vcgradient, 5 3hgradient, 6 3vgradient, 7 noise, 8 diagshade,
// 9 hshade, 10 vshade, 11 hbump, 12 vbump, 13 softbump, 14 hardbump, 15 metal.
// `granularity` sets the grain: the width of the soft edge, the size of noise cells, the steps
// of gradients. Every pixel lies between the dark and the light colour (noise and metal aside,
// which stay within a small distance of the middle colour). Unknown effects are solid.
QImage RenderTipBackground(QSize size, int effect, int granularity, const QColor& light,
                           const QColor& middle, const QColor& dark);

// The outline of a tip: a rectangle with rounded corners.
QPainterPath TipOutline(const QRectF& rect, double cornerWidth, double cornerHeight);

// Paints a soft drop shadow of `outline` moved by `offset`; `darkness` 0..100.
void PaintTipShadow(class QPainter& painter, const QPainterPath& outline, QPointF offset,
                    int darkness);
