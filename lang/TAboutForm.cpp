#include "TAboutForm.h"

#include "Paths.h"
#include "ProfileFile.h"
#include "Settings.h"
#include "TLanguage.h"
#include "Translation.h"
#include "WindowRegistry.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel *makeLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

TAboutForm::TAboutForm(std::function<int16_t()> readDeviceType, QWidget *parent, const TFileVersion &version)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("AboutForm"));

    Image3 = makeLabel(this, "Image3");
    Image3->setFixedSize(127, 279);
    Image3->setPixmap(picture());

    ProductName = makeLabel(this, "ProductName");
    ProductName->setText(QString::fromUtf8("酒店门锁管理系统"));
    QFont bold = ProductName->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    ProductName->setFont(bold);
    ProductName->setAlignment(Qt::AlignCenter);

    Version_L = makeLabel(this, "Version_L");
    EncoderSn_Label = makeLabel(this, "EncoderSn_Label");
    CardType_Label = makeLabel(this, "CardType_Label");
    Company_Label = makeLabel(this, "Company_Label");
    Web_Label = makeLabel(this, "Web_Label");

    OKButton = new QPushButton(QString::fromUtf8("关  闭"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *text = new QVBoxLayout;
    text->setSpacing(10);
    text->addSpacing(16);
    text->addWidget(ProductName);
    text->addSpacing(12);
    for (QLabel *label : { Version_L, EncoderSn_Label, CardType_Label, Company_Label, Web_Label })
        text->addWidget(label);
    text->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    text->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 12, 12);
    layout->setSpacing(20);
    layout->addWidget(Image3, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
    setFixedSize(440, 279 + 12);
    setModal(true);

    FormCreate(readDeviceType, version);
}

void TAboutForm::FormCreate(const std::function<int16_t()> &readDeviceType, const TFileVersion &version)
{
    Language1 = translateWindow(this);

    Version_L->setText(QStringLiteral("Version:") + version.productName() + QLatin1Char(' ') + version.fileVersion());
    CardType_Label->setText(QString::fromUtf8("发卡机不联机"));
    const int16_t deviceType = readDeviceType ? readDeviceType() : int16_t(-1);
    QString encoder = QString::fromUtf8("发卡机编号： ");
    if (deviceType >= 0)
        encoder += SystemSettings.Pass;
    EncoderSn_Label->setText(encoder);
    if (deviceType >= 0 && deviceType <= 11)
        CardType_Label->setText(lockTypeText(deviceType));

    const ProfileFile info(Paths::inProgramDir(QStringLiteral("Information.ini")));
    Company_Label->setText(info.readString(QStringLiteral("Sale"), QStringLiteral("Company")));
    Web_Label->setText(info.readString(QStringLiteral("Sale"), QStringLiteral("Web")));
}

QString TAboutForm::lockTypeText(int deviceType)
{
    static const char *const texts[] = {
        "门锁类型：磁卡门锁系统",
        "门锁类型：TM门锁系统",
        "门锁类型：IC卡门锁系统",
        "门锁类型：TEMIC感应卡门锁系统",
        "设备类型：编程器",
        "门锁类型：T4100感应卡门锁系统",
        "门锁类型：HID感应卡门锁系统",
        "门锁类型：Mifare感应卡门锁系统",
        "门锁类型：I Code感应卡门锁系统",
        "门锁类型：LEGIC感应卡门锁系统",
        "门锁类型：Inside感应卡门锁系统",
        "设备类型：红外数据采集器",
    };
    if (deviceType < 0 || deviceType >= int(std::size(texts)))
        return QString::fromUtf8("发卡机不联机");
    return QString::fromUtf8(texts[deviceType]);
}

QPixmap TAboutForm::picture()
{
    QPixmap pixmap(127, 279);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 279);
    sky.setColorAt(0, QColor(0x1f, 0x3b, 0x73));
    sky.setColorAt(1, QColor(0x5a, 0x8f, 0xc8));
    p.fillRect(pixmap.rect(), sky);

    // A door with its lock, and a key card held up to it.
    const QRectF door(22, 60, 70, 170);
    p.setPen(QPen(QColor(0x3b, 0x24, 0x10), 2));
    QLinearGradient wood(door.topLeft(), door.topRight());
    wood.setColorAt(0, QColor(0xa8, 0x6b, 0x32));
    wood.setColorAt(1, QColor(0x7a, 0x48, 0x1c));
    p.setBrush(wood);
    p.drawRect(door);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x5c, 0x36, 0x14), 1.5));
    p.drawRect(door.adjusted(9, 10, -9, -95));
    p.drawRect(door.adjusted(9, 90, -9, -12));

    const QRectF lock(72, 130, 14, 36);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(QColor(0xd9, 0xd9, 0xd9));
    p.drawRoundedRect(lock, 3, 3);
    p.setBrush(QColor(0x2e, 0xcc, 0x71));
    p.drawEllipse(QPointF(79, 137), 2.5, 2.5);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRect(QRectF(76, 144, 6, 14));

    p.save();
    p.translate(95, 120);
    p.rotate(-18);
    QPainterPath card;
    card.addRoundedRect(QRectF(0, 0, 26, 40), 3, 3);
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 1));
    p.setBrush(QColor(0xf5, 0xc5, 0x18));
    p.drawPath(card);
    p.setBrush(QColor(0xb0, 0x86, 0x00));
    p.drawRect(QRectF(5, 6, 10, 8));
    p.restore();

    p.setPen(QColor(255, 255, 255, 200));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    p.drawText(QRectF(0, 16, 127, 24), Qt::AlignCenter, QStringLiteral("Tarvane"));
    font.setBold(false);
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRectF(0, 244, 127, 20), Qt::AlignCenter, QStringLiteral("V12.0"));
    return pixmap;
}

void registerLangWindows(WindowRegistry &registry, std::function<int16_t()> readDeviceType)
{
    registry.add(QStringLiteral("N35"), [readDeviceType](QWidget *parent, const OpenOptions &) -> QDialog * {
        return new TAboutForm(readDeviceType, parent);
    });
}
