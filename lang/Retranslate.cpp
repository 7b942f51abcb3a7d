#include "lang/Retranslate.h"

#include <QEvent>

namespace qv::lang {

Retranslate::Retranslate(QObject *owner) : QObject(owner) {
    owner->installEventFilter(this);
}

void Retranslate::keep(std::function<void()> set) {
    set();
    setters_.push_back(std::move(set));
}

bool Retranslate::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        for (const auto &set : setters_)
            set();
    return QObject::eventFilter(watched, event);
}

} // namespace qv::lang
