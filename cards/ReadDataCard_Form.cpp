#include "ReadDataCard_Form.h"

#include "DoorRecordCollection.h"
#include "Encoder.h"
#include "TarvaneApplication.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TReadDataCard_Form::TReadDataCard_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ReadDataCard_Form"));
    setWindowTitle(QString::fromUtf8("读采集卡"));

    ReadDataCard_Bt = new QPushButton(QString::fromUtf8("读卡"), this);
    ReadDataCard_Bt->setObjectName(QStringLiteral("ReadDataCard_Bt"));
    // Enter must never start a collection.
    ReadDataCard_Bt->setAutoDefault(false);
    ReadDataCard_Bt->setDefault(false);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setMinimumWidth(220);

    auto *row = new QHBoxLayout;
    row->addWidget(ReadDataCard_Bt);
    row->addWidget(Label1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    setMinimumSize(360, 120);

    connect(ReadDataCard_Bt, &QPushButton::clicked, this, guarded([this] { ReadDataCard_BtClick(); }));
}

void TReadDataCard_Form::ReadDataCard_BtClick()
{
    const CollectionResult result = CollectDoorRecords();
    switch (result.outcome) {
    case CollectionResult::NoCollector:
        Label1->setText(QString::fromUtf8("无数据采集器！"));
        break;
    case CollectionResult::EncoderFailed:
        ShowPromptMessage(result.code);
        break;
    case CollectionResult::Stored:
        ShowPromptMessage(Encoder::Success);
        break;
    }
}

void TReadDataCard_Form::ShowPromptMessage(int16_t result)
{
    Label1->setText(
        result == Encoder::Success ? QString::fromUtf8("操作成功！") : QString::fromUtf8("操作失败或无开锁记录！"));
}

void TReadDataCard_Form::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
