#include "CardsWindows.h"

#include "MakeCard_Form.h"
#include "MC_R_From.h"
#include "WindowRegistry.h"

#include <QTabWidget>

void registerSpecialCardWindows(WindowRegistry &registry)
{
    registry.add(
        QStringLiteral("EncodeCard_Menu"),
        [](QWidget *parent, const OpenOptions &options) -> QDialog * {
            return new TMakeCard_Form(parent, options.page);
        },
        [](QDialog *window, const std::function<void(const QString &)> &grab) {
            if (auto *form = qobject_cast<TMakeCard_Form *>(window)) {
                form->PageControl1->setCurrentIndex(FloorCardPage);
                grab(QStringLiteral("floor"));
            }
        });
    registry.add(QStringLiteral("CheckMakeCardRecord_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TMC_R_From(parent); });
}
