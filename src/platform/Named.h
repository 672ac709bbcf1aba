#pragma once
// Makes a control with its object name already set: the name language packs and tests find it
// by. named<QPushButton>("cmdOK", tr("OK"), this) reads as the form's control list.
#include <QAnyStringView>

#include <utility>

namespace quorvel {

template <typename T, typename... Args>
T *named(QAnyStringView name, Args &&...args)
{
    auto *object = new T(std::forward<Args>(args)...);
    object->setObjectName(name);
    return object;
}

} // namespace quorvel
