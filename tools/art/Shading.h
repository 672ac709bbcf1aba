#pragma once
// The shaded bodies of the icons and maps: a gradient through its stops, edged with a pen.
#include <QGradient>
#include <QPainter>

namespace quorvel::art {

// What is drawn next is filled with the gradient through the stops and outlined with the edge.
inline void useShading(QPainter &p, QGradient g, const QGradientStops &stops, const QPen &edge)
{
    g.setStops(stops);
    p.setPen(edge);
    p.setBrush(g);
}

} // namespace quorvel::art
