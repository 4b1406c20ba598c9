#include "SetupWindows.h"

#include "ChangePassword_Form.h"
#include "Operator_Form.h"
#include "WindowRegistry.h"

#include <QTableView>

void registerOperatorWindows(WindowRegistry &registry)
{
    registry.add(
        QStringLiteral("OperatorManage_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TOperator_Form(parent); },
        [](QDialog *window, const std::function<void(const QString &)> &grab) {
            auto *form = qobject_cast<TOperator_Form *>(window);
            QAbstractItemModel *list = form ? form->EmployeeInfo_DBGrid->model() : nullptr;
            if (!list || list->rowCount() == 0)
                return;
            const QModelIndex first = list->index(0, 0);
            form->EmployeeInfo_DBGrid->setCurrentIndex(first);
            form->EmployeeInfo_DBGridCellClick(first);
            grab(QStringLiteral("row"));
        });
    registry.add(QStringLiteral("ChangePass_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TChangePassword_Form(parent); });
}
