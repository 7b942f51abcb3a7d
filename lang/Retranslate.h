#pragma once
#include <QObject>

#include <functional>
#include <vector>

namespace qv::lang {

/// Texts of a widget that follow the language: each setter runs once now and again whenever the
/// widget is told that the language changed (QEvent::LanguageChange).
class Retranslate : public QObject {
    Q_OBJECT
  public:
    /// Watches owner, which also owns this object.
    explicit Retranslate(QObject *owner);

    /// Runs set now and at each change of language.
    void keep(std::function<void()> set);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    std::vector<std::function<void()>> setters_;
};

} // namespace qv::lang
