#pragma once

#include "TFileVersion.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;
class TLanguage;
class WindowRegistry;

// The About box: product and version, the encoder's number and lock system,
// and the seller's company and web address from Information.ini.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    // readDeviceType returns the first word GetParameter reports (negative
    // when no encoder answers); version is the program's unless given.
    explicit TAboutForm(std::function<int16_t()> readDeviceType, QWidget *parent = nullptr,
        const TFileVersion &version = TFileVersion());

    // The lock system text for a device type ("发卡机不联机" outside 0 to 11).
    static QString lockTypeText(int deviceType);
    // The picture down the left side, 127 by 279.
    static QPixmap picture();

    QLabel *Image3 = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version_L = nullptr;
    QLabel *EncoderSn_Label = nullptr;
    QLabel *CardType_Label = nullptr;
    QLabel *Company_Label = nullptr;
    QLabel *Web_Label = nullptr;
    QPushButton *OKButton = nullptr;
    TLanguage *Language1 = nullptr;

private:
    void FormCreate(const std::function<int16_t()> &readDeviceType, const TFileVersion &version);
};

// Registers the About box under the help menu entry "N35".
void registerLangWindows(WindowRegistry &registry, std::function<int16_t()> readDeviceType);
