#include "app/qt/LanguageMenu.h"

#include "app/qt/MainWindow.h"
#include "lang/Language.h"

#include <QActionGroup>
#include <QMenu>

namespace qv::app::qt {

void addLanguageMenu(MainWindow &window, lang::Translators &translators) {
    QAction *help = window.action("mnuHelp");
    if (!help || !help->menu())
        return;
    help->menu()->addSeparator();
    QMenu *menu = help->menu()->addMenu(QStringLiteral("Language / 语言"));
    menu->menuAction()->setObjectName(QStringLiteral("mnuLanguage"));
    auto *group = new QActionGroup(menu);
    struct Item {
        lang::Language language;
        QString caption;
    };
    const Item items[] = {{lang::Language::Chinese, QStringLiteral("中文")},
                          {lang::Language::English, QStringLiteral("English")}};
    for (const Item &item : items) {
        QAction *a = menu->addAction(item.caption);
        a->setCheckable(true);
        a->setChecked(translators.language() == item.language);
        a->setObjectName(QStringLiteral("mnuLanguage_%1").arg(lang::languageName(item.language)));
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [&translators, l = item.language] {
            if (translators.language() == l)
                return;
            translators.apply(l);
            lang::rememberLanguage(l);
        });
    }
}

} // namespace qv::app::qt
