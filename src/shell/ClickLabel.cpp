#include "shell/ClickLabel.h"

#include <QMouseEvent>

namespace quorvel {

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    event->accept();
}

} // namespace quorvel
