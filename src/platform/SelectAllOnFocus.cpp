#include "platform/SelectAllOnFocus.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace quorvel {

namespace {

class SelectAllFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (!edit)
            return false;
        switch (event->type()) {
        case QEvent::FocusIn:
            edit->selectAll();
            // A click gives the focus before the box sees its press, which would put the
            // cursor where it lands and drop the selection: that press goes no further.
            focusByClick_ = static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
            return false;
        case QEvent::FocusOut:
            focusByClick_ = false;
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            if (focusByClick_) {
                if (event->type() == QEvent::MouseButtonRelease)
                    focusByClick_ = false;
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    bool focusByClick_ = false;
};

} // namespace

void selectAllOnFocus(QLineEdit *edit)
{
    if (edit)
        edit->installEventFilter(new SelectAllFilter(edit));
}

} // namespace quorvel
