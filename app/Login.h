#pragma once

#include "Operators.h"

#include <QSqlDatabase>
#include <QString>

#include <array>
#include <optional>

// Login rules: the first operator of a new database, and the password check
// of an existing one.

// True when Operator holds at least one row. Throws DbError.
bool hasOperators(const QSqlDatabase &db);

// Stores the first operator: every right, the name "系统管理员", the password
// hashed. Returns the new row's GroupID (0 when it has none). Throws DbError.
int createFirstOperator(const QSqlDatabase &db, const QString &login, const QString &password);

// The operator whose login name (any case) and password match; a legacy
// plain-text password that matches is replaced by its hash. Throws DbError.
std::optional<OperatorRow> checkLogin(const QSqlDatabase &db, const QString &login, const QString &password);

// The system password of Keldrix.ini as four encoder words, first pair of
// digits first; nullopt unless it is exactly eight hexadecimal digits.
std::optional<std::array<int16_t, 4>> systemPasswordWords(const QString &pass);
// Four words as eight uppercase hexadecimal digits.
QString systemPasswordText(const int16_t *words4);
