#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// The translatable properties an object offers under the names the
// translation database uses (Caption, Text, Hint, Columns, Items, Panels,
// AppVersion, Variable), in the order the property text lists them: text
// properties, then object ones.
struct PublishedProperty {
    enum Kind {
        Text, // one line "Name:value"
        Collection, // header line, then one line per item ("   k:text")
        Strings, // header line, then one line per string ("          k:text")
        Object, // header line only
    };
    QString name;
    Kind kind = Text;
    QString typeName; // the header line's value for object properties

    std::function<QString()> read; // Text
    std::function<void(const QString &)> write; // Text
    std::function<QStringList()> items; // Collection, Strings: the current items
    std::function<void(int index, const QString &text)> setItem; // Collection; unset: items left alone
    std::function<void(const QStringList &texts)> setItems; // Strings
};

// window is the object whose own row this is when object == window.
QList<PublishedProperty> publishedProperties(QObject *object, const QObject *window);

// Splits a stored text at CRLF, LF or CR; a final line break adds no empty line.
QStringList splitLines(const QString &text);

// Applies property lines to object: unknown properties and any property whose
// name contains "NAME" are skipped; a collection takes as many following lines
// as it has items; a list of strings takes its lines only when all are present.
void applyPropertyLines(QObject *object, const QObject *window, const QStringList &lines);

// The property text of object, every line ending CRLF: "Name:" first, then the
// properties; item lines unless withItems is false (the window's own row).
QString propertyText(QObject *object, const QObject *window, bool withItems);
