#pragma once
// The row of a dialog's buttons, pushed to the right edge in the order given.
#include <QHBoxLayout>
#include <QWidget>

#include <initializer_list>

namespace quorvel {

inline QHBoxLayout *buttonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace quorvel
