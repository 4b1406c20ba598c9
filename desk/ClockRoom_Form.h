#pragma once

#include "GuestQuickIn_Form.h"

// Hourly room: the check-in window with the stay counted in hours.
class TClockRoom_Form : public TGuestQuickIn_Form {
    Q_OBJECT
public:
    explicit TClockRoom_Form(QWidget *parent = nullptr);

public Q_SLOTS:
    void Days_EditChange() override;
    void ED_GQI_DtpChange() override;
    void ET_GQI_DtpChange();
    void ShowPromptMessage(int16_t code) override;

private:
    void FormCreate();

    bool m_writingHours = false;
};
