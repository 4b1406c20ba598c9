#include "PublishedProperties.h"

#include "TLanguage.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTabWidget>
#include <QTreeView>

namespace {

PublishedProperty textProperty(
    const QString &name, std::function<QString()> read, std::function<void(const QString &)> write)
{
    PublishedProperty p;
    p.name = name;
    p.kind = PublishedProperty::Text;
    p.read = std::move(read);
    p.write = std::move(write);
    return p;
}

// The tab widget whose page w is, if any.
QTabWidget *tabOf(QWidget *w)
{
    auto *stack = qobject_cast<QStackedWidget *>(w->parentWidget());
    if (!stack)
        return nullptr;
    auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget());
    return tabs && tabs->indexOf(w) >= 0 ? tabs : nullptr;
}

// Header captions of a view's model, hidden columns included.
PublishedProperty columnsProperty(QAbstractItemView *view, const QString &typeName)
{
    PublishedProperty p;
    p.name = QStringLiteral("Columns");
    p.kind = PublishedProperty::Collection;
    p.typeName = typeName;
    p.items = [view] {
        QStringList texts;
        if (QAbstractItemModel *model = view->model()) {
            for (int c = 0; c < model->columnCount(); ++c)
                texts.append(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        }
        return texts;
    };
    p.setItem = [view](int index, const QString &text) {
        if (QAbstractItemModel *model = view->model())
            model->setHeaderData(index, Qt::Horizontal, text, Qt::DisplayRole);
    };
    return p;
}

PublishedProperty stringsProperty(
    const QString &name, std::function<QStringList()> items, std::function<void(const QStringList &)> setItems)
{
    PublishedProperty p;
    p.name = name;
    p.kind = PublishedProperty::Strings;
    p.typeName = QStringLiteral("Strings");
    p.items = std::move(items);
    p.setItems = std::move(setItems);
    return p;
}

QList<QRadioButton *> radioButtons(QGroupBox *box)
{
    return box->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
}

QString afterFirstColon(const QString &line)
{
    return line.mid(line.indexOf(QLatin1Char(':')) + 1);
}

} // namespace

QList<PublishedProperty> publishedProperties(QObject *object, const QObject *window)
{
    QList<PublishedProperty> props;

    if (auto *language = qobject_cast<TLanguage *>(object)) {
        PublishedProperty version;
        version.name = QStringLiteral("AppVersion");
        version.kind = PublishedProperty::Object;
        version.typeName = QStringLiteral("FileVersion");
        props.append(version);
        props.append(stringsProperty(
            QStringLiteral("Variable"), [language] { return language->variable(); },
            [language](const QStringList &texts) { language->setVariable(texts); }));
        return props;
    }

    if (auto *action = qobject_cast<QAction *>(object)) {
        props.append(textProperty(
            QStringLiteral("Caption"), [action] { return action->text(); },
            [action](const QString &v) { action->setText(v); }));
        props.append(textProperty(
            QStringLiteral("Hint"), [action] { return action->toolTip(); },
            [action](const QString &v) { action->setToolTip(v); }));
        return props;
    }

    auto *w = qobject_cast<QWidget *>(object);
    if (!w)
        return props;

    if (object == window) {
        props.append(textProperty(
            QStringLiteral("Caption"), [w] { return w->windowTitle(); },
            [w](const QString &v) { w->setWindowTitle(v); }));
    } else if (QTabWidget *tabs = tabOf(w)) {
        props.append(textProperty(
            QStringLiteral("Caption"), [tabs, w] { return tabs->tabText(tabs->indexOf(w)); },
            [tabs, w](const QString &v) { tabs->setTabText(tabs->indexOf(w), v); }));
    } else if (auto *label = qobject_cast<QLabel *>(w)) {
        props.append(textProperty(
            QStringLiteral("Caption"), [label] { return label->text(); },
            [label](const QString &v) { label->setText(v); }));
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        props.append(textProperty(
            QStringLiteral("Caption"), [button] { return button->text(); },
            [button](const QString &v) { button->setText(v); }));
    } else if (auto *box = qobject_cast<QGroupBox *>(w)) {
        props.append(textProperty(
            QStringLiteral("Caption"), [box] { return box->title(); }, [box](const QString &v) { box->setTitle(v); }));
    } else if (auto *menu = qobject_cast<QMenu *>(w)) {
        props.append(textProperty(
            QStringLiteral("Caption"), [menu] { return menu->title(); },
            [menu](const QString &v) { menu->setTitle(v); }));
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        props.append(textProperty(
            QStringLiteral("Text"), [edit] { return edit->text(); }, [edit](const QString &v) { edit->setText(v); }));
    }

    props.append(textProperty(
        QStringLiteral("Hint"), [w] { return w->toolTip(); }, [w](const QString &v) { w->setToolTip(v); }));

    if (auto *table = qobject_cast<QTableView *>(w)) {
        if (table->model())
            props.append(columnsProperty(table, QStringLiteral("GridColumns")));
    } else if (auto *tree = qobject_cast<QTreeView *>(w)) {
        if (tree->model())
            props.append(columnsProperty(tree, QStringLiteral("ListColumns")));
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        props.append(stringsProperty(
            QStringLiteral("Items"),
            [combo] {
                QStringList texts;
                for (int i = 0; i < combo->count(); ++i)
                    texts.append(combo->itemText(i));
                return texts;
            },
            [combo](const QStringList &texts) {
                for (int i = 0; i < texts.size(); ++i)
                    combo->setItemText(i, texts.at(i));
            }));
    } else if (auto *list = qobject_cast<QListWidget *>(w)) {
        props.append(stringsProperty(
            QStringLiteral("Items"),
            [list] {
                QStringList texts;
                for (int i = 0; i < list->count(); ++i)
                    texts.append(list->item(i)->text());
                return texts;
            },
            [list](const QStringList &texts) {
                for (int i = 0; i < texts.size(); ++i)
                    list->item(i)->setText(texts.at(i));
            }));
    } else if (auto *box = qobject_cast<QGroupBox *>(w); box && !radioButtons(box).isEmpty()) {
        props.append(stringsProperty(
            QStringLiteral("Items"),
            [box] {
                QStringList texts;
                for (QRadioButton *radio : radioButtons(box))
                    texts.append(radio->text());
                return texts;
            },
            [box](const QStringList &texts) {
                const QList<QRadioButton *> radios = radioButtons(box);
                for (int i = 0; i < texts.size() && i < radios.size(); ++i)
                    radios.at(i)->setText(texts.at(i));
            }));
    } else if (auto *status = qobject_cast<QStatusBar *>(w)) {
        PublishedProperty panels;
        panels.name = QStringLiteral("Panels");
        panels.kind = PublishedProperty::Collection;
        panels.typeName = QStringLiteral("StatusPanels");
        panels.items = [status] {
            QStringList texts;
            for (QLabel *label : status->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
                texts.append(label->text());
            return texts;
        };
        props.append(panels); // the panels' lines are read past, nothing is set
    }
    return props;
}

QStringList splitLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = unified.split(QLatin1Char('\n'));
    if (unified.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

void applyPropertyLines(QObject *object, const QObject *window, const QStringList &lines)
{
    const QList<PublishedProperty> props = publishedProperties(object, window);
    qsizetype i = 0;
    while (i < lines.size()) {
        const QString &line = lines.at(i++);
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString name = line.left(colon);
        // Protects Name and every font or input-method name.
        if (name.toUpper().contains(QLatin1String("NAME")))
            continue;
        const auto prop = std::find_if(props.cbegin(), props.cend(),
            [&](const PublishedProperty &p) { return p.name.compare(name, Qt::CaseInsensitive) == 0; });
        if (prop == props.cend())
            continue;
        switch (prop->kind) {
        case PublishedProperty::Text:
            prop->write(line.mid(colon + 1));
            break;
        case PublishedProperty::Collection: {
            const qsizetype taken = std::min<qsizetype>(prop->items().size(), lines.size() - i);
            for (qsizetype k = 0; k < taken; ++k) {
                if (prop->setItem)
                    prop->setItem(int(k), afterFirstColon(lines.at(i + k)));
            }
            i += taken;
            break;
        }
        case PublishedProperty::Strings: {
            const qsizetype count = prop->items().size();
            if (lines.size() - i < count)
                break; // not all present: the list stays as it is
            QStringList texts;
            for (qsizetype k = 0; k < count; ++k)
                texts.append(afterFirstColon(lines.at(i + k)));
            prop->setItems(texts);
            i += count;
            break;
        }
        case PublishedProperty::Object:
            break;
        }
    }
}

QString propertyText(QObject *object, const QObject *window, bool withItems)
{
    static const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("Name:") + object->objectName() + crlf;
    for (const PublishedProperty &p : publishedProperties(object, window)) {
        if (p.kind == PublishedProperty::Text) {
            text += p.name + QLatin1Char(':') + p.read() + crlf;
            continue;
        }
        text += p.name + QLatin1Char(':') + p.typeName + crlf;
        if (!withItems || !p.items)
            continue;
        const QString indent(p.kind == PublishedProperty::Strings ? 10 : 3, QLatin1Char(' '));
        const QStringList items = p.items();
        for (int k = 0; k < items.size(); ++k)
            text += indent + QString::number(k) + QLatin1Char(':') + items.at(k) + crlf;
    }
    return text;
}
