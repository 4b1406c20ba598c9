#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

// What the operators window writes: new operators with their rights, an
// operator's first password, and deletions that keep one administrator.
struct NewOperator {
    QString staffer; // login name
    QString stafferName; // full name
    QList<bool> rights; // in operatorRightColumns() order; missing ones are no
};

class OperatorAdmin {
public:
    explicit OperatorAdmin(const QSqlDatabase &db);

    enum class AddResult { Added, NameTaken };
    // Stores the operator without a password (Pass and Branch NULL), so he
    // cannot log in before his first password is set. A login name that any
    // operator already has, in any case, is refused by the unique index, also
    // when another desk stored it a moment before. Throws DbError.
    [[nodiscard]] AddResult add(const NewOperator &op) const;

    // Sets the first password (hashed) and marks the row as having one; a row
    // that already has one, or is gone, is left alone and false returned.
    // Throws DbError.
    [[nodiscard]] bool setFirstPassword(int id, const QString &password) const;

    enum class DeleteResult { Deleted, LastAdministrator, Missing };
    // Deletes the operator by ID. An administrator is deleted only while
    // another one remains; the count and the delete share one write
    // transaction, so two desks cannot each delete one of the last two.
    // Throws DbError.
    [[nodiscard]] DeleteResult remove(int id) const;

private:
    QSqlDatabase m_db;
};
