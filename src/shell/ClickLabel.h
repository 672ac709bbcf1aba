#pragma once
// A picture or caption that reports left clicks: the panel's tools and the update status lines.
#include <QLabel>

namespace quorvel {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace quorvel
