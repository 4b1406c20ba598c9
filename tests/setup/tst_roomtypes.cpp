#include "HotelFixture.h"
#include "HotelSetup.h"
#include "RoomType_Form.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "TarvaneApplication.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {
QString u8(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

class TestRoomTypes : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_hotel;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    std::unique_ptr<TRoomType_Form> makeForm()
    {
        auto form = std::make_unique<TRoomType_Form>();
        form->show();
        return form;
    }

    void addType(const QString &title, const QVariant &size, const QVariant &piece)
    {
        Sql::exec(m_hotel->db(), QStringLiteral("INSERT INTO RoomType (Title, Size, Piece) VALUES (?, ?, ?)"),
            { title, size, piece });
    }

    // Title, beds and price of every type in table order, NULL shown as "-".
    QStringList types() const
    {
        QSqlQuery query
            = Sql::exec(m_hotel->db(), QStringLiteral("SELECT Title, Size, Piece FROM RoomType ORDER BY ID"));
        QStringList rows;
        const auto text
            = [&](int i) { return query.value(i).isNull() ? QStringLiteral("-") : query.value(i).toString(); };
        while (query.next())
            rows << text(0) + QLatin1Char('/') + text(1) + QLatin1Char('/') + text(2);
        return rows;
    }

    static void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    static QList<bool> buttons(TRoomType_Form *form)
    {
        return { form->Add_Bt->isEnabled(), form->Save_Bt->isEnabled(), form->Edit_Bt->isEnabled(),
            form->Delete_Bt->isEnabled() };
    }

    static void clickGrid(TRoomType_Form *form, int row)
    {
        QTableView *grid = form->RoomType_DBGrid;
        auto *model = static_cast<QSqlTableModel *>(grid->model());
        const QModelIndex cell = model->index(row, model->fieldIndex(QStringLiteral("Title")));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    }

private Q_SLOTS:
    void init()
    {
        m_hotel = std::make_unique<HotelFixture>();
        QVERIFY(m_hotel->isOpen());
        m_prompts = std::make_unique<ScriptedPrompts>();
    }
    void cleanup()
    {
        m_prompts.reset();
        m_hotel.reset();
    }

    void numbersAreReadInTheCLocale()
    {
        QCOMPARE(RoomTypes::sizeValue(QStringLiteral("2")), QVariant(2));
        QVERIFY(RoomTypes::sizeValue(QString()).isNull());
        QCOMPARE(RoomTypes::pieceValue(QStringLiteral("188.5")).toDouble(), 188.5);
        const auto refusal = [](auto &&read, const QString &text) {
            try {
                read(text);
            } catch (const ConversionError &error) {
                return error.text();
            }
            return QString();
        };
        QCOMPARE(
            refusal(RoomTypes::sizeValue, QStringLiteral("2.5")), QStringLiteral("'2.5' is not a valid integer value"));
        QCOMPARE(
            refusal(RoomTypes::sizeValue, QStringLiteral("a'b")), QStringLiteral("'a'b' is not a valid integer value"));
        QCOMPARE(refusal(RoomTypes::pieceValue, QStringLiteral("1,5")),
            QStringLiteral("'1,5' is not a valid floating point value"));
        QCOMPARE(refusal(RoomTypes::pieceValue, QStringLiteral("1,500")),
            QStringLiteral("'1,500' is not a valid floating point value"));
    }

    void addsATypeWithTitleOnly()
    {
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), u8("客房类型"));
        QCOMPARE(buttons(form.get()), QList<bool>({ true, false, false, true }));
        QVERIFY(!form->RoomType_Edit->isEnabled());

        click(form->Add_Bt);
        QCOMPARE(buttons(form.get()), QList<bool>({ false, false, false, false }));
        QVERIFY(form->RoomType_Edit->isEnabled() && form->MaxCounts_Edit->isEnabled() && form->Price_Edit->isEnabled());
        QTest::keyClicks(form->RoomType_Edit, QStringLiteral("a'b"));
        QVERIFY(form->Save_Bt->isEnabled());
        click(form->Save_Bt);

        QVERIFY(m_prompts->asked.isEmpty());
        QCOMPARE(types(), QStringList { QStringLiteral("a'b/-/-") });
        QCOMPARE(buttons(form.get()), QList<bool>({ true, false, false, false }));
        QVERIFY(form->RoomType_Edit->text().isEmpty());
        QVERIFY(!form->RoomType_Edit->isEnabled());
        QCOMPARE(form->RoomType_DBGrid->model()->rowCount(), 1);
    }

    void editsOnlyTheCurrentRow()
    {
        addType(u8("标准间"), 2, 188.0);
        addType(u8("套房"), 1, 388.0);
        auto form = makeForm();
        clickGrid(form.get(), 1);
        QCOMPARE(buttons(form.get()), QList<bool>({ true, false, true, true }));
        click(form->Edit_Bt);
        QCOMPARE(form->RoomType_Edit->text(), u8("套房"));
        QCOMPARE(form->MaxCounts_Edit->text(), QStringLiteral("1"));
        QCOMPARE(form->Price_Edit->text(), QStringLiteral("388"));
        QCOMPARE(form->mode(), TRoomType_Form::Mode::Editing);
        form->Price_Edit->setText(QStringLiteral("400.5"));
        click(form->Save_Bt);
        QCOMPARE(types(), QStringList({ u8("标准间/2/188"), u8("套房/1/400.5") }));
        auto *model = static_cast<QSqlTableModel *>(form->RoomType_DBGrid->model());
        QCOMPARE(model->index(1, model->fieldIndex(QStringLiteral("Piece"))).data().toDouble(), 400.5);
    }

    void deleteRightAfterOpeningTakesTheFirstType()
    {
        addType(u8("标准间"), 2, 188.0);
        addType(u8("套房"), 1, 388.0);
        auto form = makeForm();
        click(form->Delete_Bt);
        QVERIFY(m_prompts->asked.isEmpty());
        QCOMPARE(types(), QStringList { u8("套房/1/388") });
        click(form->Delete_Bt);
        QVERIFY(types().isEmpty());

        // No rows: nothing to delete, nothing to edit.
        click(form->Delete_Bt);
        QVERIFY(m_prompts->asked.isEmpty());
        form->RoomType_DBGridCellClick();
        QVERIFY(!form->Edit_Bt->isEnabled());
    }

    void refusedValuesKeepTheEdits_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("beds");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QString>("boxTitle");
        QTest::newRow("bad beds") << u8("标准间") << "2x"
                                  << ""
                                  << "'2x' is not a valid integer value" << QMessageBox::Critical << ApplicationTitle;
        QTest::newRow("bad price") << u8("标准间") << "2"
                                   << "8'01"
                                   << "'8'01' is not a valid floating point value" << QMessageBox::Critical
                                   << ApplicationTitle;
        QTest::newRow("no title") << ""
                                  << "2"
                                  << "100" << u8("请输入房号！") << QMessageBox::Critical << "";
    }
    void refusedValuesKeepTheEdits()
    {
        QFETCH(QString, title);
        QFETCH(QString, beds);
        QFETCH(QString, price);
        QFETCH(QString, message);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QString, boxTitle);
        auto form = makeForm();
        click(form->Add_Bt);
        form->RoomType_Edit->setText(title);
        form->MaxCounts_Edit->setText(beds);
        form->Price_Edit->setText(price);
        m_prompts->answerOk();
        if (title.isEmpty())
            form->Save_BtClick(); // the button is off without a title
        else
            click(form->Save_Bt);
        QCOMPARE(m_prompts->texts(), QStringList { message });
        QCOMPARE(m_prompts->last().icon, icon);
        QCOMPARE(m_prompts->last().title, boxTitle);
        QVERIFY(types().isEmpty());
        QCOMPARE(form->RoomType_Edit->text(), title);
        QCOMPARE(form->MaxCounts_Edit->text(), beds);
        QCOMPARE(form->Price_Edit->text(), price);
        QVERIFY(form->RoomType_Edit->isEnabled());

        // Put right, the same window stores one row.
        form->RoomType_Edit->setText(u8("标准间"));
        form->MaxCounts_Edit->setText(QStringLiteral("2"));
        form->Price_Edit->setText(QStringLiteral("188"));
        click(form->Save_Bt);
        QCOMPARE(types(), QStringList { u8("标准间/2/188") });
    }

    void closingAbandonsThePendingRow()
    {
        addType(u8("标准间"), 2, 188.0);
        {
            auto form = makeForm();
            click(form->Add_Bt);
            m_prompts->answerOk();
            form->Save_BtClick();
            QCOMPARE(dm().RoomType_Ds()->state(), DataSource::Insert);
            form->reject();
        }
        QCOMPARE(dm().RoomType_Ds()->state(), DataSource::Browse);
        QCOMPARE(dm().RoomType_ado()->rowCount(), 1);
        QCOMPARE(types(), QStringList { u8("标准间/2/188") });
    }
};

QTEST_MAIN(TestRoomTypes)
#include "tst_roomtypes.moc"
